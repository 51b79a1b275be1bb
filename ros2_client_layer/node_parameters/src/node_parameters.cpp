#include "client_layer/node_parameters.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace client_layer {
namespace {

using rcl_interfaces::msg::ParameterDescriptor;
using rcl_interfaces::msg::SetParametersResult;
using ParameterInfoMap = std::map<std::string, ParameterInfo>;
using CallbacksContainer = std::list<OnSetParametersCallbackHandle::WeakPtr>;

constexpr uint64_t kDepthRecursive = 0;  // ListParameters DEPTH_RECURSIVE

/// Refuses declare/set/undeclare from inside an on-set callback, as rclcpp does.
class ParameterMutationRecursionGuard
{
public:
  explicit ParameterMutationRecursionGuard(bool & allow_modification)
      : allow_modification_(allow_modification)
  {
    if (!allow_modification_) {
      throw rclcpp::exceptions::ParameterModifiedInCallbackException(
          "cannot set or declare a parameter, or change the callback from within set callback");
    }
    allow_modification_ = false;
  }

  ~ParameterMutationRecursionGuard() { allow_modification_ = true; }

  ParameterMutationRecursionGuard(const ParameterMutationRecursionGuard &) = delete;
  ParameterMutationRecursionGuard & operator=(const ParameterMutationRecursionGuard &) = delete;

private:
  bool & allow_modification_;
};

SetParametersResult success()
{
  SetParametersResult result;
  result.successful = true;
  return result;
}

SetParametersResult failure(std::string reason)
{
  SetParametersResult result;
  result.successful = false;
  result.reason = std::move(reason);
  return result;
}

// see https://en.cppreference.com/w/cpp/types/numeric_limits/epsilon
bool are_doubles_equal(double x, double y, double ulp = 100.0)
{
  return std::abs(x - y) <= std::numeric_limits<double>::epsilon() * std::abs(x + y) * ulp;
}

std::string format_range_reason(const std::string & name, const char * range_type)
{
  std::ostringstream ss;
  ss << "Parameter {" << name << "} doesn't comply with " << range_type << " range.";
  return ss.str();
}

SetParametersResult check_parameter_value_in_range(
    const ParameterDescriptor & descriptor, const rclcpp::ParameterValue & value)
{
  if (!descriptor.integer_range.empty() && value.get_type() == rclcpp::PARAMETER_INTEGER) {
    const int64_t v = value.get<int64_t>();
    const auto & range = descriptor.integer_range.at(0);
    if (v == range.from_value || v == range.to_value) {
      return success();
    }
    if (v < range.from_value || v > range.to_value) {
      return failure(format_range_reason(descriptor.name, "integer"));
    }
    if (range.step == 0 || (v - range.from_value) % static_cast<int64_t>(range.step) == 0) {
      return success();
    }
    return failure(format_range_reason(descriptor.name, "integer"));
  }
  if (!descriptor.floating_point_range.empty() && value.get_type() == rclcpp::PARAMETER_DOUBLE) {
    const double v = value.get<double>();
    const auto & range = descriptor.floating_point_range.at(0);
    if (are_doubles_equal(v, range.from_value) || are_doubles_equal(v, range.to_value)) {
      return success();
    }
    if (v < range.from_value || v > range.to_value) {
      return failure(format_range_reason(descriptor.name, "floating point"));
    }
    if (range.step == 0.0) {
      return success();
    }
    const double rounded_div = std::round((v - range.from_value) / range.step);
    if (are_doubles_equal(v, range.from_value + rounded_div * range.step)) {
      return success();
    }
    return failure(format_range_reason(descriptor.name, "floating point"));
  }
  return success();
}

// A condition in declare_parameter depends on this reason starting with "Wrong parameter type".
std::string format_type_reason(
    const std::string & name, const std::string & old_type, const std::string & new_type)
{
  std::ostringstream ss;
  ss << "Wrong parameter type, parameter {" << name << "} is of type {" << old_type
     << "}, setting it to {" << new_type << "} is not allowed.";
  return ss.str();
}

/// Do the values comply with the descriptors (type and range)?
SetParametersResult check_parameters(
    ParameterInfoMap & parameter_infos, const std::vector<rclcpp::Parameter> & parameters,
    bool allow_undeclared)
{
  for (const rclcpp::Parameter & parameter : parameters) {
    const std::string & name = parameter.get_name();
    ParameterDescriptor descriptor;
    if (allow_undeclared) {
      auto it = parameter_infos.find(name);
      if (it != parameter_infos.cend()) {
        descriptor = it->second.descriptor;
      } else {
        descriptor.dynamic_typing = true;  // implicitly declared parameters are dynamically typed
      }
    } else {
      descriptor = parameter_infos[name].descriptor;
    }
    if (descriptor.name.empty()) {
      descriptor.name = name;
    }
    const auto new_type = parameter.get_type();
    const auto specified_type = static_cast<rclcpp::ParameterType>(descriptor.type);
    if (!descriptor.dynamic_typing && specified_type != new_type) {
      return failure(
          format_type_reason(name, rclcpp::to_string(specified_type), rclcpp::to_string(new_type)));
    }
    SetParametersResult result =
        check_parameter_value_in_range(descriptor, parameter.get_parameter_value());
    if (!result.successful) {
      return result;
    }
  }
  return success();
}

SetParametersResult call_on_set_parameters_callbacks(
    const std::vector<rclcpp::Parameter> & parameters, CallbacksContainer & callbacks)
{
  SetParametersResult result = success();
  auto it = callbacks.begin();
  while (it != callbacks.end()) {
    auto handle = it->lock();
    if (handle == nullptr) {
      it = callbacks.erase(it);
      continue;
    }
    result = handle->callback(parameters);
    if (!result.successful) {
      return result;
    }
    ++it;
  }
  return result;
}

SetParametersResult set_parameters_atomically_common(
    const std::vector<rclcpp::Parameter> & parameters, ParameterInfoMap & parameter_infos,
    CallbacksContainer & callbacks, bool allow_undeclared = false)
{
  SetParametersResult result = check_parameters(parameter_infos, parameters, allow_undeclared);
  if (!result.successful) {
    return result;
  }
  result = call_on_set_parameters_callbacks(parameters, callbacks);
  if (!result.successful) {
    return result;
  }
  for (const rclcpp::Parameter & parameter : parameters) {
    ParameterInfo & info = parameter_infos[parameter.get_name()];
    info.descriptor.name = parameter.get_name();
    info.descriptor.type = parameter.get_type();
    info.value = parameter.get_parameter_value();
  }
  return result;
}

SetParametersResult declare_parameter_common(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const ParameterDescriptor & parameter_descriptor, ParameterInfoMap & parameters_out,
    const std::map<std::string, rclcpp::ParameterValue> & overrides, CallbacksContainer & callbacks,
    rcl_interfaces::msg::ParameterEvent * event_out, bool ignore_override)
{
  ParameterInfoMap parameter_infos{{name, ParameterInfo()}};
  parameter_infos.at(name).descriptor = parameter_descriptor;

  // The override, when there is one and it is not ignored, else the default.
  const rclcpp::ParameterValue * initial_value = &default_value;
  auto overrides_it = overrides.find(name);
  if (!ignore_override && overrides_it != overrides.end()) {
    initial_value = &overrides_it->second;
  }

  // Without an initial value the parameter is declared uninitialised.
  if (initial_value->get_type() == rclcpp::PARAMETER_NOT_SET) {
    ParameterInfo & info = parameter_infos[name];
    info.descriptor.name = name;
    info.descriptor.type = parameter_descriptor.dynamic_typing ? uint8_t{rclcpp::PARAMETER_NOT_SET}
                                                               : parameter_descriptor.type;
    parameters_out[name] = info;
    return success();
  }

  std::vector<rclcpp::Parameter> parameter_wrappers{rclcpp::Parameter(name, *initial_value)};
  SetParametersResult result =
      set_parameters_atomically_common(parameter_wrappers, parameter_infos, callbacks);
  if (!result.successful) {
    return result;
  }
  parameters_out[name] = parameter_infos.at(name);
  if (event_out) {
    event_out->new_parameters.push_back(parameter_wrappers[0].to_parameter_msg());
  }
  return result;
}

}  // namespace

