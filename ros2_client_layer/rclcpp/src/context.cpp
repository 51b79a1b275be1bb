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

#include "rclcpp/context.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <utility>

#include "client_layer/arguments.hpp"
#include "client_layer/error_state.hpp"
#include "context_state.hpp"
#include "domain_id.hpp"
#include "internal_log.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "security.hpp"

namespace {

// Contexts between init and shutdown, for the signal handler and get_contexts().
class ContextRegistry
{
public:
  void add(const std::shared_ptr<rclcpp::Context> & context)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_.push_back(context);
  }

  void remove(const rclcpp::Context * context)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_.erase(
        std::remove_if(
            contexts_.begin(), contexts_.end(),
            [context](const std::weak_ptr<rclcpp::Context> & weak) {
              auto locked = weak.lock();
              return !locked || locked.get() == context;
            }),
        contexts_.end());
  }

  std::vector<rclcpp::Context::SharedPtr> all()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<rclcpp::Context::SharedPtr> result;
    for (const auto & weak : contexts_) {
      if (auto context = weak.lock()) {
        result.push_back(std::move(context));
      }
    }
    return result;
  }

private:
  std::mutex mutex_;
  std::vector<std::weak_ptr<rclcpp::Context>> contexts_;
};

// Never destroyed: the default context is a function static made before the
// registry, so it is destroyed after it, and its destructor still shuts the
// context down and unregisters it (a process that leaves main, or calls
// exit(), without rclcpp::shutdown()).
ContextRegistry & registry()
{
  static ContextRegistry * const instance = new ContextRegistry();
  return *instance;
}

}  // namespace

namespace client_layer {

std::shared_ptr<ContextState> ContextAccess::state(const rclcpp::Context & context)
{
  std::lock_guard<std::recursive_mutex> lock(context.init_mutex_);
  if (!context.valid_ || !context.state_) {
    throw std::runtime_error("context is not valid (rclcpp::init not called or shut down)");
  }
  return context.state_;
}

std::shared_ptr<rmw::Participant> ContextAccess::participant(const rclcpp::Context & context)
{
  auto context_state = state(context);
  std::lock_guard<std::mutex> lock(context_state->participant_mutex);
  auto participant = context_state->participant.lock();
  if (!participant) {
    participant =
        rmw::Participant::create(context_state->domain_id, context_state->participant_options);
    context_state->participant = participant;
  }
  return participant;
}

}  // namespace client_layer

namespace rclcpp {

namespace {

std::uint32_t resolve_domain_id(const rclcpp::InitOptions & init_options)
{
  if (init_options.get_domain_id() != std::numeric_limits<size_t>::max()) {
    if (init_options.get_domain_id() > client_layer::kMaxDomainId) {
      client_layer::throw_from_error(
          client_layer::kRetInvalidArgument, "failed to initialize rcl",
          CLIENT_LAYER_ERROR_STATE(
              "domain id " + std::to_string(init_options.get_domain_id()) +
              " is out of range (valid: 0 to " + std::to_string(client_layer::kMaxDomainId) + ")"));
    }
    return static_cast<std::uint32_t>(init_options.get_domain_id());
  }
  try {
    return client_layer::domain_id_from_environment();
  } catch (const std::exception & e) {
    client_layer::throw_from_error(
        client_layer::kRetError, "failed to initialize rcl", CLIENT_LAYER_ERROR_STATE(e.what()));
  }
}

// rcl_parse_arguments, as rcl_init calls it: a refusal is also logged.
std::shared_ptr<client_layer::Arguments> parse_global_arguments(
    const std::vector<std::string> & arguments)
{
  try {
    return std::make_shared<client_layer::Arguments>(
        client_layer::parse_arguments(arguments, "failed to initialize rcl"));
  } catch (const std::exception &) {
    client_layer::log_error("rcl", "Failed to parse global arguments");
    throw;
  }
}

// rcl_get_localhost_only: only "1" turns it on.
bool localhost_only_from_environment()
{
  const char * value = std::getenv("ROS_LOCALHOST_ONLY");
  return value != nullptr && std::string(value) == "1";
}

}  // namespace

Context::Context() = default;

Context::~Context()
{
  // Contexts shut themselves down on destruction, as rclcpp's do.
  try {
    shutdown("context destructor was called while still not shutdown");
  } catch (...) {
  }
}

void Context::init(int argc, char const * const * argv, const rclcpp::InitOptions & init_options)
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  if (valid_) {
    throw ContextAlreadyInitialized();
  }
  auto state = std::make_shared<client_layer::ContextState>();
  for (int i = 0; i < argc && argv != nullptr; ++i) {
    state->arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
  }
  // As rcl_init and rclcpp do it: parse, resolve the domain, the enclave and
  // its security, configure logging, and only then reject unknown ROS
  // arguments. (So what security logs at init ignores --log-level.)
  auto arguments = parse_global_arguments(state->arguments);
  state->domain_id = resolve_domain_id(init_options);
  state->participant_options.localhost_only = localhost_only_from_environment();
  if (arguments->enclave) {
    state->participant_options.enclave = *arguments->enclave;
  }
  client_layer::check_enclave_name(state->participant_options.enclave);
  state->participant_options.security =
      client_layer::security_options_from_environment(state->participant_options.enclave);
  if (init_options.auto_initialize_logging()) {
    client_layer::apply_logging_arguments(*arguments);
  }
  client_layer::throw_if_unknown_ros_args(*arguments);
  state->global_arguments = std::move(arguments);
  init_options_ = init_options;
  domain_id_ = state->domain_id;
  state_ = std::move(state);
  shutdown_reason_.clear();
  valid_ = true;
  registry().add(shared_from_this());
}

