// The process-level tests share one rclcpp context for their probes.
#include <gtest/gtest.h>

#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  testing::InitGoogleTest(&argc, argv);
  rclcpp::init(argc, argv);
  const int result = RUN_ALL_TESTS();
  rclcpp::shutdown();
  return result;
}
