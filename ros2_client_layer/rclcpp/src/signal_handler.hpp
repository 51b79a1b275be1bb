// SIGINT/SIGTERM handling that shuts the contexts down.
//
// The handler itself only chains to a previously installed user handler,
// records the signal and posts a semaphore (all async-signal-safe); a
// dedicated thread waits on the semaphore, logs the signal and shuts down
// every context whose init options ask for it.
#ifndef CLIENT_LAYER__SIGNAL_HANDLER_HPP_
#define CLIENT_LAYER__SIGNAL_HANDLER_HPP_

#include <semaphore.h>
#include <signal.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "rclcpp/utilities.hpp"

namespace client_layer {

class SignalHandler
{
public:
  static SignalHandler & instance();

  // False if already installed.
  bool install(rclcpp::SignalHandlerOptions options);
  // False if not installed.
  bool uninstall();
  bool installed() const;
  rclcpp::SignalHandlerOptions options() const;

private:
  SignalHandler();
  ~SignalHandler();
  SignalHandler(const SignalHandler &) = delete;
  SignalHandler & operator=(const SignalHandler &) = delete;

  static void on_signal(int signum, siginfo_t * info, void * context);
  void run_deferred_handler();

  mutable std::mutex mutex_;  // serialises install/uninstall
  rclcpp::SignalHandlerOptions options_ = rclcpp::SignalHandlerOptions::None;
  std::thread thread_;
  std::atomic<bool> installed_{false};
  std::atomic<bool> stop_{false};
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__SIGNAL_HANDLER_HPP_