NodeParameters::NodeParameters(
    std::string node_fqn, std::map<std::string, rclcpp::ParameterValue> overrides,
    bool allow_undeclared_parameters, bool automatically_declare_parameters_from_overrides,
    ParameterEventHandler event_handler)
    : node_fqn_(std::move(node_fqn)),
      allow_undeclared_(allow_undeclared_parameters),
      parameter_overrides_(std::move(overrides)),
      event_handler_(std::move(event_handler))
{
  if (automatically_declare_parameters_from_overrides) {
    ParameterDescriptor descriptor;
    descriptor.dynamic_typing = true;
    for (const auto & override_value : parameter_overrides_) {
      if (!has_parameter(override_value.first)) {
        declare_parameter(override_value.first, override_value.second, descriptor, true);
      }
    }
  }
}

const rclcpp::ParameterValue & NodeParameters::declare_parameter(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  rcl_interfaces::msg::ParameterEvent event;
  const rclcpp::ParameterValue * value;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
    value = &declare_parameter_locked(
        name, rclcpp::PARAMETER_NOT_SET, default_value, parameter_descriptor, ignore_override,
        event);
  }
  publish(std::move(event));
  return *value;
}

const rclcpp::ParameterValue & NodeParameters::declare_parameter(
    const std::string & name, rclcpp::ParameterType type,
    const ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  rcl_interfaces::msg::ParameterEvent event;
  const rclcpp::ParameterValue * value;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
    if (rclcpp::PARAMETER_NOT_SET == type) {
      throw std::invalid_argument{
          "declare_parameter(): the provided parameter type cannot be "
          "rclcpp::PARAMETER_NOT_SET"};
    }
    if (parameter_descriptor.dynamic_typing) {
      throw std::invalid_argument{
          "declare_parameter(): cannot declare parameter of specific type and pass "
          "descriptor with `dynamic_typing=true`"};
    }
    value = &declare_parameter_locked(
        name, type, rclcpp::ParameterValue{}, parameter_descriptor, ignore_override, event);
  }
  publish(std::move(event));
  return *value;
}

