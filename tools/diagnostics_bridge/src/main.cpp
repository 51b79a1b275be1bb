// Process entry of the diagnostics bridge: one node, one thread.
#include <cstdlib>
#include <exception>
#include <memory>

#include "diagnostics_bridge/diagnostics_bridge.hpp"
#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  std::shared_ptr<diagnostics_bridge::DiagnosticsBridge> node;
  try {
    rclcpp::init(argc, argv);
    node = std::make_shared<diagnostics_bridge::DiagnosticsBridge>();
  } catch (const std::exception & error) {
    RCLCPP_FATAL(rclcpp::get_logger(diagnostics_bridge::kNodeName), "%s", error.what());
    rclcpp::shutdown();
    return EXIT_FAILURE;
  }
  rclcpp::spin(node);
  rclcpp::shutdown();
  return EXIT_SUCCESS;
}
