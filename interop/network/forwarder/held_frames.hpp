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

// The frames the forwarder holds back, soonest due first, within a cap on
// their number and their bytes.
#ifndef INTEROP__NETWORK__FORWARDER__HELD_FRAMES_HPP_
#define INTEROP__NETWORK__FORWARDER__HELD_FRAMES_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace link_forwarder {

enum class Direction
{
  kAToB = 0,
  kBToA = 1,
};

struct HeldFrame
{
  std::chrono::steady_clock::time_point due;
  Direction direction = Direction::kAToB;
  std::vector<std::uint8_t> bytes;
};

class HeldFrames
{
public:
  HeldFrames(std::size_t max_frames, std::size_t max_bytes);

  // Takes the frame, or refuses it (false) when it would pass either cap.
  bool Hold(HeldFrame frame);

  // When the soonest frame falls due; nothing when none is held.
  std::optional<std::chrono::steady_clock::time_point> NextDue() const;

  // The soonest frame if it is due at `now`. Frames due at the same time
  // leave in the order they came.
  std::optional<HeldFrame> TakeDue(std::chrono::steady_clock::time_point now);

  // Drops every frame; returns how many of each direction there were.
  std::vector<std::size_t> DropAll();

  std::size_t size() const { return heap_.size(); }
  std::size_t bytes() const { return bytes_; }

private:
  struct Entry
  {
    HeldFrame frame;
    std::uint64_t arrival = 0;
  };
  static bool LeavesLater(const Entry & left, const Entry & right);

  std::size_t max_frames_;
  std::size_t max_bytes_;
  std::size_t bytes_ = 0;
  std::uint64_t arrivals_ = 0;
  std::vector<Entry> heap_;  // a min-heap on (due, arrival)
};

}  // namespace link_forwarder

#endif  // INTEROP__NETWORK__FORWARDER__HELD_FRAMES_HPP_
