#include "background_spinner.hpp"

#include <chrono>

namespace diagnostic_center_test {

BackgroundSpinner::BackgroundSpinner(const rclcpp::Node::SharedPtr & node)
{
  executor_.add_node(node);
  std::promise<void> spin_ended;
  spin_ended_ = spin_ended.get_future();
  thread_ = std::thread([this, ended = std::move(spin_ended)]() mutable {
    executor_.spin();
    ended.set_value();
  });
}

BackgroundSpinner::~BackgroundSpinner()
{
  // A cancel that comes before spin() has begun is lost, so repeat it.
  do {
    executor_.cancel();
  } while (spin_ended_.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
  thread_.join();
}

}  // namespace diagnostic_center_test
