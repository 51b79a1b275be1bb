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

// Writes the CDR fuzzer's seed corpus: valid samples of every type, as the
// node, diagctl and ROS 2 tools send them, a few of them big-endian.
//
//   cdr_seed_writer <directory>
//
// Each file is the type's index in cdr_types.hpp followed by the sample.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "cdr_types.hpp"
#include "client_layer/type_support.hpp"

namespace {

using client_layer::SerializedBuffer;

template <typename MessageT, std::size_t Index = 0>
constexpr std::size_t type_index()
{
  if constexpr (std::is_same_v<std::tuple_element_t<Index, fuzz::CdrTypes>, MessageT>) {
    return Index;
  } else {
    return type_index<MessageT, Index + 1>();
  }
}

class SeedDirectory
{
public:
  explicit SeedDirectory(std::string path) : path_(std::move(path)) {}

  template <typename MessageT>
  void add(const std::string & name, const MessageT & message)
  {
    SerializedBuffer sample;
    client_layer::serialize_message(message, sample);
    add_raw<MessageT>(name, sample);
  }

  template <typename MessageT>
  void add_raw(const std::string & name, const SerializedBuffer & sample)
  {
    const std::size_t index = type_index<MessageT>();
    std::ofstream file(path_ + "/" + std::to_string(index) + "_" + name, std::ios::binary);
    file.put(static_cast<char>(index));
    file.write(reinterpret_cast<const char *>(sample.data()), sample.size());
    if (!file) {
      std::fprintf(stderr, "cdr_seed_writer: cannot write %s\n", name.c_str());
      failed_ = true;
    }
  }