const rclcpp::ParameterValue & NodeParameters::declare_parameter_locked(
    const std::string & name, rclcpp::ParameterType type,
    const rclcpp::ParameterValue & default_value, ParameterDescriptor parameter_descriptor,
    bool ignore_override, rcl_interfaces::msg::ParameterEvent & event)
{
  if (name.empty()) {
    throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
  }
  if (parameters_.find(name) != parameters_.end()) {
    throw rclcpp::exceptions::ParameterAlreadyDeclaredException(
        "parameter '" + name + "' has already been declared");
  }
  if (!parameter_descriptor.dynamic_typing) {
    if (rclcpp::PARAMETER_NOT_SET == type) {
      type = default_value.get_type();
    }
    if (rclcpp::PARAMETER_NOT_SET == type) {
      throw rclcpp::exceptions::InvalidParameterTypeException{
          name, "cannot declare a statically typed parameter with an uninitialized value"};
    }
    parameter_descriptor.type = static_cast<uint8_t>(type);
  }

  SetParametersResult result = declare_parameter_common(
      name, default_value, parameter_descriptor, parameters_, parameter_overrides_,
      on_parameters_set_callback_container_, &event, ignore_override);
  if (!result.successful) {
    constexpr const char type_error_msg_start[] = "Wrong parameter type";
    if (0u == std::strncmp(
                  result.reason.c_str(), type_error_msg_start, sizeof(type_error_msg_start) - 1)) {
      throw rclcpp::exceptions::InvalidParameterTypeException(name, result.reason);
    }
    throw rclcpp::exceptions::InvalidParameterValueException(
        "parameter '" + name + "' could not be set: " + result.reason);
  }
  return parameters_.at(name).value;
}

