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

#include "signal_handler.hpp"

#include <cerrno>
#include <cstdio>

#include "internal_log.hpp"
#include "rclcpp/context.hpp"

namespace {

// Written only while the handlers are not installed; read by the handler.
struct sigaction g_old_sigint;
struct sigaction g_old_sigterm;
sem_t g_semaphore;
std::atomic<int> g_last_signal{0};

bool handles_sigint(rclcpp::SignalHandlerOptions options)
{
  return options == rclcpp::SignalHandlerOptions::All ||
         options == rclcpp::SignalHandlerOptions::SigInt;
}

bool handles_sigterm(rclcpp::SignalHandlerOptions options)
{
  return options == rclcpp::SignalHandlerOptions::All ||
         options == rclcpp::SignalHandlerOptions::SigTerm;
}

void chain_to(const struct sigaction & old, int signum, siginfo_t * info, void * context)
{
  if (old.sa_flags & SA_SIGINFO) {
    if (old.sa_sigaction != nullptr) {
      old.sa_sigaction(signum, info, context);
    }
  } else if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN && old.sa_handler != nullptr) {
    old.sa_handler(signum);
  }
}

}  // namespace

namespace client_layer {

SignalHandler & SignalHandler::instance()
{
  // Never destroyed: a signal may arrive during static destruction.
  static SignalHandler * handler = new SignalHandler();
  return *handler;
}

SignalHandler::SignalHandler() { sem_init(&g_semaphore, 0, 0); }

SignalHandler::~SignalHandler() = default;

void SignalHandler::on_signal(int signum, siginfo_t * info, void * context)
{
  const int saved_errno = errno;
  chain_to(signum == SIGINT ? g_old_sigint : g_old_sigterm, signum, info, context);
  g_last_signal.store(signum);
  sem_post(&g_semaphore);
  errno = saved_errno;
}

bool SignalHandler::install(rclcpp::SignalHandlerOptions options)
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (installed_) {
    return false;
  }
  if (options == rclcpp::SignalHandlerOptions::None) {
    return true;
  }
  stop_ = false;
  thread_ = std::thread([this] { run_deferred_handler(); });

  struct sigaction action = {};
  action.sa_sigaction = &SignalHandler::on_signal;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (handles_sigint(options)) {
    sigaction(SIGINT, &action, &g_old_sigint);
  }
  if (handles_sigterm(options)) {
    sigaction(SIGTERM, &action, &g_old_sigterm);
  }
  options_ = options;
  installed_ = true;
  return true;
}

bool SignalHandler::uninstall()
{
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!installed_) {
      return false;
    }
    if (handles_sigint(options_)) {
      sigaction(SIGINT, &g_old_sigint, nullptr);
    }
    if (handles_sigterm(options_)) {
      sigaction(SIGTERM, &g_old_sigterm, nullptr);
    }
    options_ = rclcpp::SignalHandlerOptions::None;
    installed_ = false;
    stop_ = true;
    sem_post(&g_semaphore);
    thread = std::move(thread_);
  }
  if (thread.joinable()) {
    if (thread.get_id() == std::this_thread::get_id()) {
      thread.detach();  // uninstalled from a shutdown callback run by that thread
    } else {
      thread.join();
    }
  }
  return true;
}

bool SignalHandler::installed() const { return installed_; }

rclcpp::SignalHandlerOptions SignalHandler::options() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return options_;
}

void SignalHandler::run_deferred_handler()
{
  while (true) {
    while (sem_wait(&g_semaphore) != 0 && errno == EINTR) {
    }
    if (stop_) {
      return;
    }
    const int signum = g_last_signal.exchange(0);
    if (signum == 0) {
      continue;
    }
    log_info("rclcpp", "signal_handler(signum=" + std::to_string(signum) + ")");
    for (const auto & context : rclcpp::get_contexts()) {
      if (context->get_init_options().shutdown_on_signal) {
        context->shutdown("signal handler");
      }
    }
  }
}

}  // namespace client_layer
