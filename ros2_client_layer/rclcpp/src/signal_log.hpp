// Logs a received signal through the "rclcpp" logger, as rclcpp does.
#ifndef CLIENT_LAYER__SIGNAL_LOG_HPP_
#define CLIENT_LAYER__SIGNAL_LOG_HPP_

namespace client_layer {

void log_signal(int signum);

}  // namespace client_layer

#endif  // CLIENT_LAYER__SIGNAL_LOG_HPP_
