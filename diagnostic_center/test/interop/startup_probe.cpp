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

// The start-up probe: does what the diagnosis centre does at start-up with
// its command line (rclcpp::init, the node, its topics, service and
// parameters) and prints a canonical, sorted, plain-text report of the
// outcome, so that the same source built on genuine rclcpp and on the client
// layer can be compared line by line:
//
//   node: name=<name> namespace=<ns> fqn=<fully qualified name>
//   topic <as created>: <resolved name>
//   service <as created>: <resolved name>
//   override <name>: <type> <value>   every parameter override the node sees
//   declared <name>: <type> <value>   the node's parameters, declared as it does
//   refused <stage>: <exception type>: <message>
//
// Any refusal makes the exit status 255, as it does the node's.
#include <cxxabi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "corvanta_protocol/msg/current_failure.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "corvanta_protocol/msg/task_center_fsm_status.hpp"
#include "corvanta_protocol/srv/diagnostic_srv.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/diag_tree.hpp"
#include "diagnostic_center/diagnostic_center.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

namespace contract = diagnostic_center::contract;

// The node's start-up parameters besides the fault table, with its defaults.
struct IntegerParam
{
  const char * name;
  std::int64_t default_value;
};
constexpr IntegerParam kIntegerParams[] = {
    {"diag_keep_his", 100},
    {"ctrl_handle_space", 10},
    {"center_handle_space", 10},
    {"cur_failure_pub_space", 1},
    {"robot_status_change_detect_space", 1},
    {"fault_record_refresh_space", 10},
};

std::string TypeName(const std::exception & error)
{
  int status = 0;
  char * name = abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status);
  std::string result = status == 0 ? name : typeid(error).name();
  std::free(name);
  return result;
}

class Report
{
public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }

  void Refused(const char * stage, const std::exception & error)
  {
    Add(std::string("refused ") + stage + ": " + TypeName(error) + ": " + error.what());
  }

  [[noreturn]] void PrintAndExit(int status)
  {
    std::sort(lines_.begin(), lines_.end());
    for (const std::string & line : lines_) {
      std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
    std::exit(status);
  }

private:
  std::vector<std::string> lines_;
};

// Printable ASCII stays; everything else is escaped, so that the report is
// one line per entry whatever bytes a value holds.
std::string Quoted(const std::string & text)
{
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Number(std::int64_t value) { return std::to_string(value); }

std::string Number(double value)
{
  char text[40];
  std::snprintf(text, sizeof(text), "%.17g", value);
  return text;
}

std::string Number(bool value) { return value ? "true" : "false"; }

std::string Number(std::uint8_t value) { return std::to_string(value); }

std::string Number(const std::string & value) { return Quoted(value); }

template <typename T>
std::string List(const std::vector<T> & values)
{
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    out += (i == 0 ? "" : ", ") + Number(static_cast<T>(values[i]));
  }
  return out + "]";
}

std::string Describe(const rclcpp::ParameterValue & value)
{
  using rclcpp::ParameterType;
  std::string type = rclcpp::to_string(value.get_type());  // not const: returned by move
  switch (value.get_type()) {
    case ParameterType::PARAMETER_BOOL:
      return type + " " + Number(value.get<bool>());
    case ParameterType::PARAMETER_INTEGER:
      return type + " " + Number(value.get<std::int64_t>());
    case ParameterType::PARAMETER_DOUBLE:
      return type + " " + Number(value.get<double>());
    case ParameterType::PARAMETER_STRING:
      return type + " " + Quoted(value.get<std::string>());
    case ParameterType::PARAMETER_BYTE_ARRAY:
      return type + " " + List(value.get<std::vector<std::uint8_t>>());
    case ParameterType::PARAMETER_BOOL_ARRAY:
      return type + " " + List(value.get<std::vector<bool>>());
    case ParameterType::PARAMETER_INTEGER_ARRAY:
      return type + " " + List(value.get<std::vector<std::int64_t>>());
    case ParameterType::PARAMETER_DOUBLE_ARRAY:
      return type + " " + List(value.get<std::vector<double>>());
    case ParameterType::PARAMETER_STRING_ARRAY:
      return type + " " + List(value.get<std::vector<std::string>>());
    default:
      return type;
  }
}

