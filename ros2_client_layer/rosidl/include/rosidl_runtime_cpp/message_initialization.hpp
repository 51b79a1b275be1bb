// How a generated message constructor initialises its members.
#ifndef ROSIDL_RUNTIME_CPP__MESSAGE_INITIALIZATION_HPP_
#define ROSIDL_RUNTIME_CPP__MESSAGE_INITIALIZATION_HPP_

namespace rosidl_runtime_cpp {

enum class MessageInitialization
{
  // Default values where the definition gives one, zero everywhere else.
  ALL,
  // Zero everywhere, ignoring the definition's default values.
  ZERO,
  // Default values where given; other members are left as they are.
  DEFAULTS_ONLY,
  // Nothing is initialised beyond what the member types do themselves.
  SKIP,
};

}  // namespace rosidl_runtime_cpp

#endif  // ROSIDL_RUNTIME_CPP__MESSAGE_INITIALIZATION_HPP_