void NodeParameters::undeclare_parameter(const std::string & name)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);

  auto parameter_info = parameters_.find(name);
  if (parameter_info == parameters_.end()) {
    throw rclcpp::exceptions::ParameterNotDeclaredException(
        "cannot undeclare parameter '" + name + "' which has not yet been declared");
  }
  if (parameter_info->second.descriptor.read_only) {
    throw rclcpp::exceptions::ParameterImmutableException(
        "cannot undeclare parameter '" + name + "' because it is read-only");
  }
  if (!parameter_info->second.descriptor.dynamic_typing) {
    throw rclcpp::exceptions::InvalidParameterTypeException{
        name, "cannot undeclare an statically typed parameter"};
  }
  parameters_.erase(parameter_info);
}

bool NodeParameters::has_parameter(const std::string & name) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return parameters_.find(name) != parameters_.end();
}

std::vector<SetParametersResult> NodeParameters::set_parameters(
    const std::vector<rclcpp::Parameter> & parameters)
{
  std::vector<SetParametersResult> results;
  results.reserve(parameters.size());
  for (const auto & parameter : parameters) {
    results.push_back(set_parameters_atomically({parameter}));
  }
  return results;
}

SetParametersResult NodeParameters::set_parameters_atomically(
    const std::vector<rclcpp::Parameter> & parameters)
{
  rcl_interfaces::msg::ParameterEvent event;
  SetParametersResult result;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
    result = set_parameters_atomically_locked(parameters, event);
  }
  if (result.successful) {
    publish(std::move(event));
  }
  return result;
}

SetParametersResult NodeParameters::set_parameters_atomically_locked(
    const std::vector<rclcpp::Parameter> & parameters, rcl_interfaces::msg::ParameterEvent & event)
{
  // Refuse read-only parameters; collect undeclared ones to declare them
  // implicitly when that is allowed.
  std::vector<const rclcpp::Parameter *> parameters_to_be_declared;
  for (const auto & parameter : parameters) {
    const std::string & name = parameter.get_name();
    if (name.empty()) {
      throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
    }
    auto parameter_info = parameters_.find(name);
    if (parameter_info == parameters_.end()) {
      if (!allow_undeclared_) {
        throw rclcpp::exceptions::ParameterNotDeclaredException(
            "parameter '" + name + "' cannot be set because it was not declared");
      }
      parameters_to_be_declared.push_back(&parameter);
      continue;
    }
    if (parameter_info->second.descriptor.read_only) {
      return failure("parameter '" + name + "' cannot be set because it is read-only");
    }
  }

  // Declare into a staging area so that nothing changes if a later step fails;
  // the on-set callbacks run once below, with all the parameters.
  ParameterInfoMap staged_parameter_changes;
  CallbacksContainer no_callbacks;
  ParameterDescriptor dynamic_descriptor;
  dynamic_descriptor.dynamic_typing = true;
  for (const rclcpp::Parameter * parameter : parameters_to_be_declared) {
    SetParametersResult result = declare_parameter_common(
        parameter->get_name(), parameter->get_parameter_value(), dynamic_descriptor,
        staged_parameter_changes, parameter_overrides_, no_callbacks, &event, true);
    if (!result.successful) {
      return result;
    }
  }

  // Implicitly declared parameters take the value their declaration chose.
  std::vector<rclcpp::Parameter> parameters_to_be_set = parameters;
  for (const auto & staged : staged_parameter_changes) {
    for (rclcpp::Parameter & parameter : parameters_to_be_set) {
      if (parameter.get_name() == staged.first) {
        parameter = rclcpp::Parameter(staged.first, staged.second.value);
      }
    }
  }

  // Setting a parameter to PARAMETER_NOT_SET undeclares it (dynamically typed only).
  std::vector<std::string> parameters_to_be_undeclared;
  for (const auto & parameter : parameters_to_be_set) {
    if (rclcpp::PARAMETER_NOT_SET != parameter.get_type()) {
      continue;
    }
    auto it = parameters_.find(parameter.get_name());
    if (it != parameters_.end() && rclcpp::PARAMETER_NOT_SET != it->second.value.get_type()) {
      if (!it->second.descriptor.dynamic_typing) {
        return failure("cannot undeclare an statically typed parameter");
      }
      parameters_to_be_undeclared.push_back(parameter.get_name());
    }
  }

  SetParametersResult result = set_parameters_atomically_common(
      parameters_to_be_set, parameters_, on_parameters_set_callback_container_, allow_undeclared_);
  if (!result.successful) {
    return result;
  }

  for (const auto & staged : staged_parameter_changes) {
    parameters_[staged.first] = staged.second;
  }
  for (const std::string & name : parameters_to_be_undeclared) {
    auto it = parameters_.find(name);
    if (it != parameters_.end()) {
      event.deleted_parameters.push_back(
          rclcpp::Parameter(it->first, it->second.value).to_parameter_msg());
      parameters_.erase(it);
    }
  }
  for (const auto & parameter : parameters_to_be_set) {
    const std::string & name = parameter.get_name();
    const bool declared = staged_parameter_changes.count(name) != 0;
    const bool undeclared =
        std::find(parameters_to_be_undeclared.begin(), parameters_to_be_undeclared.end(), name) !=
        parameters_to_be_undeclared.end();
    if (!declared && !undeclared) {
      event.changed_parameters.push_back(parameter.to_parameter_msg());
    }
  }
  return result;
}

