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

// Write batching that keeps single samples immediate.
//
// Every domain of the layer runs with Cyclone's write batching on, so a write
// only queues its sample in the writer's outgoing packet. A writer that is not
// bursting sends that packet right after the write, so a lone sample leaves at
// once, as a ROS publisher's sample should. A writer that writes again within
// kBurstGap of its previous write is bursting: its samples share packets. The
// writer itself sends its packet when it writes kFlushDelay or more after the
// first sample queued in it; when the burst ends, the participant's
// BurstFlusher sends what is left, within about two kFlushDelay.
// A publisher in a tight loop then sends a few large packets where it would
// otherwise send one small packet per sample, which is what bounds the
// throughput of small messages.
#ifndef CLIENT_LAYER__RMW__BURST_FLUSHER_HPP_
#define CLIENT_LAYER__RMW__BURST_FLUSHER_HPP_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "dds/dds.h"

namespace client_layer::rmw::detail {

constexpr std::chrono::nanoseconds kBurstGap = std::chrono::microseconds(20);
constexpr std::chrono::nanoseconds kFlushDelay = std::chrono::microseconds(100);

// What a writer and the flusher share about the writer's queued samples.
// The flusher may hold it after the writer is gone: flushing a deleted
// entity is refused by DDS, harmlessly.
struct PaceState
{
  explicit PaceState(dds_entity_t writer_entity) : writer(writer_entity) {}

  const dds_entity_t writer;
  std::atomic<std::int64_t> last_write_ns{0};
  // When the oldest sample still queued was written; 0 when none is.
  std::atomic<std::int64_t> oldest_queued_ns{0};
  // Whether the flusher holds this state.
  std::atomic<bool> watched{false};
};

// One thread per participant that sends the packets of writers whose burst
// ended. It sleeps on a condition variable while no writer is bursting.
class BurstFlusher
{
public:
  BurstFlusher();
  // Sends everything still queued, then stops the thread.
  ~BurstFlusher();
  BurstFlusher(const BurstFlusher &) = delete;
  BurstFlusher & operator=(const BurstFlusher &) = delete;

  // Watches `state` until its burst ends and its packet has been sent.
  void watch(std::shared_ptr<PaceState> state);

private:
  void run();
  // Sends the packets of writers that stopped writing; keeps the others.
  void service(std::vector<std::shared_ptr<PaceState>> & watched);

  std::mutex mutex_;  // guards the two members below
  std::vector<std::shared_ptr<PaceState>> incoming_;
  bool stopping_ = false;
  std::condition_variable wake_;
  std::thread thread_;
};

// A writer's side of the policy above.
class WritePacer
{
public:
  explicit WritePacer(dds_entity_t writer) : state_(std::make_shared<PaceState>(writer)) {}

  // Call after each successful write: sends the queued packet now, or leaves
  // it queued while the writer is bursting.
  void after_write(BurstFlusher & flusher);

private:
  std::shared_ptr<PaceState> state_;
};

// Sends the packet `writer` has queued, whatever the pacing: for samples that
// must never wait, such as service requests and replies.
void flush_now(dds_entity_t writer);

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__BURST_FLUSHER_HPP_
