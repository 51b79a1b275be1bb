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

// rclcpp::exceptions as declared by rclcpp (Humble), with the same what() texts.
//
// The RCLError family is built from a client_layer::ErrorState instead of an
// rcl_error_state_t. The layer keeps no global rcl error state, so callers of
// throw_from_rcl_error() pass the state explicitly (client_layer::throw_from_error()
// in error_state.hpp is the same with a reference).
#ifndef RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
#define RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_layer/error_state.hpp"

namespace rclcpp {
namespace exceptions {

/// The node a call needs is gone or was never valid.
class InvalidNodeError : public std::runtime_error
{
public:
  InvalidNodeError() : std::runtime_error("node is invalid") {}
};

/// Base of the name errors: which kind of name, the name, why, and where it breaks.
class NameValidationError : public std::invalid_argument
{
public:
  NameValidationError(
      const char * name_type_, const char * name_, const char * error_msg_, size_t invalid_index_)
      : std::invalid_argument(format_error(name_type_, name_, error_msg_, invalid_index_)),
        name_type(name_type_),
        name(name_),
        error_msg(error_msg_),
        invalid_index(invalid_index_)
  {
  }

  /// "Invalid <type>: <error>:\n  '<name>'\n   <spaces>^\n"
  static std::string format_error(
      const char * name_type, const char * name, const char * error_msg, size_t invalid_index);

  const std::string name_type;
  const std::string name;
  const std::string error_msg;
  const size_t invalid_index;
};

/// A node name the ROS name rules refuse.
class InvalidNodeNameError : public NameValidationError
{
public:
  InvalidNodeNameError(const char * node_name, const char * error_msg, size_t invalid_index)
      : NameValidationError("node name", node_name, error_msg, invalid_index)
  {
  }
};

/// A namespace the ROS name rules refuse.
class InvalidNamespaceError : public NameValidationError
{
public:
  InvalidNamespaceError(const char * namespace_, const char * error_msg, size_t invalid_index)
      : NameValidationError("namespace", namespace_, error_msg, invalid_index)
  {
  }
};

/// A topic name the ROS name rules refuse.
class InvalidTopicNameError : public NameValidationError
{
public:
  InvalidTopicNameError(const char * namespace_, const char * error_msg, size_t invalid_index)
      : NameValidationError("topic name", namespace_, error_msg, invalid_index)
  {
  }
};

/// A service name the ROS name rules refuse.
class InvalidServiceNameError : public NameValidationError
{
public:
  InvalidServiceNameError(const char * namespace_, const char * error_msg, size_t invalid_index)
      : NameValidationError("service name", namespace_, error_msg, invalid_index)
  {
  }
};

class InvalidServiceTypeError : public std::runtime_error
{
public:
  InvalidServiceTypeError() : std::runtime_error("Service type is invalid.") {}
  explicit InvalidServiceTypeError(const std::string & msg) : std::runtime_error(msg) {}
};

class UnimplementedError : public std::runtime_error
{
public:
  UnimplementedError() : std::runtime_error("This code is unimplemented.") {}
  explicit UnimplementedError(const std::string & msg) : std::runtime_error(msg) {}
};

/// Common part of the exceptions made from an rcl error.
class RCLErrorBase
{
public:
  RCLErrorBase(int ret, const client_layer::ErrorState & error_state);
  virtual ~RCLErrorBase() {}

