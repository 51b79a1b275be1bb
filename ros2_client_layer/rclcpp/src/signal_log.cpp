#include "signal_log.hpp"

#include <chrono>
#include <cstdio>

namespace client_layer {

void log_signal(int signum)
{
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  std::fprintf(
      stderr, "[INFO] [%lld.%09lld] [rclcpp]: signal_handler(signum=%d)\n",
      static_cast<long long>(ns / 1000000000), static_cast<long long>(ns % 1000000000), signum);
}

}  // namespace client_layer
