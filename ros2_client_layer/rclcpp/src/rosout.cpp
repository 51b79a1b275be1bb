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

#include "rosout.hpp"

#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string_view>
#include <utility>

#include "client_layer/logging.hpp"
#include "node_base.hpp"
#include "rcl_interfaces/msg/log.hpp"
#include "rclcpp/publisher.hpp"

namespace client_layer {
namespace {

using rcl_interfaces::msg::Log;
using LogPublisher = rclcpp::Publisher<Log>;

constexpr int64_t kNanosecondsPerSecond = 1000000000;

/// The /rosout publishers by logger name. A message is published outside the
/// lock, through a copy of the publisher's pointer.
class RosoutRegistry
{
public:
  /// False when the name already has a publisher.
  bool add(const std::string & logger_name, std::shared_ptr<LogPublisher> publisher)
  {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    return publishers_.emplace(logger_name, std::move(publisher)).second;
  }

  void remove(const std::string & logger_name)
  {
    std::shared_ptr<LogPublisher> removed;  // destroyed after the lock is released
    std::unique_lock<std::shared_mutex> lock(mutex_);
    auto it = publishers_.find(logger_name);
    if (it != publishers_.end()) {
      removed = std::move(it->second);
      publishers_.erase(it);
    }
  }

  bool contains(std::string_view logger_name) const { return find(logger_name) != nullptr; }

  std::shared_ptr<LogPublisher> find(std::string_view logger_name) const
  {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    auto it = publishers_.find(logger_name);
    return it == publishers_.end() ? nullptr : it->second;
  }

private:
  mutable std::shared_mutex mutex_;
  std::map<std::string, std::shared_ptr<LogPublisher>, std::less<>> publishers_;
};

// Never destroyed: a node held in a static may unregister after exit() has
// run the destructors of function statics.
RosoutRegistry & registry()
{
  static RosoutRegistry * const instance = new RosoutRegistry();
  return *instance;
}

Log to_log_message(const logging::LogRecord & record)
{
  Log message;
  message.stamp.sec = static_cast<int32_t>(record.timestamp_ns / kNanosecondsPerSecond);
  message.stamp.nanosec = static_cast<uint32_t>(record.timestamp_ns % kNanosecondsPerSecond);
  message.level = static_cast<uint8_t>(record.severity);
  message.name = record.name;
  message.msg = std::string(record.message);
  if (record.location != nullptr) {
    message.file = record.location->file_name;
    message.function = record.location->function_name;
    message.line = static_cast<uint32_t>(record.location->line_number);
  }
  return message;
}

/// Set while this thread publishes on /rosout: whatever is logged meanwhile
/// (by the transport, say) goes to the console only, never back to /rosout.
thread_local bool t_publishing_rosout = false;

class PublishingScope
{
public:
  PublishingScope() { t_publishing_rosout = true; }
  ~PublishingScope() { t_publishing_rosout = false; }
  PublishingScope(const PublishingScope &) = delete;
  PublishingScope & operator=(const PublishingScope &) = delete;
};

void publish_to_rosout(const logging::LogRecord & record)
{
  if (t_publishing_rosout || record.name == nullptr) {
    return;
  }
  const std::shared_ptr<LogPublisher> publisher = registry().find(record.name);
  if (!publisher) {
    return;
  }
  PublishingScope scope;
  try {
    publisher->publish(to_log_message(record));
  } catch (const std::exception & error) {
    std::fprintf(stderr, "Failed to publish log message to rosout: %s\n", error.what());
  }
}

}  // namespace

rclcpp::QoS rosout_qos()
{
  rclcpp::QoS qos(rclcpp::KeepLast(1000));
  qos.reliable().transient_local().lifespan(rmw_time_t{10, 0});
  return qos;
}

RosoutPublisher::RosoutPublisher(NodeBase & node_base) : logger_name_(node_base.logger_name())
{
  logging::set_additional_output(&publish_to_rosout);
  if (registry().contains(logger_name_)) {
    logging::log(
        nullptr, logging::kWarn, "rcl.logging_rosout", "%s",
        "Publisher already registered for provided node name. If this is due to multiple nodes "
        "with the same name then all logs for that logger name will go out over the existing "
        "publisher. As soon as any node with that name is destructed it will unregister the "
        "publisher, preventing any further logs for that name from being published on the "
        "rosout topic.");
    return;
  }
  // A node of the same name created meanwhile on another thread wins the race.
  registry().add(
      logger_name_, std::make_shared<LogPublisher>(
                        &node_base, "/rosout", rosout_qos(), rclcpp::PublisherOptions()));
}

RosoutPublisher::~RosoutPublisher() { registry().remove(logger_name_); }

}  // namespace client_layer
