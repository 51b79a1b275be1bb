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

#include "burst_flusher.hpp"

#include <sys/prctl.h>

#include <utility>

namespace client_layer::rmw::detail {
namespace {

std::int64_t steady_ns()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Sends the packet of `state`'s writer if a sample is queued in it.
void flush_queued(PaceState & state)
{
  if (state.oldest_queued_ns.exchange(0) != 0) {
    flush_now(state.writer);
  }
}

}  // namespace

void flush_now(dds_entity_t writer) { dds_write_flush(writer); }

BurstFlusher::BurstFlusher() : thread_([this] { run(); }) {}

BurstFlusher::~BurstFlusher()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void BurstFlusher::watch(std::shared_ptr<PaceState> state)
{
  bool was_idle = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    was_idle = incoming_.empty();
    incoming_.push_back(std::move(state));
  }
  if (was_idle) {
    wake_.notify_one();
  }
}

void BurstFlusher::service(std::vector<std::shared_ptr<PaceState>> & watched)
{
  const std::int64_t now = steady_ns();
  std::size_t kept = 0;
  for (auto & state : watched) {
    if (now - state->last_write_ns.load() < kBurstGap.count()) {
      // Still bursting: its own next write sends the packet when it is due.
      watched[kept++] = std::move(state);
      continue;
    }
    // Cleared first: a write that finds it clear hands the state over anew,
    // and a sample queued before that is in the packet flushed here.
    state->watched.store(false);
    flush_queued(*state);
  }
  watched.resize(kept);
}

void BurstFlusher::run()
{
  // The delay is short: do not let the kernel stretch the sleep by the
  // default 50 us of timer slack.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::vector<std::shared_ptr<PaceState>> watched;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !incoming_.empty() || !watched.empty(); });
      watched.insert(watched.end(), incoming_.begin(), incoming_.end());
      incoming_.clear();
      if (stopping_) {
        lock.unlock();
        for (auto & state : watched) {
          flush_queued(*state);
        }
        return;
      }
    }
    std::this_thread::sleep_for(kFlushDelay);
    service(watched);
  }
}

void WritePacer::after_write(BurstFlusher & flusher)
{
  PaceState & state = *state_;
  const std::int64_t now = steady_ns();
  const std::int64_t previous = state.last_write_ns.exchange(now);
  if (now - previous >= kBurstGap.count()) {
    state.oldest_queued_ns.store(0);
    flush_now(state.writer);
    return;
  }
  std::int64_t oldest = 0;
  if (state.oldest_queued_ns.compare_exchange_strong(oldest, now)) {
    // The first sample of a new packet: make sure it cannot be stranded.
    if (!state.watched.exchange(true)) {
      flusher.watch(state_);
    }
  } else if (now - oldest >= kFlushDelay.count()) {
    flush_queued(state);
  }
}

}  // namespace client_layer::rmw::detail
