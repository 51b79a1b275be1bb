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

#include "held_frames.hpp"

#include <algorithm>
#include <utility>

namespace link_forwarder {

HeldFrames::HeldFrames(std::size_t max_frames, std::size_t max_bytes)
    : max_frames_(max_frames), max_bytes_(max_bytes)
{
}

bool HeldFrames::LeavesLater(const Entry & left, const Entry & right)
{
  if (left.frame.due != right.frame.due) {
    return left.frame.due > right.frame.due;
  }
  return left.arrival > right.arrival;
}

bool HeldFrames::Hold(HeldFrame frame)
{
  const std::size_t size = frame.bytes.size();
  if (heap_.size() >= max_frames_ || size > max_bytes_ - bytes_) {
    return false;
  }
  bytes_ += size;
  heap_.push_back(Entry{std::move(frame), arrivals_++});
  std::push_heap(heap_.begin(), heap_.end(), LeavesLater);
  return true;
}

std::optional<std::chrono::steady_clock::time_point> HeldFrames::NextDue() const
{
  if (heap_.empty()) {
    return std::nullopt;
  }
  return heap_.front().frame.due;
}

std::optional<HeldFrame> HeldFrames::TakeDue(std::chrono::steady_clock::time_point now)
{
  if (heap_.empty() || heap_.front().frame.due > now) {
    return std::nullopt;
  }
  std::pop_heap(heap_.begin(), heap_.end(), LeavesLater);
  HeldFrame frame = std::move(heap_.back().frame);
  heap_.pop_back();
  bytes_ -= frame.bytes.size();
  return frame;
}

std::vector<std::size_t> HeldFrames::DropAll()
{
  std::vector<std::size_t> dropped(2, 0);
  for (const Entry & entry : heap_) {
    ++dropped[static_cast<std::size_t>(entry.frame.direction)];
  }
  heap_.clear();
  bytes_ = 0;
  return dropped;
}

}  // namespace link_forwarder
