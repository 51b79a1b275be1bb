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

#include "diagctl/dashboard_state.hpp"

#include <utility>

namespace diagctl {

void DashboardState::set_tree(corvanta_protocol::msg::DiagnosisTree tree)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto & entry : tree.entries) {
      data_.modules[entry.fault_id] = entry.module;
    }
    data_.tree = std::move(tree);
    changed();
  }
  cv_.notify_all();
}

void DashboardState::set_current(ReceivedCurrentFailure current)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    liveness_.on_message(current.received);
    data_.stale_since.reset();
    data_.current = std::move(current);
    changed();
  }
  cv_.notify_all();
}

void DashboardState::add_exception(ReceivedExceptionHandle exception)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    data_.exceptions.push_front(std::move(exception));
    if (data_.exceptions.size() > kExceptionsKept) {
      data_.exceptions.pop_back();
    }
    changed();
  }
  cv_.notify_all();
}

void DashboardState::check_stale(WallTime now)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto stale_since = liveness_.stale_since(now);
    if (!stale_since || data_.stale_since) {
      return;
    }
    data_.stale_since = stale_since;
    changed();
  }
  cv_.notify_all();
}

DashboardSnapshot DashboardState::snapshot() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return data_;
}

std::uint64_t DashboardState::version() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return data_.version;
}

std::uint64_t DashboardState::wait_for_change(
    std::uint64_t seen, std::chrono::milliseconds timeout) const
{
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait_for(lock, timeout, [&] { return stopped_ || data_.version != seen; });
  return data_.version;
}

void DashboardState::stop()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
  }
  cv_.notify_all();
}

bool DashboardState::stopped() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return stopped_;
}

void DashboardState::changed() { ++data_.version; }

}  // namespace diagctl