// Every parameter the node has, as "<prefix> <name>: <type> <value>".
void AddParameters(Report & report, const char * prefix, const rclcpp::Node & node)
{
  const auto names = node.list_parameters({}, 0).names;
  for (const rclcpp::Parameter & parameter : node.get_parameters(names)) {
    report.Add(
        std::string(prefix) + " " + parameter.get_name() + ": " +
        Describe(parameter.get_parameter_value()));
  }
}

// What the node sees of the command line's parameters: a node that declares
// every override for itself shows all of them, with their types, whichever
// of them the node itself would declare.
void AddOverrides(Report & report)
{
  const auto node = std::make_shared<rclcpp::Node>(
      contract::kNodeName,
      rclcpp::NodeOptions().automatically_declare_parameters_from_overrides(true));
  AddParameters(report, "override", *node);
}

void AddNames(Report & report, rclcpp::Node & node)
{
  report.Add(
      std::string("node: name=") + node.get_name() + " namespace=" + node.get_namespace() +
      " fqn=" + node.get_fully_qualified_name());
  const rclcpp::QoS qos(10);
  const auto ignore_event = [](const corvanta_protocol::msg::DiagnosticEvent &) {};
  for (const char * topic : contract::kModuleTopics) {
    const auto sub =
        node.create_subscription<corvanta_protocol::msg::DiagnosticEvent>(topic, qos, ignore_event);
    report.Add(std::string("topic ") + topic + ": " + sub->get_topic_name());
  }
  const auto fsm = node.create_subscription<corvanta_protocol::msg::TaskCenterFsmStatus>(
      contract::kFsmStatusTopic, qos, [](const corvanta_protocol::msg::TaskCenterFsmStatus &) {});
  report.Add(std::string("topic ") + contract::kFsmStatusTopic + ": " + fsm->get_topic_name());
  const auto handle = node.create_publisher<corvanta_protocol::msg::ExceptionHandle>(
      contract::kExceptionHandleTopic, qos);
  report.Add(
      std::string("topic ") + contract::kExceptionHandleTopic + ": " + handle->get_topic_name());
  const auto failure = node.create_publisher<corvanta_protocol::msg::CurrentFailure>(
      contract::kCurrentFailureTopic, qos);
  report.Add(
      std::string("topic ") + contract::kCurrentFailureTopic + ": " + failure->get_topic_name());
  using Srv = corvanta_protocol::srv::DiagnosticSrv;
  const auto service = node.create_service<Srv>(
      contract::kQueryService,
      [](const std::shared_ptr<Srv::Request>, std::shared_ptr<Srv::Response>) {});
  report.Add(
      std::string("service ") + contract::kQueryService + ": " + service->get_service_name());
}

// The node's parameters, declared as the node declares them at start-up.
void DeclareNodeParameters(rclcpp::Node & node)
{
  diag_tree::FaultTable table;
  diagnostic_center::LoadFaultTable(node, table);
  for (const IntegerParam & param : kIntegerParams) {
    node.declare_parameter<std::int64_t>(param.name, param.default_value);
  }
  node.declare_parameter<std::string>(contract::kRecordDirParam, contract::kDefaultRecordDir);
}

// The node as diagnostic_center makes it: its names, then its parameters
// (those declared before a refusal too).
bool RunNodeStages(Report & report)
{
  const char * stage = "node";
  std::shared_ptr<rclcpp::Node> node;
  bool ok = true;
  try {
    node = std::make_shared<rclcpp::Node>(contract::kNodeName);
    stage = "names";
    AddNames(report, *node);
    stage = "declare";
    DeclareNodeParameters(*node);
  } catch (const std::exception & error) {
    report.Refused(stage, error);
    ok = false;
  }
  if (node) {
    AddParameters(report, "declared", *node);
  }
  return ok;
}

bool RunOverridesStage(Report & report)
{
  try {
    AddOverrides(report);
    return true;
  } catch (const std::exception & error) {
    report.Refused("overrides", error);
    return false;
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  Report report;
  try {
    rclcpp::init(argc, argv);
  } catch (const std::exception & error) {
    report.Refused("init", error);
    report.PrintAndExit(255);
  }
  // Both stages run whatever the other's outcome: each shows what the other
  // would hide.
  const bool node_ok = RunNodeStages(report);
  const bool overrides_ok = RunOverridesStage(report);
  rclcpp::shutdown();
  report.PrintAndExit(node_ok && overrides_ok ? 0 : 255);
}
