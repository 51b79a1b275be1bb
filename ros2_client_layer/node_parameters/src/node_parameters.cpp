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

#include "client_layer/node_parameters.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
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

SetParametersResult Accepted()
{
  SetParametersResult result;
  result.successful = true;
  return result;
}

SetParametersResult Refused(std::string reason)
{
  SetParametersResult result;
  result.successful = false;
  result.reason = std::move(reason);
  return result;
}

// The outcome of checking or storing parameter values: the result callers
// see, and why a refusal happened, so that declare_parameter picks its
// exception by the kind instead of by reading the text.
struct Verdict
{
  enum class Kind
  {
    kAccepted,
    kWrongType,  // the value's type is not the declared one
    kRefused,    // out of range, or refused by an on-set callback
  };

  SetParametersResult result = Accepted();
  Kind kind = Kind::kAccepted;

  bool accepted() const { return kind == Kind::kAccepted; }

  static Verdict Refusal(Kind kind, std::string reason)
  {
    return {Refused(std::move(reason)), kind};
  }
};

// The reason text of a type refusal. Humble words it so, and chooses
// InvalidParameterTypeException when a declaration is refused with a reason
// that starts with these words, whoever gave it.
constexpr char kWrongTypeReasonStart[] = "Wrong parameter type";

// What an on-set callback said, as a verdict. A callback that words its
// refusal as a type refusal gets the type exception on declaration, as in
// Humble.
Verdict FromCallback(const SetParametersResult & result)
{
  if (result.successful) {
    return {result, Verdict::Kind::kAccepted};
  }
  const bool worded_as_type = result.reason.rfind(kWrongTypeReasonStart, 0) == 0;
  return {result, worded_as_type ? Verdict::Kind::kWrongType : Verdict::Kind::kRefused};
}

// Range ends and steps are floating point: a value counts as on them within
// a hundred units in the last place of their size, so that 0.3 is on the
// 0.1 steps from 0.0.
bool OnTheSameGridPoint(double x, double y)
{
  constexpr double kUnitsInTheLastPlace = 100.0;
  return std::abs(x - y) <=
         std::numeric_limits<double>::epsilon() * std::abs(x + y) * kUnitsInTheLastPlace;
}

Verdict OutOfRange(const std::string & name, const char * range_kind)
{
  return Verdict::Refusal(
      Verdict::Kind::kRefused,
      "Parameter {" + name + "} doesn't comply with " + range_kind + " range.");
}

Verdict CheckIntegerRange(
    const std::string & name, const rcl_interfaces::msg::IntegerRange & range, int64_t value)
{
  if (value == range.from_value || value == range.to_value) {
    return {};
  }
  if (value < range.from_value || value > range.to_value) {
    return OutOfRange(name, "integer");
  }
  const bool on_a_step =
      range.step == 0 || (value - range.from_value) % static_cast<int64_t>(range.step) == 0;
  return on_a_step ? Verdict{} : OutOfRange(name, "integer");
}

Verdict CheckFloatingPointRange(
    const std::string & name, const rcl_interfaces::msg::FloatingPointRange & range, double value)
{
  if (OnTheSameGridPoint(value, range.from_value) || OnTheSameGridPoint(value, range.to_value)) {
    return {};
  }
  if (value < range.from_value || value > range.to_value) {
    return OutOfRange(name, "floating point");
  }
  if (range.step == 0.0) {
    return {};
  }
  const double steps = std::round((value - range.from_value) / range.step);
  return OnTheSameGridPoint(value, range.from_value + steps * range.step)
             ? Verdict{}
             : OutOfRange(name, "floating point");
}

// Only the range of the value's own type applies.
Verdict CheckRange(const ParameterDescriptor & descriptor, const rclcpp::ParameterValue & value)
{
  if (!descriptor.integer_range.empty() && value.get_type() == rclcpp::PARAMETER_INTEGER) {
    return CheckIntegerRange(descriptor.name, descriptor.integer_range.at(0), value.get<int64_t>());
  }
  if (!descriptor.floating_point_range.empty() && value.get_type() == rclcpp::PARAMETER_DOUBLE) {
    return CheckFloatingPointRange(
        descriptor.name, descriptor.floating_point_range.at(0), value.get<double>());
  }
  return {};
}

