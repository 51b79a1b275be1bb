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

// The tree's two published views, read as other programs read them: the
// standard diagnostics on "/diagnostics" and the whole tree on
// "diagnosis_tree", which a subscriber that joins late still gets.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "background_spinner.hpp"
#include "centre_run.hpp"
#include "corvanta_protocol/msg/diagnosis_tree.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "robot_probe.hpp"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;
using corvanta_protocol::msg::DiagnosisTree;
using diagnostic_msgs::msg::DiagnosticArray;
using diagnostic_msgs::msg::DiagnosticStatus;
namespace contract = diagnostic_center::contract;

// A node of its own with one subscription, spun on a thread of its own, that
// keeps every message it receives.
template <typename MsgT>
class Listener
{
public:
  Listener(const std::string & name, const std::string & topic, const rclcpp::QoS & qos)
      : node_(std::make_shared<rclcpp::Node>(name))
  {
    sub_ = node_->create_subscription<MsgT>(topic, qos, [this](std::shared_ptr<MsgT> message) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(*message);
      }
      changed_.notify_all();
    });
    spinner_ = std::make_unique<BackgroundSpinner>(node_);
  }

  // Stop the callbacks before the members they use go.
  ~Listener() { spinner_.reset(); }

  // How many messages have arrived so far.
  std::size_t Count()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_.size();
  }

  // The first message from the `from`th one on, received so far or within
  // `timeout`, that `accept` takes.
  std::optional<MsgT> WaitFor(
      const std::function<bool(const MsgT &)> & accept, std::chrono::milliseconds timeout,
      std::size_t from = 0)
  {
    std::optional<MsgT> found;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] {
      for (std::size_t i = from; i < received_.size(); ++i) {
        if (accept(received_[i])) {
          const MsgT & message = received_[i];
          found = message;
          return true;
        }
      }
      return false;
    });
    return found;
  }

  std::size_t publisher_count() const { return sub_->get_publisher_count(); }

private:
  rclcpp::Node::SharedPtr node_;
  typename rclcpp::Subscription<MsgT>::SharedPtr sub_;
  std::unique_ptr<BackgroundSpinner> spinner_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<MsgT> received_;
};

rclcpp::QoS TreeQos() { return rclcpp::QoS(1).reliable().transient_local(); }

std::string SummaryOf(const DiagnosticArray & array)
{
  return array.status.empty() ? std::string() : array.status.back().message;
}

// "level name: message (hardware id)" of every status; levels 1 WARN, 2 ERROR.
std::vector<std::string> Heads(const DiagnosticArray & array)
{
  std::vector<std::string> out;
  for (const auto & status : array.status) {
    out.push_back(
        std::to_string(status.level) + " " + status.name + ": " + status.message + " (" +
        status.hardware_id + ")");
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> Values(const DiagnosticStatus & status)
{
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto & pair : status.values) {
    out.emplace_back(pair.key, pair.value);
  }
  return out;
}

using IdPairs = std::vector<std::pair<std::int32_t, std::int32_t>>;

// (fault_id, parent_id) of every entry, in order.
IdPairs IdsAndParents(const DiagnosisTree & tree)
{
  IdPairs out;
  for (const auto & entry : tree.entries) {
    out.emplace_back(entry.fault_id, entry.parent_id);
  }
  return out;
}

// A whole second as the node writes times in /diagnostics.
std::string IsoUtc(std::int32_t sec)
{
  const std::time_t time = sec;
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &utc);
  return std::string(text) + ".000000000Z";
}

