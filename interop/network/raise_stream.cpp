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

// raise_stream: the operator's side of the tests and the benchmark across
// hosts. Raises a run of distinct fault ids on one module topic at a steady
// rate, as a module would, and times the ExceptionHandle the node answers
// each with.
//
//   raise_stream --first-id ID --count N [--rate HZ] [--topic NAME]
//                [--namespace NS] [--probe-id ID] [--ready-wait S] [--answer-wait S]
//
// --namespace is the node's namespace: relative topics, the module topic's
// and the answers', resolve in it, as the node's own do.
//
// Before the run it raises the probe id (default ID - 1) every half second
// until an answer comes: then both directions are matched, and no raise of
// the run goes to a node that does not know this process yet. Prints
// "ready <ns>" at that moment, then, after the run, one line per raise
// "raise <id> <sent ns> <answered ns or ->" and "done sent <n> answered <m>".
// Times are the wall clock (CLOCK_REALTIME) in nanoseconds, which every
// network namespace of the machine shares. Exits 1 when the node never
// answered the probe, 2 on a bad command line.
#include <chrono>
#include <cinttypes>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "background_spinner.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

using namespace std::chrono_literals;
using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::ExceptionHandle;

struct StreamOptions
{
  std::int32_t first_id = 0;
  std::int32_t count = 0;
  std::int32_t probe_id = 0;
  double rate_hz = 10.0;
  std::string topic = "chassis_driver_diag_topic";
  std::string node_namespace = "/";
  std::chrono::milliseconds ready_wait = 60s;
  std::chrono::milliseconds answer_wait = 30s;
};

std::int64_t WallNanoseconds()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

double PositiveNumber(const std::string & option, const std::string & text)
{
  char * end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value > 0.0) || value > 1e6) {
    throw std::invalid_argument(option + " wants a positive number, not \"" + text + "\"");
  }
  return value;
}

std::int32_t FaultId(const std::string & option, const std::string & text)
{
  char * end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX) {
    throw std::invalid_argument(option + " wants a 32-bit integer, not \"" + text + "\"");
  }
  return static_cast<std::int32_t>(value);
}

std::chrono::milliseconds Seconds(const std::string & option, const std::string & text)
{
  return std::chrono::milliseconds(static_cast<std::int64_t>(PositiveNumber(option, text) * 1000));
}

StreamOptions ParseOptions(int argc, char ** argv)
{
  StreamOptions options;
  std::optional<std::int32_t> probe_id;
  bool have_first = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 == argc) {
      throw std::invalid_argument(option + " wants a value (or is unknown)");
    }
    const std::string value = argv[++i];
    if (option == "--first-id") {
      options.first_id = FaultId(option, value);
      have_first = true;
    } else if (option == "--count") {
      options.count = FaultId(option, value);
    } else if (option == "--probe-id") {
      probe_id = FaultId(option, value);
    } else if (option == "--rate") {
      options.rate_hz = PositiveNumber(option, value);
    } else if (option == "--topic") {
      options.topic = value;
    } else if (option == "--namespace") {
      options.node_namespace = value;
    } else if (option == "--ready-wait") {
      options.ready_wait = Seconds(option, value);
    } else if (option == "--answer-wait") {
      options.answer_wait = Seconds(option, value);
    } else {
      throw std::invalid_argument("unknown option \"" + option + "\"");
    }
  }
  if (!have_first || options.count <= 0) {
    throw std::invalid_argument("--first-id and a positive --count are required");
  }
  if (static_cast<std::int64_t>(options.first_id) + options.count - 1 > INT32_MAX ||
      options.first_id == INT32_MIN) {
    throw std::invalid_argument("the ids from --first-id on must stay 32-bit");
  }
  options.probe_id = probe_id.value_or(options.first_id - 1);
  if (options.probe_id >= options.first_id &&
      options.probe_id < static_cast<std::int64_t>(options.first_id) + options.count) {
    throw std::invalid_argument("--probe-id must lie outside the run's ids");
  }
  return options;
}

// Publishes the raises and keeps, per fault id, when its first answer came.
class Stream
{
public:
  explicit Stream(const StreamOptions & options)
      : options_(options),
        node_(std::make_shared<rclcpp::Node>("raise_stream", options.node_namespace))
  {
    // Keep-all on both ends: whatever is missing was lost beyond this process.
    const auto keep_all = rclcpp::QoS(rclcpp::KeepAll()).reliable();
    publisher_ = node_->create_publisher<DiagnosticEvent>(options.topic, keep_all);
    answers_ = node_->create_subscription<ExceptionHandle>(
        diagnostic_center::contract::kExceptionHandleTopic, keep_all,
        [this](ExceptionHandle::SharedPtr answer) { Answered(answer->fault_id); });
    spinner_ = std::make_unique<diagnostic_center_test::BackgroundSpinner>(node_);
  }
  ~Stream() { spinner_.reset(); }  // no callback after the members go
  Stream(const Stream &) = delete;
  Stream & operator=(const Stream &) = delete;

