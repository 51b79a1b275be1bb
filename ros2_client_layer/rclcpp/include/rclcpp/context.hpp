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

// The state one rclcpp::init creates: parsed global arguments, the DDS
// participant shared by the context's nodes, and the shutdown machinery.
#ifndef RCLCPP__CONTEXT_HPP_
#define RCLCPP__CONTEXT_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "rclcpp/init_options.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace client_layer {
struct ContextState;
class ContextAccess;
}  // namespace client_layer

namespace rclcpp {

/// Thrown by Context::init on a context that is running already.
class ContextAlreadyInitialized : public std::runtime_error
{
public:
  ContextAlreadyInitialized() : std::runtime_error("context is already initialized") {}
};

class Context;

/// Handle to a callback registered with Context::add_on_shutdown_callback.
struct ShutdownCallbackHandle
{
  using ShutdownCallbackType = std::function<void()>;
  std::weak_ptr<ShutdownCallbackType> callback;
};

using PreShutdownCallbackHandle = ShutdownCallbackHandle;
using OnShutdownCallbackHandle = ShutdownCallbackHandle;

/// The state the nodes of one init() share: arguments, shutdown callbacks, the guard.
class Context : public std::enable_shared_from_this<Context>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Context)

  Context();
  virtual ~Context();

  /// Initialize the context: parse the ROS arguments and resolve the domain id.
  /**
   * \throws ContextAlreadyInitialized if the context is valid already.
   * \throws rclcpp exceptions for malformed or unknown ROS arguments.
   */
  virtual void init(
      int argc, char const * const * argv,
      const rclcpp::InitOptions & init_options = rclcpp::InitOptions());

  /// True after init() and before shutdown().
  bool is_valid() const;

  const rclcpp::InitOptions & get_init_options() const;
  rclcpp::InitOptions get_init_options();

  /// The domain id in use (resolved from the options or ROS_DOMAIN_ID).
  size_t get_domain_id() const;

  /// The reason given to shutdown(), empty while the context is valid.
  std::string shutdown_reason() const;

  /// Shut the context down: run the shutdown callbacks, wake every sleeper.
  /** \return false if the context was not valid. */
  virtual bool shutdown(const std::string & reason);

  using OnShutdownCallback = OnShutdownCallbackHandle::ShutdownCallbackType;
  using PreShutdownCallback = PreShutdownCallbackHandle::ShutdownCallbackType;

  /// Add a callback run at shutdown; returns the callback.
  virtual OnShutdownCallback on_shutdown(OnShutdownCallback callback);
  virtual OnShutdownCallbackHandle add_on_shutdown_callback(OnShutdownCallback callback);
  virtual bool remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle);
  std::vector<OnShutdownCallback> get_on_shutdown_callbacks() const;

  /// Add a callback run before the context is invalidated.
  virtual PreShutdownCallbackHandle add_pre_shutdown_callback(PreShutdownCallback callback);
  virtual bool remove_pre_shutdown_callback(const PreShutdownCallbackHandle & callback_handle);
  std::vector<PreShutdownCallback> get_pre_shutdown_callbacks() const;

  /// Sleep, interrupted by shutdown; returns true if the full time elapsed.
  bool sleep_for(const std::chrono::nanoseconds & nanoseconds);

  /// Wake every thread blocked in sleep_for().
  virtual void interrupt_all_sleep_for();

private:
  RCLCPP_DISABLE_COPY(Context)
  friend class client_layer::ContextAccess;

  using CallbackList = std::vector<std::shared_ptr<OnShutdownCallback>>;
  ShutdownCallbackHandle add_callback(CallbackList & list, OnShutdownCallback callback);
  bool remove_callback(CallbackList & list, const ShutdownCallbackHandle & handle);
  std::vector<OnShutdownCallback> get_callbacks(const CallbackList & list) const;

  // Guards the state below except the callback lists.
  mutable std::recursive_mutex init_mutex_;
  bool valid_ = false;
  rclcpp::InitOptions init_options_;
  size_t domain_id_ = 0;
  std::string shutdown_reason_;
  std::shared_ptr<client_layer::ContextState> state_;

  mutable std::mutex callbacks_mutex_;
  CallbackList on_shutdown_callbacks_;
  CallbackList pre_shutdown_callbacks_;

  std::mutex sleep_mutex_;
  std::condition_variable sleep_condition_;
  std::uint64_t sleep_interrupts_ = 0;
};

/// Every context that has been initialized and not yet shut down.
std::vector<Context::SharedPtr> get_contexts();

}  // namespace rclcpp

#endif  // RCLCPP__CONTEXT_HPP_
