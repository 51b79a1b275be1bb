// A second process for the tests: what it does is chosen by its first argument.
//   spin: create a node with a timer, print "spinning", spin until the
//         context shuts down (a signal), print "spin returned".
#include <cstdio>
#include <cstring>
#include <string>

#include "rclcpp/rclcpp.hpp"

namespace {

int spin_until_signal(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("peer");
  int ticks = 0;
  auto timer = node->create_wall_timer(std::chrono::milliseconds(5), [&ticks] { ++ticks; });
  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 2);
  executor.add_node(node);
  std::printf("spinning\n");
  std::fflush(stdout);
  executor.spin();
  std::printf("spin returned\n");
  std::fflush(stdout);
  rclcpp::shutdown();
  return ticks > 0 ? 0 : 3;
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s spin\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "spin") {
    return spin_until_signal(argc, argv);
  }
  std::fprintf(stderr, "unknown mode '%s'\n", argv[1]);
  return 2;
}