  // Raises the probe until the node has answered it once.
  bool WaitForNode()
  {
    const auto deadline = std::chrono::steady_clock::now() + options_.ready_wait;
    while (std::chrono::steady_clock::now() < deadline) {
      if (publisher_->get_subscription_count() > 0 && answers_->get_publisher_count() > 0) {
        Raise(options_.probe_id, "probe");
      }
      if (WaitForAnswer(options_.probe_id, std::chrono::steady_clock::now() + 500ms)) {
        return true;
      }
    }
    return false;
  }

  // The run: raise i goes out at start + i / rate, whatever the link does.
  void Run()
  {
    const auto start = std::chrono::steady_clock::now();
    const auto period = std::chrono::duration<double>(1.0 / options_.rate_hz);
    for (std::int32_t i = 0; i < options_.count; ++i) {
      std::this_thread::sleep_until(
          start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(period * i));
      const std::int32_t id = options_.first_id + i;
      const std::int64_t sent = WallNanoseconds();
      Raise(id, "stream " + std::to_string(i));
      std::lock_guard<std::mutex> lock(mutex_);
      sent_[id] = sent;
    }
    WaitForAnswer(
        options_.first_id + options_.count - 1,
        std::chrono::steady_clock::now() + options_.answer_wait, true);
  }

  void Print() const
  {
    std::lock_guard<std::mutex> lock(mutex_);
    int answered = 0;
    for (const auto & [id, sent] : sent_) {
      const auto answer = answered_.find(id);
      if (answer == answered_.end()) {
        std::printf("raise %" PRId32 " %" PRId64 " -\n", id, sent);
      } else {
        ++answered;
        std::printf("raise %" PRId32 " %" PRId64 " %" PRId64 "\n", id, sent, answer->second);
      }
    }
    std::printf("done sent %zu answered %d\n", sent_.size(), answered);
  }

private:
  void Raise(std::int32_t id, const std::string & message)
  {
    DiagnosticEvent event;
    const std::int64_t now = WallNanoseconds();
    event.stamp.sec = static_cast<std::int32_t>(now / 1000000000);
    event.stamp.nanosec = static_cast<std::uint32_t>(now % 1000000000);
    event.fault_id = id;
    event.status = 1;
    event.event_msg = message;
    publisher_->publish(event);
  }

  void Answered(std::int32_t id)
  {
    const std::int64_t now = WallNanoseconds();
    std::lock_guard<std::mutex> lock(mutex_);
    answered_.emplace(id, now);  // the first answer counts
    changed_.notify_all();
  }

  // Waits until `id` is answered or, with `all`, every raise of the run is.
  bool WaitForAnswer(
      std::int32_t id, std::chrono::steady_clock::time_point deadline, bool all = false)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_until(lock, deadline, [&] {
      if (all) {
        for (const auto & entry : sent_) {
          if (answered_.count(entry.first) == 0) {
            return false;
          }
        }
        return true;
      }
      return answered_.count(id) > 0;
    });
  }

  const StreamOptions options_;
  rclcpp::Node::SharedPtr node_;
  rclcpp::Publisher<DiagnosticEvent>::SharedPtr publisher_;
  rclcpp::Subscription<ExceptionHandle>::SharedPtr answers_;
  std::unique_ptr<diagnostic_center_test::BackgroundSpinner> spinner_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::int32_t, std::int64_t> sent_;
  std::map<std::int32_t, std::int64_t> answered_;
};

}  // namespace

int main(int argc, char ** argv)
{
  StreamOptions options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const std::invalid_argument & error) {
    std::fprintf(stderr, "raise_stream: %s\n", error.what());
    return 2;
  }
  rclcpp::init(argc, argv);
  int status = 0;
  {
    std::unique_ptr<Stream> made;
    try {
      made = std::make_unique<Stream>(options);
    } catch (const std::exception & error) {  // a bad namespace or topic name
      std::fprintf(stderr, "raise_stream: %s\n", error.what());
      rclcpp::shutdown();
      return 2;
    }
    Stream & stream = *made;
    if (!stream.WaitForNode()) {
      std::fprintf(
          stderr, "raise_stream: no answer to the probe raise of %" PRId32 " on %s within %.0f s\n",
          options.probe_id, options.topic.c_str(), options.ready_wait.count() / 1000.0);
      status = 1;
    } else {
      std::printf("ready %" PRId64 "\n", WallNanoseconds());
      std::fflush(stdout);
      stream.Run();
      stream.Print();
    }
  }
  rclcpp::shutdown();
  return status;
}
