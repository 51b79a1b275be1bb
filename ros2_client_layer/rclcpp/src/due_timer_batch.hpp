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

// The timers a scan found due beyond the one it claimed, served to the next
// claims without another full scan.
//
// Kept most overdue first. Timers of one clock that fall due after the scan
// are less overdue than all of them, so serving the batch first keeps the
// order a full scan would give. That holds only if the scan saw every group
// with timers free (a busy group's timers may be more overdue), so the scan
// keeps a batch only then; and the batch refers to snapshot entries by
// index, so it is dropped with the snapshot.
//
// Guarded by the executor core's mutex; no lock of its own.
#ifndef CLIENT_LAYER__DUE_TIMER_BATCH_HPP_
#define CLIENT_LAYER__DUE_TIMER_BATCH_HPP_

#include <cstddef>
#include <memory>
#include <vector>

#include "rclcpp/timer.hpp"

namespace client_layer {

class DueTimerBatch
{
public:
  struct Member
  {
    size_t entry;  // index in the core's snapshot
    std::weak_ptr<rclcpp::TimerBase> timer;
  };

  // Appends a timer no more overdue than those already in.
  void append(size_t entry, std::weak_ptr<rclcpp::TimerBase> timer)
  {
    members_.push_back(Member{entry, std::move(timer)});
  }

  // The next member to serve, or nullptr when all were handed out. A member
  // is handed out once, whether or not it is claimed.
  const Member * next() { return next_ < members_.size() ? &members_[next_++] : nullptr; }

  // Whether a member not handed out yet is in an entry `may_run` accepts:
  // a timer of it is due and may be claimed.
  template <typename MayRun>
  bool more_due(MayRun && may_run) const
  {
    for (size_t i = next_; i < members_.size(); ++i) {
      if (may_run(members_[i].entry)) {
        return true;
      }
    }
    return false;
  }

  // Forgets the batch: a new scan, a new snapshot, or an order that only a
  // full scan knows now.
  void drop()
  {
    members_.clear();
    next_ = 0;
  }

private:
  std::vector<Member> members_;
  size_t next_ = 0;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__DUE_TIMER_BATCH_HPP_