  int ret;
  std::string message;
  std::string file;
  size_t line;
  std::string formatted_message;
};

/// An rcl failure with no exception class of its own.
class RCLError : public RCLErrorBase, public std::runtime_error
{
public:
  RCLError(int ret, const client_layer::ErrorState & error_state, const std::string & prefix);
  RCLError(const RCLErrorBase & base_exc, const std::string & prefix);
};

/// rcl ran out of memory (RCL_RET_BAD_ALLOC); also a std::bad_alloc.
class RCLBadAlloc : public RCLErrorBase, public std::bad_alloc
{
public:
  RCLBadAlloc(int ret, const client_layer::ErrorState & error_state);
  explicit RCLBadAlloc(const RCLErrorBase & base_exc);
};

/// rcl refused an argument (RCL_RET_INVALID_ARGUMENT); also a std::invalid_argument.
class RCLInvalidArgument : public RCLErrorBase, public std::invalid_argument
{
public:
  RCLInvalidArgument(
      int ret, const client_layer::ErrorState & error_state, const std::string & prefix);
  RCLInvalidArgument(const RCLErrorBase & base_exc, const std::string & prefix);
};

/// The --ros-args part of the command line is malformed (RCL_RET_INVALID_ROS_ARGS).
class RCLInvalidROSArgsError : public RCLErrorBase, public std::runtime_error
{
public:
  RCLInvalidROSArgsError(
      int ret, const client_layer::ErrorState & error_state, const std::string & prefix);
  RCLInvalidROSArgsError(const RCLErrorBase & base_exc, const std::string & prefix);
};

/// Throws the exception that matches `ret`: RCLBadAlloc, RCLInvalidArgument,
/// RCLInvalidROSArgsError or RCLError; a non-empty prefix is followed by ": ".
/// \throws std::invalid_argument if `ret` is RCL_RET_OK
/// \throws std::runtime_error("rcl error state is not set") without an error state
[[noreturn]] void throw_from_rcl_error(
    int ret, const std::string & prefix = "",
    const client_layer::ErrorState * error_state = nullptr);

/// --ros-args held arguments that no rule understood; they are listed.
class UnknownROSArgsError : public std::runtime_error
{
public:
  explicit UnknownROSArgsError(std::vector<std::string> && unknown_ros_args_in)
      : std::runtime_error("found unknown ROS arguments: '" + join(unknown_ros_args_in) + "'"),
        unknown_ros_args(unknown_ros_args_in)
  {
  }

  const std::vector<std::string> unknown_ros_args;

private:
  static std::string join(const std::vector<std::string> & items)
  {
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) {
      joined += (i == 0 ? "" : "', '") + items[i];
    }
    return joined;
  }
};

/// A type name the layer cannot resolve.
class UnknownTypeError : public std::runtime_error
{
public:
  explicit UnknownTypeError(const std::string & type) : std::runtime_error("Unknown type: " + type)
  {
  }
};

/// An Event handle that is null or no longer valid.
class InvalidEventError : public std::runtime_error
{
public:
  InvalidEventError() : std::runtime_error("event is invalid") {}
};

/// An Event that should have been registered but is not.
class EventNotRegisteredError : public std::runtime_error
{
public:
  EventNotRegisteredError() : std::runtime_error("event already registered") {}
};

/// A callback group used with a node it does not belong to.
class MissingGroupNodeException : public std::runtime_error
{
public:
  explicit MissingGroupNodeException(const std::string & obj_type)
      : std::runtime_error("cannot create: " + obj_type + " , callback group not in node")
  {
  }
};

/// A parameter request that makes no sense as a whole (an empty name, say).
class InvalidParametersException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// A value outside the descriptor's range or otherwise refused.
class InvalidParameterValueException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// A parameter read or declared as a type it cannot have; unlike
/// rclcpp::ParameterTypeException, the message names the parameter.
class InvalidParameterTypeException : public std::runtime_error
{
public:
  InvalidParameterTypeException(const std::string & name, const std::string message)
      : std::runtime_error("parameter '" + name + "' has invalid type: " + message)
  {
  }
};

/// A statically typed parameter declared with neither a value nor an override.
class UninitializedStaticallyTypedParameterException : public std::runtime_error
{
public:
  explicit UninitializedStaticallyTypedParameterException(const std::string & name)
      : std::runtime_error("Statically typed parameter '" + name + "' must be initialized.")
  {
  }
};

/// A second declaration of the same name.
class ParameterAlreadyDeclaredException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// Get, set or describe of a name that was never declared.
class ParameterNotDeclaredException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// Undeclaring a read-only parameter.
class ParameterImmutableException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// Declaring, setting or re-registering from inside a set-parameters callback.
class ParameterModifiedInCallbackException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// Reading a statically typed parameter that has no value yet.
class ParameterUninitializedException : public std::runtime_error
{
public:
  explicit ParameterUninitializedException(const std::string & name)
      : std::runtime_error("parameter '" + name + "' is not initialized")
  {
  }
};

/// A qos_overrides parameter with a bad policy name or value.
class InvalidQosOverridesException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// The QoS compatibility check itself failed (not: found an incompatibility).
class QoSCheckCompatibleException : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

}  // namespace exceptions
}  // namespace rclcpp

#endif  // RCLCPP__EXCEPTIONS__EXCEPTIONS_HPP_
