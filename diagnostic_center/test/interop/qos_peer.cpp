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

// pub and sub: one QoS pair, with an outcome that does not depend on timing.
// The two sides agree over control topics (reliable, transient-local, so
// that nothing said before a match is lost): the subscriber says whether its
// reader matched; the publisher publishes, waits until the data is
// acknowledged and then says it is done. The subscriber takes nothing before
// that, so a keep-last reader ends up holding exactly the last `depth`.
// Acknowledged is not yet in the reader's cache, though: Cyclone acknowledges
// a late joiner's history before it hands it to the reader. So after `done`
// the subscriber waits for as many samples as the caller expects, and when
// it expects none, a bounded time for any that should not come.
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "peer_modes.hpp"
#include "qos_description.hpp"
#include "rclcpp/rclcpp.hpp"

namespace protocol_peer {
namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::ExceptionHandle;

// Long enough for discovery on a busy machine; reached only when the other
// side is gone or broken.
constexpr std::chrono::seconds kDeadline{30};
// How long a reader that sees the writer in the graph waits for the match:
// compatible endpoints match as they are discovered, so only an incompatible
// pair ever waits this long.
constexpr std::chrono::seconds kMatchBound{3};
// How long a subscriber that expects nothing waits for a sample after `done`.
constexpr std::chrono::seconds kQuiet{1};

rclcpp::QoS Control() { return rclcpp::QoS(rclcpp::KeepLast(1)).reliable().transient_local(); }

void Say(const std::string & line) { std::fprintf(stderr, "peer: %s\n", line.c_str()); }

// Spins `executor` until `done` holds or `timeout` passed; returns `done()`.
bool SpinUntil(
    rclcpp::Executor & executor, const std::function<bool()> & done,
    std::chrono::steady_clock::duration timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done() && rclcpp::ok() && std::chrono::steady_clock::now() < deadline) {
    executor.spin_once(std::chrono::milliseconds(20));
  }
  return done();
}

// The single value a control topic carries (in fault_id), once it arrived.
class ControlInbox
{
public:
  ControlInbox(rclcpp::Node & node, const std::string & topic)
  {
    subscription_ = node.create_subscription<ExceptionHandle>(
        topic, Control(), [this](const ExceptionHandle & message) { value_ = message.fault_id; });
  }
  const std::optional<int> & value() const { return value_; }

private:
  std::optional<int> value_;
  rclcpp::Subscription<ExceptionHandle>::SharedPtr subscription_;
};

void Tell(rclcpp::Publisher<ExceptionHandle> & publisher, int value)
{
  ExceptionHandle message;
  message.fault_id = value;
  publisher.publish(message);
}

int ParseCount(const char * text, int least)
{
  const int count = std::stoi(text);
  if (count < least) {
    throw std::invalid_argument(std::string("count out of range: ") + text);
  }
  return count;
}

void PublishNumbered(rclcpp::Publisher<DiagnosticEvent> & publisher, int count)
{
  for (int i = 1; i <= count; ++i) {
    DiagnosticEvent event;
    event.fault_id = i;
    publisher.publish(event);
  }
}

}  // namespace

int RunPublisher(int argc, char ** argv)
{
  if (argc < 4 || argc > 5 || (argc == 5 && std::string(argv[4]) != "late")) {
    throw std::invalid_argument("usage: pub <name> <qos> <count> [late]");
  }
  const std::string name = argv[1];
  const rclcpp::QoS qos = ParseQos(argv[2]);
  const int count = ParseCount(argv[3], 1);
  const bool late = argc == 5;

  rclcpp::init(1, argv);
  auto node = std::make_shared<rclcpp::Node>("qos_pub");
  auto data = node->create_publisher<DiagnosticEvent>(name + "/data", qos);
  auto done = node->create_publisher<ExceptionHandle>(name + "/done", Control());
  ControlInbox ready(*node, name + "/ready");
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  if (late) {
    PublishNumbered(*data, count);
    Say("published");
  }

  if (!SpinUntil(
          executor, [&] { return ready.value().has_value(); }, kDeadline)) {
    Say("the subscriber never said it was ready");
    rclcpp::shutdown();
    return 1;
  }
  if (*ready.value() != 0) {
    SpinUntil(
        executor, [&] { return data->get_subscription_count() > 0; }, kDeadline);
  }
  const bool writer_matched = data->get_subscription_count() > 0;
  if (!late) {
    PublishNumbered(*data, count);
  }
  const bool acked = data->wait_for_all_acked(std::chrono::milliseconds(kDeadline));
  SpinUntil(
      executor, [&] { return done->get_subscription_count() > 0; }, kDeadline);
  Tell(*done, count);
  done->wait_for_all_acked(std::chrono::milliseconds(kDeadline));
  Say(std::string("outcome writer_matched=") + (writer_matched ? "1" : "0") +
      " acked=" + (acked ? "1" : "0"));

  // The subscriber takes the data after `done`: keep the writer until then.
  const bool left = SpinUntil(
      executor, [&] { return node->count_subscribers(name + "/done") == 0; }, kDeadline);
  if (!left) {
    Say("the subscriber never left");
  }
  rclcpp::shutdown();
  return left ? 0 : 1;
}

int RunSubscriber(int argc, char ** argv)
{
  if (argc != 4) {
    throw std::invalid_argument("usage: sub <name> <qos> <expected count>");
  }
  const std::string name = argv[1];
  const rclcpp::QoS qos = ParseQos(argv[2]);
  const int expected = ParseCount(argv[3], 0);

  rclcpp::init(1, argv);
  // The data subscription is on a node of its own that no executor spins
  // before `done`: until then the samples stay in the reader's history.
  auto data_node = std::make_shared<rclcpp::Node>("qos_sub_data");
  std::string received;
  int count = 0;
  auto data = data_node->create_subscription<DiagnosticEvent>(
      name + "/data", qos, [&](const DiagnosticEvent & event) {
        received += (count++ == 0 ? "" : ",") + std::to_string(event.fault_id);
      });
  auto node = std::make_shared<rclcpp::Node>("qos_sub");
  auto ready = node->create_publisher<ExceptionHandle>(name + "/ready", Control());
  ControlInbox done(*node, name + "/done");
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);

  if (!SpinUntil(
          executor, [&] { return node->count_publishers(name + "/data") > 0; }, kDeadline)) {
    Say("no publisher showed up");
    rclcpp::shutdown();
    return 1;
  }
  const bool matched = SpinUntil(
      executor, [&] { return data->get_publisher_count() > 0; }, kMatchBound);
  Tell(*ready, matched ? 1 : 0);
  if (!SpinUntil(
          executor, [&] { return done.value().has_value(); }, kDeadline)) {
    Say("the publisher never said it was done");
    rclcpp::shutdown();
    return 1;
  }
  executor.add_node(data_node);
  SpinUntil(
      executor, [&] { return expected > 0 && count >= expected; },
      expected > 0 ? std::chrono::seconds(kDeadline) : std::chrono::seconds(kQuiet));
  Say(std::string("outcome reader_matched=") + (matched ? "1" : "0") + " received=" + received);
  rclcpp::shutdown();
  return 0;
}

}  // namespace protocol_peer
