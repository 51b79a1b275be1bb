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

// Options for initialising a context (rclcpp::init).
#ifndef RCLCPP__INIT_OPTIONS_HPP_
#define RCLCPP__INIT_OPTIONS_HPP_

#include <cstddef>
#include <limits>

#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

/// How rclcpp::init sets a context up.
class InitOptions
{
public:
  /// If true, the context is shut down by the signal handler (when it is installed).
  bool shutdown_on_signal = true;

  InitOptions() = default;
  virtual ~InitOptions() = default;

  /// Return true if logging is configured when the context is initialised.
  bool auto_initialize_logging() const;

  /// Set whether logging is configured when the context is initialised.
  InitOptions & auto_initialize_logging(bool initialize_logging);

  /// Use ROS_DOMAIN_ID (or 0 when it is unset) as the domain id.
  void use_default_domain_id();

  /// Set the domain id, overriding ROS_DOMAIN_ID.
  void set_domain_id(size_t domain_id);

  /// The domain id given to set_domain_id(), or the "use the default" marker.
  size_t get_domain_id() const;

private:
  bool initialize_logging_ = true;
  size_t domain_id_ = std::numeric_limits<size_t>::max();
};

}  // namespace rclcpp

#endif  // RCLCPP__INIT_OPTIONS_HPP_
