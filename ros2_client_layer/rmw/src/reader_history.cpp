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

#include "reader_history.hpp"

#include <array>

#include "raw_sertype.hpp"

namespace client_layer::rmw::detail {

ReaderHistory::ReaderHistory(std::size_t depth) : depth_(depth > 0 ? depth : 1) {}

ReaderHistory::~ReaderHistory()
{
  for (const Entry & entry : entries_) {
    ddsi_serdata_unref(entry.sample);
  }
}

std::size_t ReaderHistory::take_from(dds_entity_t reader)
{
  // Taken outside the history's lock, a burst at a time.
  constexpr std::uint32_t kBurst = 32;
  std::array<ddsi_serdata *, kBurst> samples{};
  std::array<dds_sample_info_t, kBurst> infos{};
  std::size_t displaced = 0;
  for (;;) {
    const dds_return_t taken =
        dds_takecdr(reader, samples.data(), kBurst, infos.data(), DDS_ANY_STATE);
    if (taken <= 0) {
      return displaced;
    }
    for (dds_return_t i = 0; i < taken; i++) {
      if (infos[i].valid_data) {
        displaced += push(samples[i], infos[i]);
      } else {
        ddsi_serdata_unref(samples[i]);  // a writer went away: no data
      }
    }
  }
}

std::size_t ReaderHistory::push(ddsi_serdata * sample, const dds_sample_info_t & info)
{
  ddsi_serdata * displaced = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (entries_.size() == depth_) {
      displaced = entries_.front().sample;
      entries_.pop_front();
      ++dropped_;
    }
    entries_.push_back(Entry{sample, info});
  }
  if (displaced == nullptr) {
    return 0;
  }
  ddsi_serdata_unref(displaced);
  return 1;
}

ddsi_serdata * ReaderHistory::pop(dds_sample_info_t & info)
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (entries_.empty()) {
    return nullptr;
  }
  const Entry entry = entries_.front();
  entries_.pop_front();
  info = entry.info;
  announce_taken(entry.sample);
  return entry.sample;
}

std::uint64_t ReaderHistory::dropped() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return dropped_;
}

}  // namespace client_layer::rmw::detail