  bool failed() const { return failed_; }

private:
  std::string path_;
  bool failed_ = false;
};

// Big-endian plain CDR by hand, for the byte order the layer never writes.
class BigEndianSample
{
public:
  BigEndianSample() : bytes_{0x00, 0x00, 0x00, 0x00} {}
  BigEndianSample & u32(std::uint32_t value)
  {
    align(4);
    for (int shift = 24; shift >= 0; shift -= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    return *this;
  }
  BigEndianSample & text(const std::string & value)
  {
    u32(static_cast<std::uint32_t>(value.size() + 1));
    bytes_.insert(bytes_.end(), value.begin(), value.end());
    bytes_.push_back(0);
    return *this;
  }
  const SerializedBuffer & bytes() const { return bytes_; }

private:
  void align(std::size_t alignment)
  {
    while ((bytes_.size() - 4) % alignment != 0) {
      bytes_.push_back(0);
    }
  }
  SerializedBuffer bytes_;
};

builtin_interfaces::msg::Time stamp()
{
  builtin_interfaces::msg::Time time;
  time.sec = 1700000000;
  time.nanosec = 500000000;
  return time;
}

void add_robot_interface(SeedDirectory & seeds)
{
  corvanta_protocol::msg::DiagnosticEvent event;
  seeds.add("diagnostic_event_default", event);
  event.stamp = stamp();
  event.source = "arm_driver";
  event.fault_id = 2001;
  event.status = corvanta_protocol::msg::DiagnosticEvent::STATUS_PRESENT;
  event.event_msg = "joint 3 at 85 C";
  seeds.add("diagnostic_event_raised", event);
  event.status = corvanta_protocol::msg::DiagnosticEvent::STATUS_PASSED;
  event.event_msg = "cooled\n2024-01-01_00-00-00 fault_id : 1, status : fault";
  seeds.add("diagnostic_event_passed_forging", event);
  seeds.add_raw<corvanta_protocol::msg::DiagnosticEvent>(
      "diagnostic_event_big_endian", BigEndianSample()
                                         .u32(1700000000)
                                         .u32(0)
                                         .text("lidar")
                                         .u32(1203)
                                         .u32(1)
                                         .text("timeout")
                                         .bytes());

  corvanta_protocol::msg::TaskCenterFsmStatus fsm;
  fsm.stamp = stamp();
  fsm.source = "task_center";
  fsm.fsm_state = 3;
  fsm.fsm_sub_state = 1;
  seeds.add("fsm_status", fsm);

  corvanta_protocol::msg::CurrentFailure failures;
  seeds.add("current_failure_none", failures);
  failures.stamp = stamp();
  failures.source = "diagnostic_center";
  failures.fault_id_list = {1001, 1002, 1003, 2001};
  seeds.add("current_failure", failures);

  corvanta_protocol::msg::ExceptionHandle handle;
  handle.stamp = stamp();
  handle.source = "diagnostic_center";
  handle.fault_id = 1001;
  seeds.add("exception_handle", handle);

  corvanta_protocol::srv::DiagnosticSrv_Request query;
  seeds.add("diagnostic_srv_request", query);
  corvanta_protocol::srv::DiagnosticSrv_Response answer;
  seeds.add("diagnostic_srv_response_empty", answer);
  // diag_srv.DiagSrvResp{root_cause_list: [1001, 2001]}, packed and not.
  answer.data = std::string("\x0a\x04\xe9\x07\xd1\x0f", 6);
  seeds.add("diagnostic_srv_response_packed", answer);
  answer.data = std::string("\x08\xe9\x07\x08\xd1\x0f", 6);
  seeds.add("diagnostic_srv_response_unpacked", answer);
}

void add_diagnosis_views(SeedDirectory & seeds)
{
  corvanta_protocol::msg::DiagnosisEntry root;
  root.fault_id = 1001;
  root.parent_id = 1001;
  root.raised_at = stamp();
  root.module = "/arm_driver_diag_topic";
  root.description = "arm overcurrent";
  root.event_msg = "motor 3\ncurrent 12 A";
  corvanta_protocol::msg::DiagnosisEntry sub = root;
  sub.fault_id = 1002;
  sub.module = "/arm_manager_diag_topic";
  sub.description.clear();
  sub.event_msg = "joint 2 silent";
  seeds.add("diagnosis_entry", sub);
  corvanta_protocol::msg::DiagnosisTree tree;
  seeds.add("diagnosis_tree_empty", tree);
  tree.stamp = stamp();
  tree.entries = {root, sub};
  seeds.add("diagnosis_tree", tree);

  diagnostic_msgs::msg::KeyValue pair;
  pair.key = "caused_by";
  pair.value = "1001";
  seeds.add("key_value", pair);
  diagnostic_msgs::msg::DiagnosticStatus status;
  status.level = diagnostic_msgs::msg::DiagnosticStatus::WARN;
  status.name = "diagnostic_center/1002";
  status.message = "fault 1002";
  status.hardware_id = "/arm_manager_diag_topic";
  status.values = {pair};
  seeds.add("diagnostic_status", status);
  diagnostic_msgs::msg::DiagnosticArray array;
  array.header.stamp = stamp();
  array.status = {status};
  status.level = diagnostic_msgs::msg::DiagnosticStatus::ERROR;
  status.name = "diagnostic_center";
  status.message = "1 root cause, 1 consequence";
  status.hardware_id.clear();
  status.values.clear();
  array.status.push_back(status);
  seeds.add("diagnostic_array", array);
  seeds.add("header", array.header);
}

void add_graph(SeedDirectory & seeds)
{
  rmw_dds_common::msg::Gid gid;
  for (std::size_t i = 0; i < gid.data.size(); ++i) {
    gid.data[i] = static_cast<std::uint8_t>(0x10 + i);
  }
  seeds.add("gid", gid);
  rmw_dds_common::msg::NodeEntitiesInfo node;
  node.node_namespace = "/";
  node.node_name = "diagnostic_center";
  node.reader_gid_seq = {gid, gid};
  node.writer_gid_seq = {gid};
  seeds.add("node_entities_info", node);
  rmw_dds_common::msg::ParticipantEntitiesInfo participant;
  participant.gid = gid;
  participant.node_entities_info_seq.push_back(node);
  node.node_name = "diagctl";
  node.reader_gid_seq.clear();
  participant.node_entities_info_seq.push_back(node);
  seeds.add("participant_entities_info", participant);

  seeds.add("time", stamp());
  seeds.add_raw<builtin_interfaces::msg::Time>(
      "time_big_endian", BigEndianSample().u32(1700000000).u32(500000000).bytes());
  builtin_interfaces::msg::Duration duration;
  duration.sec = -1;
  duration.nanosec = 999999999;
  seeds.add("duration", duration);

  rcl_interfaces::msg::Log log;
  log.stamp = stamp();
  log.level = rcl_interfaces::msg::Log::WARN;
  log.name = "diagnostic_center";
  log.msg = "cannot write fault record: No space left on device";
  log.file = "fault_recorder.cpp";
  log.function = "flush";
  log.line = 120;
  seeds.add("log", log);
}

std::vector<rcl_interfaces::msg::ParameterValue> parameter_values()
{
  using rcl_interfaces::msg::ParameterType;
  std::vector<rcl_interfaces::msg::ParameterValue> values(9);
  values[0].type = ParameterType::PARAMETER_BOOL;
  values[0].bool_value = true;
  values[1].type = ParameterType::PARAMETER_INTEGER;
  values[1].integer_value = 10;
  values[2].type = ParameterType::PARAMETER_DOUBLE;
  values[2].double_value = 0.5;
  values[3].type = ParameterType::PARAMETER_STRING;
  values[3].string_value = "/var/log/diagnostic_center/fault_record";
  values[4].type = ParameterType::PARAMETER_BYTE_ARRAY;
  values[4].byte_array_value = {0x00, 0x7f, 0xff};
  values[5].type = ParameterType::PARAMETER_BOOL_ARRAY;
  values[5].bool_array_value = {true, false, true};
  values[6].type = ParameterType::PARAMETER_INTEGER_ARRAY;
  values[6].integer_array_value = {1001, 1002, 1003};
  values[7].type = ParameterType::PARAMETER_DOUBLE_ARRAY;
  values[7].double_array_value = {1.5, -2.0};
  values[8].type = ParameterType::PARAMETER_STRING_ARRAY;
  values[8].string_array_value = {"a", "", "c"};
  return values;
}

std::vector<rcl_interfaces::msg::Parameter> parameters()
{
  const char * names[] = {
      "use_sim_time",
      "center_handle_space",
      "1002_root_cause_time_dis",
      "fault_record_dir",
      "bytes",
      "flags",
      "diag_event_list",
      "weights",
      "labels"};
  std::vector<rcl_interfaces::msg::Parameter> result;
  const auto values = parameter_values();
  for (std::size_t i = 0; i < values.size(); ++i) {
    rcl_interfaces::msg::Parameter parameter;
    parameter.name = names[i];
    parameter.value = values[i];
    result.push_back(parameter);
  }
  return result;
}

rcl_interfaces::msg::ParameterDescriptor read_only_descriptor()
{
  rcl_interfaces::msg::ParameterDescriptor descriptor;
  descriptor.name = "center_handle_space";
  descriptor.type = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER;
  descriptor.description = "Period of the diagnosis loop, in ms";
  descriptor.read_only = true;
  rcl_interfaces::msg::IntegerRange range;
  range.from_value = 1;
  range.to_value = 1000;
  range.step = 1;
  descriptor.integer_range.push_back(range);
  return descriptor;
}

void add_parameter_messages(SeedDirectory & seeds)
{
  rcl_interfaces::msg::FloatingPointRange float_range;
  float_range.from_value = 0.0;
  float_range.to_value = 1.0;
  float_range.step = 0.1;
  seeds.add("floating_point_range", float_range);
  seeds.add("integer_range", read_only_descriptor().integer_range[0]);
  rcl_interfaces::msg::ListParametersResult list;
  list.names = {"center_handle_space", "qos_overrides./parameter_events.publisher.depth"};
  list.prefixes = {"qos_overrides"};
  seeds.add("list_parameters_result", list);
  const auto all = parameters();
  seeds.add("parameter", all[3]);
  seeds.add("parameter_descriptor", read_only_descriptor());
  rcl_interfaces::msg::ParameterEvent event;
  event.stamp = stamp();
  event.node = "/diagnostic_center";
  event.new_parameters = {all[0], all[1], all[8]};
  event.changed_parameters = {all[7]};
  event.deleted_parameters = {all[4]};
  seeds.add("parameter_event", event);
  seeds.add("parameter_type", rcl_interfaces::msg::ParameterType());
  const auto values = parameter_values();
  for (std::size_t i = 0; i < values.size(); ++i) {
    seeds.add("parameter_value_type_" + std::to_string(values[i].type), values[i]);
  }
  rcl_interfaces::msg::SetParametersResult result;
  result.reason = "parameter 'center_handle_space' cannot be set because it is read-only";
  seeds.add("set_parameters_result", result);
}

void add_parameter_services(SeedDirectory & seeds)
{
  const std::vector<std::string> names = {"center_handle_space", "fault_record_dir", "missing"};
  rcl_interfaces::srv::DescribeParameters_Request describe;
  describe.names = names;
  seeds.add("describe_parameters_request", describe);
  rcl_interfaces::srv::DescribeParameters_Response descriptors;
  descriptors.descriptors = {read_only_descriptor(), rcl_interfaces::msg::ParameterDescriptor()};
  seeds.add("describe_parameters_response", descriptors);
  rcl_interfaces::srv::GetParameters_Request get;
  get.names = names;
  seeds.add("get_parameters_request", get);
  rcl_interfaces::srv::GetParameters_Response got;
  got.values = parameter_values();
  seeds.add("get_parameters_response", got);
  rcl_interfaces::srv::GetParameterTypes_Request get_types;
  get_types.names = names;
  seeds.add("get_parameter_types_request", get_types);
  rcl_interfaces::srv::GetParameterTypes_Response types;
  types.types = {2, 4, 0};
  seeds.add("get_parameter_types_response", types);
  rcl_interfaces::srv::ListParameters_Request list;
  list.prefixes = {"qos_overrides"};
  list.depth = 0;
  seeds.add("list_parameters_request", list);
  rcl_interfaces::srv::ListParameters_Response listed;
  listed.result.names = names;
  seeds.add("list_parameters_response", listed);
  rcl_interfaces::srv::SetParameters_Request set;
  set.parameters = parameters();
  seeds.add("set_parameters_request", set);
  rcl_interfaces::srv::SetParameters_Response set_results;
  set_results.results.resize(2);
  set_results.results[0].successful = true;
  set_results.results[1].reason = "parameter 'x' cannot be set because it is read-only";
  seeds.add("set_parameters_response", set_results);
  rcl_interfaces::srv::SetParametersAtomically_Request atomically;
  atomically.parameters = {parameters()[1]};
  seeds.add("set_parameters_atomically_request", atomically);
  rcl_interfaces::srv::SetParametersAtomically_Response atomic_result;
  atomic_result.result.successful = true;
  seeds.add("set_parameters_atomically_response", atomic_result);
}

void add_grammar(SeedDirectory & seeds)
{
  namespace test_msgs = client_layer_test_interfaces::msg;
  test_msgs::AllTypes all;
  seeds.add("all_types_defaults", all);
  all.wides = {u"wide", u"\u00e9\u4e2d"};
  all.flags = {true, false};
  all.bounded_strings = {"ab", "c"};
  all.nested_list.resize(2);
  all.nested_bounded.resize(1);
  all.nested_list[1].label = "deep";
  seeds.add("all_types_filled", all);
  test_msgs::Bounded bounded;
  bounded.values = {1, -2};
  bounded.text = "abc";
  seeds.add("bounded", bounded);
  seeds.add("empty", test_msgs::Empty());
  test_msgs::Nested nested;
  nested.label = "nested";
  seeds.add("nested", nested);
  test_msgs::Unbounded unbounded;
  unbounded.values = {1, 2, 3, 4, 5};
  unbounded.text = "longer than its bound";
  seeds.add("unbounded", unbounded);
  seeds.add("trigger_request", client_layer_test_interfaces::srv::Trigger_Request());
  client_layer_test_interfaces::srv::Trigger_Response triggered;
  triggered.success = true;
  triggered.message = "done";
  seeds.add("trigger_response", triggered);
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  SeedDirectory seeds(argv[1]);
  add_robot_interface(seeds);
  add_graph(seeds);
  add_diagnosis_views(seeds);
  add_parameter_messages(seeds);
  add_parameter_services(seeds);
  add_grammar(seeds);
  return seeds.failed() ? 1 : 0;
}
