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

// What the dashboard knows of the node, shared between the ROS callbacks that
// fill it and the HTTP handlers that read it. Readers take copies; a version
// number tells the event stream that something changed.
#ifndef DIAGCTL__DASHBOARD_STATE_HPP_
#define DIAGCTL__DASHBOARD_STATE_HPP_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include <corvanta_protocol/msg/current_failure.hpp>
#include <corvanta_protocol/msg/diagnosis_tree.hpp>
#include <corvanta_protocol/msg/exception_handle.hpp>

#include "diagctl/liveness.hpp"

namespace diagctl {

struct ReceivedCurrentFailure
{
  WallTime received;
  corvanta_protocol::msg::CurrentFailure message;
};

struct ReceivedExceptionHandle
{
  WallTime received;
  corvanta_protocol::msg::ExceptionHandle message;
};

struct DashboardSnapshot
{
  std::uint64_t version = 0;
  std::optional<corvanta_protocol::msg::DiagnosisTree> tree;
  std::optional<ReceivedCurrentFailure> current;
  std::deque<ReceivedExceptionHandle> exceptions;  // newest first
  // The module each fault was last raised on, as the trees told it; fault
  // records do not name the module.
  std::map<std::int32_t, std::string> modules;
  // Since when current_failure has stopped (see Liveness); none while it comes.
  std::optional<WallTime> stale_since;
};

class DashboardState
{
public:
  static constexpr std::size_t kExceptionsKept = 50;

  void set_tree(corvanta_protocol::msg::DiagnosisTree tree);
  void set_current(ReceivedCurrentFailure current);
  void add_exception(ReceivedExceptionHandle exception);
  // Marks the centre stale once its current_failure stopped, a change for
  // the event stream; called every second or so.
  void check_stale(WallTime now);

  DashboardSnapshot snapshot() const;
  std::uint64_t version() const;

  // Waits until the version differs from `seen`, `timeout` passes or
  // stop() is called. Returns the version then.
  std::uint64_t wait_for_change(std::uint64_t seen, std::chrono::milliseconds timeout) const;
  // Wakes every waiter for good: the server is going down.
  void stop();
  bool stopped() const;

private:
  void changed();  // with mutex_ held

  mutable std::mutex mutex_;
  mutable std::condition_variable cv_;
  DashboardSnapshot data_;
  Liveness liveness_{WallClock::now()};
  bool stopped_ = false;
};

}  // namespace diagctl

#endif  // DIAGCTL__DASHBOARD_STATE_HPP_
