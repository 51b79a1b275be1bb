// An executor spinning one node on a thread of its own, for test and
// benchmark programs that wait on the main thread for what their callbacks
// see. Stops and joins the thread when it goes away.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__BACKGROUND_SPINNER_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__BACKGROUND_SPINNER_HPP_

#include <future>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center_test {

class BackgroundSpinner
{
public:
  explicit BackgroundSpinner(const rclcpp::Node::SharedPtr & node);
  ~BackgroundSpinner();
  BackgroundSpinner(const BackgroundSpinner &) = delete;
  BackgroundSpinner & operator=(const BackgroundSpinner &) = delete;

private:
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::future<void> spin_ended_;
  std::thread thread_;
};

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__BACKGROUND_SPINNER_HPP_