bool Context::is_valid() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return valid_;
}

const rclcpp::InitOptions & Context::get_init_options() const { return init_options_; }

rclcpp::InitOptions Context::get_init_options()
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return init_options_;
}

size_t Context::get_domain_id() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return domain_id_;
}

std::string Context::shutdown_reason() const
{
  std::lock_guard<std::recursive_mutex> lock(init_mutex_);
  return shutdown_reason_;
}

bool Context::shutdown(const std::string & reason)
{
  {
    std::lock_guard<std::recursive_mutex> lock(init_mutex_);
    if (!valid_) {
      return false;
    }
  }
  for (const auto & callback : get_pre_shutdown_callbacks()) {
    callback();
  }
  {
    std::lock_guard<std::recursive_mutex> lock(init_mutex_);
    if (!valid_) {
      return false;  // another thread shut it down meanwhile
    }
    valid_ = false;
    shutdown_reason_ = reason;
    // The participant stays until the last node lets go of it.
    state_.reset();
  }
  for (const auto & callback : get_on_shutdown_callbacks()) {
    callback();
  }
  interrupt_all_sleep_for();
  registry().remove(this);
  return true;
}

ShutdownCallbackHandle Context::add_callback(CallbackList & list, OnShutdownCallback callback)
{
  auto shared = std::make_shared<OnShutdownCallback>(std::move(callback));
  {
    std::lock_guard<std::mutex> lock(callbacks_mutex_);
    list.push_back(shared);
  }
  ShutdownCallbackHandle handle;
  handle.callback = shared;
  return handle;
}

bool Context::remove_callback(CallbackList & list, const ShutdownCallbackHandle & handle)
{
  auto target = handle.callback.lock();
  if (!target) {
    return false;
  }
  std::lock_guard<std::mutex> lock(callbacks_mutex_);
  auto it = std::find(list.begin(), list.end(), target);
  if (it == list.end()) {
    return false;
  }
  list.erase(it);
  return true;
}

std::vector<Context::OnShutdownCallback> Context::get_callbacks(const CallbackList & list) const
{
  std::lock_guard<std::mutex> lock(callbacks_mutex_);
  std::vector<OnShutdownCallback> result;
  result.reserve(list.size());
  for (const auto & callback : list) {
    result.push_back(*callback);
  }
  return result;
}

Context::OnShutdownCallback Context::on_shutdown(OnShutdownCallback callback)
{
  add_on_shutdown_callback(callback);
  return callback;
}

OnShutdownCallbackHandle Context::add_on_shutdown_callback(OnShutdownCallback callback)
{
  return add_callback(on_shutdown_callbacks_, std::move(callback));
}

bool Context::remove_on_shutdown_callback(const OnShutdownCallbackHandle & callback_handle)
{
  return remove_callback(on_shutdown_callbacks_, callback_handle);
}

std::vector<Context::OnShutdownCallback> Context::get_on_shutdown_callbacks() const
{
  return get_callbacks(on_shutdown_callbacks_);
}

PreShutdownCallbackHandle Context::add_pre_shutdown_callback(PreShutdownCallback callback)
{
  return add_callback(pre_shutdown_callbacks_, std::move(callback));
}

bool Context::remove_pre_shutdown_callback(const PreShutdownCallbackHandle & callback_handle)
{
  return remove_callback(pre_shutdown_callbacks_, callback_handle);
}

std::vector<Context::PreShutdownCallback> Context::get_pre_shutdown_callbacks() const
{
  return get_callbacks(pre_shutdown_callbacks_);
}

bool Context::sleep_for(const std::chrono::nanoseconds & nanoseconds)
{
  const auto deadline = std::chrono::steady_clock::now() + nanoseconds;
  // An interruption ends the sleep only if it came from shutdown.
  while (std::chrono::steady_clock::now() < deadline) {
    {
      std::unique_lock<std::mutex> lock(sleep_mutex_);
      const auto interrupts = sleep_interrupts_;
      sleep_condition_.wait_until(
          lock, deadline, [this, interrupts] { return sleep_interrupts_ != interrupts; });
    }
    if (!is_valid()) {
      return false;
    }
  }
  return is_valid();
}

void Context::interrupt_all_sleep_for()
{
  {
    std::lock_guard<std::mutex> lock(sleep_mutex_);
    ++sleep_interrupts_;
  }
  sleep_condition_.notify_all();
}

std::vector<Context::SharedPtr> get_contexts() { return registry().all(); }

namespace contexts {

DefaultContext::SharedPtr get_global_default_context()
{
  static DefaultContext::SharedPtr default_context = DefaultContext::make_shared();
  return default_context;
}

}  // namespace contexts

bool InitOptions::auto_initialize_logging() const { return initialize_logging_; }

InitOptions & InitOptions::auto_initialize_logging(bool initialize_logging)
{
  initialize_logging_ = initialize_logging;
  return *this;
}

void InitOptions::use_default_domain_id() { domain_id_ = std::numeric_limits<size_t>::max(); }

void InitOptions::set_domain_id(size_t domain_id) { domain_id_ = domain_id; }

size_t InitOptions::get_domain_id() const { return domain_id_; }

}  // namespace rclcpp
