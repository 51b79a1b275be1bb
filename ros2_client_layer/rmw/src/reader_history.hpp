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

// The history of a keep-last reader, kept by the layer instead of DDS: the
// reader's listener moves every sample out of DDS as it arrives, and a full
// history drops its oldest sample for the newest one, as DDS would, but
// counts it. DDS drops such samples silently; counted, they reach the user
// as lost messages.
#ifndef CLIENT_LAYER__RMW__READER_HISTORY_HPP_
#define CLIENT_LAYER__RMW__READER_HISTORY_HPP_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "dds/dds.h"

namespace client_layer::rmw::detail {

class ReaderHistory
{
public:
  explicit ReaderHistory(std::size_t depth);
  ~ReaderHistory();
  ReaderHistory(const ReaderHistory &) = delete;
  ReaderHistory & operator=(const ReaderHistory &) = delete;

  // Moves every sample DDS holds for `reader` into the history (instance
  // state changes, which carry no data, are dropped). Returns how many older
  // samples had to make room. Called from the reader's listener.
  std::size_t take_from(dds_entity_t reader);

  // The oldest sample, or null when empty; the caller unrefs it.
  ddsi_serdata * pop(dds_sample_info_t & info);

  // Samples dropped to make room, since the reader was created.
  std::uint64_t dropped() const;

private:
  struct Entry
  {
    ddsi_serdata * sample;
    dds_sample_info_t info;
  };

  std::size_t push(ddsi_serdata * sample, const dds_sample_info_t & info);

  const std::size_t depth_;
  mutable std::mutex mutex_;  // guards the two members below
  std::deque<Entry> entries_;
  std::uint64_t dropped_ = 0;
};

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__READER_HISTORY_HPP_