TEST(DiagnosisViews, CascadeReachesDiagnosticsAndALateTreeSubscriber)
{
  ScratchDir scratch("diagnosis_views");
  RobotProbe probe;
  Listener<DiagnosticArray> diagnostics(
      "diagnostics_listener", contract::kDiagnosticsTopic, rclcpp::QoS(10).reliable());
  auto centre = StartCentre(
      scratch.path(),
      {"diag_event_list:=[1001, 1002, 1003, -5]", "1001_description:=arm overcurrent",
       "1002_root_cause:=1001", "1003_root_cause:=1002", "1003_root_cause_time_dis:=1000",
       "1003_description:=joint 2 lost", "fault_record_dir:=" + (scratch.path() / "r").string()});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));
  EXPECT_TRUE(diagnostics.WaitFor(
      [](const DiagnosticArray & a) { return SummaryOf(a) == "no failure"; }, 10s))
      << "no periodic /diagnostics before the first failure";

  const auto base = static_cast<std::int32_t>(std::time(nullptr));
  probe.Raise("arm_driver_diag_topic", 1001, Stamp(base), "motor 3\ncurrent 12 A");
  probe.Raise("arm_manager_diag_topic", 1002, Stamp(base, 200'000'000));
  probe.Raise("arm_pnc_diag_topic", 1003, Stamp(base, 400'000'000), "encoder");
  probe.Raise("chassis_loc_diag_topic", -5, Stamp(base + 1));

  const auto array = diagnostics.WaitFor(
      [](const DiagnosticArray & a) { return SummaryOf(a) == "2 root causes, 2 consequences"; },
      10s);
  ASSERT_TRUE(array.has_value()) << StderrTail(*centre);
  EXPECT_EQ(
      Heads(*array), (std::vector<std::string>{
                         "2 diagnostic_center/-5: fault -5 (/chassis_loc_diag_topic)",
                         "2 diagnostic_center/1001: arm overcurrent (/arm_driver_diag_topic)",
                         "1 diagnostic_center/1002: fault 1002 (/arm_manager_diag_topic)",
                         "1 diagnostic_center/1003: joint 2 lost (/arm_pnc_diag_topic)",
                         "2 diagnostic_center: 2 root causes, 2 consequences ()"}));
  EXPECT_EQ(
      Values(array->status[1]), (std::vector<std::pair<std::string, std::string>>{
                                    {"fault_id", "1001"},
                                    {"root_cause", "1001"},
                                    {"caused_by", ""},
                                    {"raised_at", IsoUtc(base)},
                                    {"event_msg", "motor 3\\ncurrent 12 A"}}));
  EXPECT_EQ(
      Values(array->status[3])[2], (std::pair<std::string, std::string>{"caused_by", "1002"}));

  // Joins after the tree was published: transient local brings it.
  {
    Listener<DiagnosisTree> late("late_tree_listener", contract::kDiagnosisTreeTopic, TreeQos());
    const auto tree =
        late.WaitFor([](const DiagnosisTree & t) { return t.entries.size() == 4; }, 10s);
    ASSERT_TRUE(tree.has_value()) << StderrTail(*centre);
    EXPECT_EQ(IdsAndParents(*tree), (IdPairs{{-5, -5}, {1001, 1001}, {1002, 1001}, {1003, 1002}}));
    const auto & entry = tree->entries[3];
    EXPECT_EQ(entry.module, "/arm_pnc_diag_topic");
    EXPECT_EQ(entry.description, "joint 2 lost");
    EXPECT_EQ(entry.event_msg, "encoder");
    EXPECT_EQ(entry.raised_at.sec, base);
    EXPECT_EQ(entry.raised_at.nanosec, 400'000'000u);
    EXPECT_EQ(tree->entries[1].event_msg, "motor 3\ncurrent 12 A");
  }

  // Clearing the root cause: its consequence becomes a root, below it the rest.
  const std::size_t before_clear = diagnostics.Count();
  probe.Clear("arm_driver_diag_topic", 1001, Stamp(base + 2));
  EXPECT_TRUE(diagnostics.WaitFor(
      [](const DiagnosticArray & a) { return SummaryOf(a) == "2 root causes, 1 consequence"; }, 10s,
      before_clear))
      << StderrTail(*centre);
  Listener<DiagnosisTree> later("later_tree_listener", contract::kDiagnosisTreeTopic, TreeQos());
  const auto cleared =
      later.WaitFor([](const DiagnosisTree & t) { return t.entries.size() == 3; }, 10s);
  ASSERT_TRUE(cleared.has_value());
  EXPECT_EQ(IdsAndParents(*cleared), (IdPairs{{-5, -5}, {1002, 1002}, {1003, 1002}}));
}

// A suite of its own, so that it runs on a domain where no other centre's
// /diagnostics writer is still known.
TEST(DiagnosticsOff, OnlyTheTreeIsPublished)
{
  ScratchDir scratch("diagnostics_off");
  RobotProbe probe;
  Listener<DiagnosticArray> diagnostics(
      "diagnostics_listener", contract::kDiagnosticsTopic, rclcpp::QoS(10).reliable());
  auto centre = StartCentre(
      scratch.path(), {"diag_event_list:=[7]", "publish_diagnostics:=false",
                       "fault_record_dir:=" + (scratch.path() / "r").string()});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  // The empty tree of the start-up, then a tree with the raise in it.
  Listener<DiagnosisTree> tree("tree_listener", contract::kDiagnosisTreeTopic, TreeQos());
  EXPECT_TRUE(tree.WaitFor([](const DiagnosisTree & t) { return t.entries.empty(); }, 10s));
  probe.Raise("monitor_diag_topic", 7, Stamp(1));
  EXPECT_TRUE(tree.WaitFor([](const DiagnosisTree & t) { return t.entries.size() == 1; }, 10s));
  // The node's endpoints are all known by now: there is no /diagnostics writer.
  EXPECT_EQ(diagnostics.publisher_count(), 0u);
}

}  // namespace
}  // namespace diagnostic_center_test