std::vector<rclcpp::Parameter> NodeParameters::get_parameters(
    const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<rclcpp::Parameter> results;
  results.reserve(names.size());
  for (const auto & name : names) {
    // Unlike get_parameter, a declared but unset parameter comes back unset.
    auto it = parameters_.find(name);
    if (it != parameters_.end()) {
      results.emplace_back(name, it->second.value);
    } else if (allow_undeclared_) {
      results.emplace_back(name);
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return results;
}

rclcpp::Parameter NodeParameters::get_parameter(const std::string & name) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return get_parameter_locked(name);
}

rclcpp::Parameter NodeParameters::get_parameter_locked(const std::string & name) const
{
  auto it = parameters_.find(name);
  if (it != parameters_.end()) {
    if (it->second.value.get_type() != rclcpp::PARAMETER_NOT_SET ||
        it->second.descriptor.dynamic_typing) {
      return rclcpp::Parameter{name, it->second.value};
    }
    throw rclcpp::exceptions::ParameterUninitializedException(name);
  }
  if (allow_undeclared_) {
    return rclcpp::Parameter{name};
  }
  throw rclcpp::exceptions::ParameterNotDeclaredException(name);
}

bool NodeParameters::get_parameter(const std::string & name, rclcpp::Parameter & parameter) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto it = parameters_.find(name);
  if (it != parameters_.end() && it->second.value.get_type() != rclcpp::PARAMETER_NOT_SET) {
    parameter = {name, it->second.value};
    return true;
  }
  return false;
}

bool NodeParameters::get_parameters_by_prefix(
    const std::string & prefix, std::map<std::string, rclcpp::Parameter> & parameters) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string prefix_with_dot = prefix.empty() ? prefix : prefix + ".";
  bool found = false;
  for (const auto & entry : parameters_) {
    if (entry.first.find(prefix_with_dot) == 0 && entry.first.length() > prefix_with_dot.length()) {
      parameters[entry.first.substr(prefix_with_dot.length())] =
          rclcpp::Parameter(entry.first, entry.second.value);
      found = true;
    }
  }
  return found;
}