// The descriptor a new value is checked against: the declared one, or for a
// parameter about to be declared implicitly, a dynamically typed one.
ParameterDescriptor DescriptorFor(
    ParameterInfoMap & infos, const std::string & name, bool allow_undeclared)
{
  ParameterDescriptor descriptor;
  if (!allow_undeclared) {
    descriptor = infos[name].descriptor;
  } else if (auto found = infos.find(name); found != infos.end()) {
    descriptor = found->second.descriptor;
  } else {
    descriptor.dynamic_typing = true;
  }
  if (descriptor.name.empty()) {
    descriptor.name = name;
  }
  return descriptor;
}

// The first parameter whose type or range its descriptor refuses.
Verdict CheckAgainstDescriptors(
    ParameterInfoMap & infos, const std::vector<rclcpp::Parameter> & parameters,
    bool allow_undeclared)
{
  for (const rclcpp::Parameter & parameter : parameters) {
    const ParameterDescriptor descriptor =
        DescriptorFor(infos, parameter.get_name(), allow_undeclared);
    const auto declared_type = static_cast<rclcpp::ParameterType>(descriptor.type);
    if (!descriptor.dynamic_typing && declared_type != parameter.get_type()) {
      return Verdict::Refusal(
          Verdict::Kind::kWrongType,
          std::string(kWrongTypeReasonStart) + ", parameter {" + parameter.get_name() +
              "} is of type {" + rclcpp::to_string(declared_type) + "}, setting it to {" +
              rclcpp::to_string(parameter.get_type()) + "} is not allowed.");
    }
    Verdict in_range = CheckRange(descriptor, parameter.get_parameter_value());
    if (!in_range.accepted()) {
      return in_range;
    }
  }
  return {};
}

// Asks every live on-set callback, newest first, until one refuses; handles
// whose callback is gone are dropped on the way.
Verdict AskSetCallbacks(
    const std::vector<rclcpp::Parameter> & parameters, CallbacksContainer & callbacks)
{
  Verdict verdict;
  for (auto it = callbacks.begin(); it != callbacks.end();) {
    auto handle = it->lock();
    if (handle == nullptr) {
      it = callbacks.erase(it);
      continue;
    }
    verdict = FromCallback(handle->callback(parameters));
    if (!verdict.accepted()) {
      return verdict;
    }
    ++it;
  }
  return verdict;
}

// Checks the values against their descriptors, asks the callbacks, and
// stores them in `infos` once all agree. The accepted result is the last
// callback's, reason included.
Verdict CheckAndStore(
    const std::vector<rclcpp::Parameter> & parameters, ParameterInfoMap & infos,
    CallbacksContainer & callbacks, bool allow_undeclared = false)
{
  Verdict verdict = CheckAgainstDescriptors(infos, parameters, allow_undeclared);
  if (!verdict.accepted()) {
    return verdict;
  }
  verdict = AskSetCallbacks(parameters, callbacks);
  if (!verdict.accepted()) {
    return verdict;
  }
  for (const rclcpp::Parameter & parameter : parameters) {
    ParameterInfo & info = infos[parameter.get_name()];
    info.descriptor.name = parameter.get_name();
    info.descriptor.type = parameter.get_type();
    info.value = parameter.get_parameter_value();
  }
  return verdict;
}

