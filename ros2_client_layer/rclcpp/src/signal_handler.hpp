// Copyright 2026 Corvanta diagnostics team
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.
//
// SPDX-License-Identifier: Apache-2.0

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
