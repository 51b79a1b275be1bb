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

// The dashboard's fault records, a page at a time: every request reads the
// files through (the record count and the problems cover all of them) but
// keeps only the page it answers with and the first few problems, so that
// its memory does not grow with the records. Files parsed once are kept
// between requests within a byte budget, read again only when their size or
// modification time changed; a file beyond what the budget leaves is read
// piece by piece on every request.
#ifndef DIAGCTL__RECORD_CACHE_HPP_
#define DIAGCTL__RECORD_CACHE_HPP_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "diagctl/record_source.hpp"

namespace diagctl {

struct RecordsPage
{
  static constexpr std::size_t kProblemsShown = 20;

  // Records the filter selects, numbered from 0 in file order (oldest first).
  std::size_t total = 0;
  // The page: the newest `limit` of those numbered below `before`, newest first.
  std::size_t before = 0;
  std::vector<Record> records;
  std::size_t problem_count = 0;
  std::vector<std::string> problems;  // the first kProblemsShown
  bool ok = true;                     // false when a path could not be read
  bool incomplete = false;            // true when bytes of a file could not be read

  // The number of the oldest record on the page.
  std::size_t first() const { return before - records.size(); }
};

class RecordCache
{
public:
  static constexpr std::size_t kDefaultBudgetBytes = std::size_t{16} << 20;

  explicit RecordCache(RecordSource source, std::size_t budget_bytes = kDefaultBudgetBytes)
      : source_(std::move(source)), budget_bytes_(budget_bytes)
  {
  }

  // A page of what the source holds now; `before` past the total (or none)
  // means the newest. Safe from several threads.
  RecordsPage page(
      const RecordFilter & filter, std::size_t limit, std::optional<std::size_t> before);

  // What the kept files take, as estimated against the budget.
  std::size_t cached_bytes() const;

private:
  struct Entry
  {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    std::shared_ptr<const RecordFileContent> content;
    std::size_t bytes = 0;
  };

  std::shared_ptr<const RecordFileContent> cached(
      const std::string & file, std::uintmax_t size, std::filesystem::file_time_type modified);
  bool has_room_for(std::uintmax_t file_size) const;
  void keep(const std::string & file, Entry entry);
  void forget_all_but(const std::set<std::string> & listed);

  const RecordSource source_;
  const std::size_t budget_bytes_;
  mutable std::mutex mutex_;
  std::map<std::string, Entry> entries_;
  std::size_t bytes_ = 0;
};

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_CACHE_HPP_
