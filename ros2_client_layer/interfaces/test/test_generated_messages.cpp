// Generated interface types: their shape, their traits and their CDR encoding.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "client_layer/type_support.hpp"
#include "client_layer_test_interfaces/msg/code_list.hpp"
#include "client_layer_test_interfaces/msg/event.hpp"
#include "client_layer_test_interfaces/srv/query.hpp"
#include "rcl_interfaces/msg/parameter.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using client_layer_test_interfaces::msg::Event;

template <typename T>
T round_trip(const T & message)
{
  Bytes wire;
  client_layer::serialize_message(message, wire);
  T read_back;
  EXPECT_TRUE(client_layer::deserialize_message(wire.data(), wire.size(), read_back));
  return read_back;
}

TEST(GeneratedMessages, EventHasTheKnownWireEncoding)
{
  Event event;
  event.stamp.sec = 1;
  event.stamp.nanosec = 2;
  event.source = "ab";
  event.code = 7;
  event.status = 1;
  event.text = "x";
  const Bytes expected = {
      0x00, 0x01, 0x00, 0x00,                          // encapsulation
      0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // stamp
      0x03, 0x00, 0x00, 0x00, 'a',  'b',  0x00,        // source
      0x00,                                            // pad to 4
      0x07, 0x00, 0x00, 0x00,                          // code
      0x01, 0x00, 0x00, 0x00,                          // status
      0x02, 0x00, 0x00, 0x00, 'x',  0x00,              // text
  };
  Bytes wire;
  client_layer::serialize_message(event, wire);
  EXPECT_EQ(wire, expected);
  EXPECT_EQ(round_trip(event), event);
}

TEST(GeneratedMessages, ServiceBinaryPayloadRoundTrips)
{
  using Srv = client_layer_test_interfaces::srv::Query;
  Srv::Response response;
  response.result = 0;
  response.data = std::string("\x00\xFF\x01\x00", 4);
  EXPECT_EQ(round_trip(response), response);
  Srv::Request request;
  request.cmd = Srv::Request::CMD_LIST;
  EXPECT_EQ(round_trip(request), request);
}

TEST(GeneratedMessages, TypeNamesFollowTheRos2Conventions)
{
  using client_layer_test_interfaces::srv::Query;
  EXPECT_STREQ(
      client_layer::TypeSupport<Event>::dds_type_name(),
      "client_layer_test_interfaces::msg::dds_::Event_");
  EXPECT_STREQ(
      client_layer::TypeSupport<Event>::ros_type_name(), "client_layer_test_interfaces/msg/Event");
  EXPECT_STREQ(
      client_layer::TypeSupport<Query::Request>::dds_type_name(),
      "client_layer_test_interfaces::srv::dds_::Query_Request_");
  EXPECT_STREQ(
      client_layer::TypeSupport<Query::Response>::dds_type_name(),
      "client_layer_test_interfaces::srv::dds_::Query_Response_");
  EXPECT_STREQ(
      client_layer::ServiceTypeSupport<Query>::ros_type_name(),
      "client_layer_test_interfaces/srv/Query");
  static_assert(
      std::is_same<client_layer::ServiceTypeSupport<Query>::Request, Query::Request>::value);
}

TEST(GeneratedMessages, SequencesRoundTrip)
{
  client_layer_test_interfaces::msg::CodeList failures;
  failures.stamp.sec = -5;
  failures.codes = {1001, 1002, -3};
  EXPECT_EQ(round_trip(failures), failures);
}

TEST(GeneratedMessages, Int64AfterAStringIsAlignedToEight)
{
  rcl_interfaces::msg::Parameter parameter;
  parameter.name = "ab";
  parameter.value.type = rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER;
  parameter.value.integer_value = -1;
  Bytes wire;
  client_layer::serialize_message(parameter, wire);
  // name: 4 + 3 bytes, type at 7, bool_value at 8, int64 aligned to 16.
  ASSERT_GE(wire.size(), 4u + 24u);
  EXPECT_EQ(wire[4 + 7], rcl_interfaces::msg::ParameterType::PARAMETER_INTEGER);
  for (std::size_t i = 4 + 9; i < 4 + 16; ++i) {
    EXPECT_EQ(wire[i], 0) << "padding byte " << i;
  }
  for (std::size_t i = 4 + 16; i < 4 + 24; ++i) {
    EXPECT_EQ(wire[i], 0xFF) << "int64 byte " << i;
  }
  EXPECT_EQ(round_trip(parameter), parameter);
}

TEST(GeneratedMessages, ParameterServicesRoundTrip)
{
  using rcl_interfaces::srv::ListParameters;
  using rcl_interfaces::srv::SetParameters;
  SetParameters::Request request;
  request.parameters.resize(1);
  request.parameters[0].name = "rate";
  request.parameters[0].value.type = rcl_interfaces::msg::ParameterType::PARAMETER_DOUBLE_ARRAY;
  request.parameters[0].value.double_array_value = {1.0, 2.5};
  EXPECT_EQ(round_trip(request), request);
  EXPECT_STREQ(
      client_layer::TypeSupport<ListParameters::Response>::dds_type_name(),
      "rcl_interfaces::srv::dds_::ListParameters_Response_");
  EXPECT_EQ(ListParameters::Request::DEPTH_RECURSIVE, 0u);
}

TEST(GeneratedMessages, MinimumWireSizesBoundWhatAHostileCountCanAllocate)
{
  static_assert(client_layer::TypeSupport<builtin_interfaces::msg::Time>::min_wire_size == 8);
  static_assert(client_layer::TypeSupport<Event>::min_wire_size == 8 + 4 + 4 + 4 + 4);
  static_assert(client_layer::TypeSupport<rmw_dds_common::msg::Gid>::min_wire_size == 24);
  // A count of 2 node entries needs at least 2 x 16 bytes after it; 31 are refused.
  Bytes wire(4 + 24, 0);
  wire[1] = 0x01;
  wire.insert(wire.end(), {0x02, 0x00, 0x00, 0x00});
  wire.resize(wire.size() + 31, 0);
  rmw_dds_common::msg::ParticipantEntitiesInfo info;
  EXPECT_FALSE(client_layer::deserialize_message(wire.data(), wire.size(), info));
  EXPECT_TRUE(info.node_entities_info_seq.empty());
}

TEST(GeneratedMessages, DiscoveryInfoRoundTrips)
{
  rmw_dds_common::msg::ParticipantEntitiesInfo info;
  info.gid.data.fill(0xAB);
  rmw_dds_common::msg::NodeEntitiesInfo node;
  node.node_namespace = "/";
  node.node_name = "talker";
  node.writer_gid_seq.resize(2);
  node.writer_gid_seq[1].data[0] = 7;
  info.node_entities_info_seq.push_back(node);
  EXPECT_EQ(round_trip(info), info);
}

}  // namespace