std::vector<ParameterDescriptor> NodeParameters::describe_parameters(
    const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<ParameterDescriptor> results;
  results.reserve(names.size());
  for (const auto & name : names) {
    auto it = parameters_.find(name);
    if (it != parameters_.cend()) {
      results.push_back(it->second.descriptor);
    } else if (allow_undeclared_) {
      ParameterDescriptor default_description;
      default_description.name = name;
      results.push_back(default_description);
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return results;
}

std::vector<uint8_t> NodeParameters::get_parameter_types(
    const std::vector<std::string> & names) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<uint8_t> results;
  results.reserve(names.size());
  for (const auto & name : names) {
    auto it = parameters_.find(name);
    if (it != parameters_.cend()) {
      results.push_back(it->second.value.get_type());
    } else if (allow_undeclared_) {
      results.push_back(rclcpp::PARAMETER_NOT_SET);
    } else {
      throw rclcpp::exceptions::ParameterNotDeclaredException(name);
    }
  }
  return results;
}

rcl_interfaces::msg::ListParametersResult NodeParameters::list_parameters(
    const std::vector<std::string> & prefixes, uint64_t depth) const
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  rcl_interfaces::msg::ListParametersResult result;
  const char separator = '.';
  auto separators_less_than_depth = [depth, separator](const std::string & str) {
    return static_cast<uint64_t>(std::count(str.begin(), str.end(), separator)) < depth;
  };
  const bool recursive = prefixes.empty() && depth == kDepthRecursive;

  for (const auto & entry : parameters_) {
    const std::string & name = entry.first;
    if (!recursive) {
      const bool get_all = prefixes.empty() && separators_less_than_depth(name);
      if (!get_all) {
        const bool prefix_matches =
            std::any_of(prefixes.cbegin(), prefixes.cend(), [&](const std::string & prefix) {
              if (name == prefix) {
                return true;
              }
              if (name.find(prefix + separator) == 0) {
                return depth == kDepthRecursive ||
                       separators_less_than_depth(name.substr(prefix.length() + 1));
              }
              return false;
            });
        if (!prefix_matches) {
          continue;
        }
      }
    }
    result.names.push_back(name);
    const size_t last_separator = name.find_last_of(separator);
    if (std::string::npos != last_separator) {
      const std::string prefix = name.substr(0, last_separator);
      if (std::find(result.prefixes.cbegin(), result.prefixes.cend(), prefix) ==
          result.prefixes.cend()) {
        result.prefixes.push_back(prefix);
      }
    }
  }
  return result;
}

OnSetParametersCallbackHandle::SharedPtr NodeParameters::add_on_set_parameters_callback(
    OnParametersSetCallbackType callback)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  auto handle = std::make_shared<OnSetParametersCallbackHandle>();
  handle->callback = std::move(callback);
  on_parameters_set_callback_container_.emplace_front(handle);
  return handle;
}

void NodeParameters::remove_on_set_parameters_callback(
    const OnSetParametersCallbackHandle * const handler)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);
  auto it = std::find_if(
      on_parameters_set_callback_container_.begin(), on_parameters_set_callback_container_.end(),
      [handler](const auto & weak_handle) { return handler == weak_handle.lock().get(); });
  if (it == on_parameters_set_callback_container_.end()) {
    throw std::runtime_error("Callback doesn't exist");
  }
  on_parameters_set_callback_container_.erase(it);
}

const std::map<std::string, rclcpp::ParameterValue> & NodeParameters::get_parameter_overrides()
    const
{
  return parameter_overrides_;
}

void NodeParameters::set_parameter_event_handler(ParameterEventHandler handler)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  event_handler_ = std::move(handler);
}

void NodeParameters::publish(rcl_interfaces::msg::ParameterEvent event)
{
  ParameterEventHandler handler;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    handler = event_handler_;
  }
  if (!handler) {
    return;
  }
  event.node = node_fqn_;
  handler(std::move(event));
}

}  // namespace client_layer