// Declares `name` into `target`: with its override unless that is ignored,
// else with `default_value`; without either it is declared uninitialised,
// asking nobody. A new value is reported in `event` when one is given.
Verdict DeclareInto(
    const std::string & name, const rclcpp::ParameterValue & default_value,
    const ParameterDescriptor & descriptor, ParameterInfoMap & target,
    const std::map<std::string, rclcpp::ParameterValue> & overrides, CallbacksContainer & callbacks,
    rcl_interfaces::msg::ParameterEvent * event, bool ignore_override)
{
  const auto override_value = overrides.find(name);
  const rclcpp::ParameterValue & initial_value =
      !ignore_override && override_value != overrides.end() ? override_value->second
                                                            : default_value;

  ParameterInfoMap candidate{{name, ParameterInfo()}};
  candidate.at(name).descriptor = descriptor;
  if (initial_value.get_type() == rclcpp::PARAMETER_NOT_SET) {
    ParameterInfo & info = candidate.at(name);
    info.descriptor.name = name;
    info.descriptor.type =
        descriptor.dynamic_typing ? uint8_t{rclcpp::PARAMETER_NOT_SET} : descriptor.type;
    target[name] = info;
    return {};
  }

  const rclcpp::Parameter initial(name, initial_value);
  Verdict verdict = CheckAndStore({initial}, candidate, callbacks);
  if (!verdict.accepted()) {
    return verdict;
  }
  target[name] = candidate.at(name);
  if (event != nullptr) {
    event->new_parameters.push_back(initial.to_parameter_msg());
  }
  return verdict;
}

// What the set reports as changed: the parameters it neither declared nor
// undeclared (those are reported as new and deleted).
void RecordChanges(
    const std::vector<rclcpp::Parameter> & values, const ParameterInfoMap & declared,
    const std::vector<std::string> & undeclared, rcl_interfaces::msg::ParameterEvent & event)
{
  for (const rclcpp::Parameter & parameter : values) {
    const std::string & name = parameter.get_name();
    const bool was_declared = declared.count(name) != 0;
    const bool was_undeclared =
        std::find(undeclared.begin(), undeclared.end(), name) != undeclared.end();
    if (!was_declared && !was_undeclared) {
      event.changed_parameters.push_back(parameter.to_parameter_msg());
    }
  }
}

// The values to set, with those of implicitly declared parameters as their
// declaration chose them (an override may have won over the value given).
std::vector<rclcpp::Parameter> ValuesAsDeclared(
    const std::vector<rclcpp::Parameter> & parameters, const ParameterInfoMap & declared)
{
  std::vector<rclcpp::Parameter> values = parameters;
  for (const auto & [name, info] : declared) {
    for (rclcpp::Parameter & value : values) {
      if (value.get_name() == name) {
        value = rclcpp::Parameter(name, info.value);
      }
    }
  }
  return values;
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

  const Verdict verdict = DeclareInto(
      name, default_value, parameter_descriptor, parameters_, parameter_overrides_,
      on_parameters_set_callback_container_, &event, ignore_override);
  switch (verdict.kind) {
    case Verdict::Kind::kAccepted:
      return parameters_.at(name).value;
    case Verdict::Kind::kWrongType:
      throw rclcpp::exceptions::InvalidParameterTypeException(name, verdict.result.reason);
    case Verdict::Kind::kRefused:
      break;
  }
  throw rclcpp::exceptions::InvalidParameterValueException(
      "parameter '" + name + "' could not be set: " + verdict.result.reason);
}

