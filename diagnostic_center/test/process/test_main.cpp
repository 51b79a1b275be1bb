// The process-level tests share one rclcpp context for their probes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  // The centre runs with TZ=UTC (StartCentre): the record times the tests
  // expect are local times of the same zone.
  setenv("TZ", "UTC", 1);
  tzset();
  testing::InitGoogleTest(&argc, argv);
  rclcpp::init(argc, argv);
  const int result = RUN_ALL_TESTS();
  rclcpp::shutdown();
  return result;
}
