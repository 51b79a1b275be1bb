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

#include "rclcpp/utilities.hpp"

#include <string>
#include <vector>

#include "client_layer/arguments.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "signal_handler.hpp"

namespace rclcpp {

namespace {

Context::SharedPtr or_default(Context::SharedPtr context)
{
  return context ? context : contexts::get_global_default_context();
}

}  // namespace

void init(
    int argc, char const * const * argv, const InitOptions & init_options,
    SignalHandlerOptions signal_handler_options)
{
  contexts::get_global_default_context()->init(argc, argv, init_options);
  install_signal_handlers(signal_handler_options);
}

bool install_signal_handlers(SignalHandlerOptions signal_handler_options)
{
  return client_layer::SignalHandler::instance().install(signal_handler_options);
}

bool signal_handlers_installed() { return client_layer::SignalHandler::instance().installed(); }

SignalHandlerOptions get_current_signal_handler_options()
{
  return client_layer::SignalHandler::instance().options();
}

bool uninstall_signal_handlers() { return client_layer::SignalHandler::instance().uninstall(); }

std::vector<std::string> init_and_remove_ros_arguments(
    int argc, char const * const * argv, const InitOptions & init_options)
{
  init(argc, argv, init_options);
  return remove_ros_arguments(argc, argv);
}

std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv)
{
  return client_layer::parse_arguments(argc, argv, "failed to parse arguments").non_ros_args;
}

bool ok(Context::SharedPtr context) { return or_default(std::move(context))->is_valid(); }

bool shutdown(Context::SharedPtr context, const std::string & reason)
{
  auto default_context = contexts::get_global_default_context();
  if (!context) {
    context = default_context;
  }
  const bool result = context->shutdown(reason);
  if (context == default_context) {
    uninstall_signal_handlers();
  }
  return result;
}

void on_shutdown(std::function<void()> callback, Context::SharedPtr context)
{
  or_default(std::move(context))->on_shutdown(std::move(callback));
}

bool sleep_for(const std::chrono::nanoseconds & nanoseconds, Context::SharedPtr context)
{
  return or_default(std::move(context))->sleep_for(nanoseconds);
}

const char * get_c_string(const char * string_in) { return string_in; }

const char * get_c_string(const std::string & string_in) { return string_in.c_str(); }

}  // namespace rclcpp