void NodeParameters::undeclare_parameter(const std::string & name)
{
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ParameterMutationRecursionGuard guard(parameter_modification_enabled_);

  // Checked in this order: which refusal a caller gets is part of the API.
  const auto declared = parameters_.find(name);
  if (declared == parameters_.end()) {
    throw rclcpp::exceptions::ParameterNotDeclaredException(
        "cannot undeclare parameter '" + name + "' which has not yet been declared");
  }
  const rcl_interfaces::msg::ParameterDescriptor & descriptor = declared->second.descriptor;
  if (descriptor.read_only) {
    throw rclcpp::exceptions::ParameterImmutableException(
        "cannot undeclare parameter '" + name + "' because it is read-only");
  }
  if (!descriptor.dynamic_typing) {
    // The message's grammar is rclcpp's, kept for callers that compare it.
    throw rclcpp::exceptions::InvalidParameterTypeException{
        name, "cannot undeclare an statically typed parameter"};
  }
  parameters_.erase(declared);
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

// An atomic set: every step may refuse, and nothing changes until the last
// check has passed.
SetParametersResult NodeParameters::set_parameters_atomically_locked(
    const std::vector<rclcpp::Parameter> & parameters, rcl_interfaces::msg::ParameterEvent & event)
{
  std::vector<const rclcpp::Parameter *> undeclared;
  if (auto refusal = check_writable(parameters, undeclared)) {
    return *refusal;
  }
  ParameterInfoMap declared;
  if (auto refusal = stage_implicit_declarations(undeclared, declared, event)) {
    return *refusal;
  }
  const std::vector<rclcpp::Parameter> values = ValuesAsDeclared(parameters, declared);
  std::vector<std::string> to_undeclare;
  if (auto refusal = collect_undeclarations(values, to_undeclare)) {
    return *refusal;
  }
  const Verdict verdict =
      CheckAndStore(values, parameters_, on_parameters_set_callback_container_, allow_undeclared_);
  if (!verdict.accepted()) {
    return verdict.result;
  }
  commit(declared, to_undeclare, event);
  RecordChanges(values, declared, to_undeclare, event);
  return verdict.result;
}

std::optional<SetParametersResult> NodeParameters::check_writable(
    const std::vector<rclcpp::Parameter> & parameters,
    std::vector<const rclcpp::Parameter *> & undeclared) const
{
  for (const rclcpp::Parameter & parameter : parameters) {
    const std::string & name = parameter.get_name();
    if (name.empty()) {
      throw rclcpp::exceptions::InvalidParametersException("parameter name must not be empty");
    }
    const auto found = parameters_.find(name);
    if (found == parameters_.end()) {
      if (!allow_undeclared_) {
        throw rclcpp::exceptions::ParameterNotDeclaredException(
            "parameter '" + name + "' cannot be set because it was not declared");
      }
      undeclared.push_back(&parameter);
    } else if (found->second.descriptor.read_only) {
      return Refused("parameter '" + name + "' cannot be set because it is read-only");
    }
  }
  return std::nullopt;
}

std::optional<SetParametersResult> NodeParameters::stage_implicit_declarations(
    const std::vector<const rclcpp::Parameter *> & undeclared, ParameterInfoMap & declared,
    rcl_interfaces::msg::ParameterEvent & event)
{
  // Declared dynamically typed, asking no callback: the callbacks are asked
  // once, below, with every parameter of the set.
  CallbacksContainer nobody;
  ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  for (const rclcpp::Parameter * parameter : undeclared) {
    const Verdict verdict = DeclareInto(
        parameter->get_name(), parameter->get_parameter_value(), dynamic, declared,
        parameter_overrides_, nobody, &event, true);
    if (!verdict.accepted()) {
      return verdict.result;
    }
  }
  return std::nullopt;
}

std::optional<SetParametersResult> NodeParameters::collect_undeclarations(
    const std::vector<rclcpp::Parameter> & values, std::vector<std::string> & to_undeclare) const
{
  // A value of PARAMETER_NOT_SET undeclares a dynamically typed parameter
  // that holds a value.
  for (const rclcpp::Parameter & value : values) {
    if (value.get_type() != rclcpp::PARAMETER_NOT_SET) {
      continue;
    }
    const auto found = parameters_.find(value.get_name());
    if (found == parameters_.end() || found->second.value.get_type() == rclcpp::PARAMETER_NOT_SET) {
      continue;
    }
    if (!found->second.descriptor.dynamic_typing) {
      return Refused("cannot undeclare an statically typed parameter");
    }
    to_undeclare.push_back(value.get_name());
  }
  return std::nullopt;
}

void NodeParameters::commit(
    const ParameterInfoMap & declared, const std::vector<std::string> & to_undeclare,
    rcl_interfaces::msg::ParameterEvent & event)
{
  for (const auto & [name, info] : declared) {
    parameters_[name] = info;
  }
  for (const std::string & name : to_undeclare) {
    const auto found = parameters_.find(name);
    if (found != parameters_.end()) {
      event.deleted_parameters.push_back(
          rclcpp::Parameter(found->first, found->second.value).to_parameter_msg());
      parameters_.erase(found);
    }
  }
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
