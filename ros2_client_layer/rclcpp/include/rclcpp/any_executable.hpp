// One unit of work an executor has taken: a timer call or one sample of a
// subscription, service or client.
#ifndef RCLCPP__ANY_EXECUTABLE_HPP_
#define RCLCPP__ANY_EXECUTABLE_HPP_

#include <memory>

#include "client_layer/readable_entity.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp {

struct AnyExecutable
{
  rclcpp::TimerBase::SharedPtr timer;
  std::shared_ptr<client_layer::ReadableEntity> entity;
  rclcpp::CallbackGroup::SharedPtr callback_group;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_EXECUTABLE_HPP_
