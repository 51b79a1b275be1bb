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

#include "diagctl/record_cache.hpp"

#include <algorithm>
#include <deque>
#include <utility>

namespace diagctl {

namespace fs = std::filesystem;

namespace {

// Counts what it is given and keeps only the page and the first problems.
class PageSink : public RecordSink
{
public:
  PageSink(
      const RecordFilter & filter, std::size_t limit, std::optional<std::size_t> before,
      RecordsPage & page)
      : filter_(filter), limit_(limit), before_(before), page_(page)
  {
  }

  void record(Record && record) override
  {
    if (counts(record)) {
      keep(std::move(record));
    }
  }

  // A kept record: copied only when it is on the page so far.
  void record(const Record & record)
  {
    if (counts(record)) {
      keep(Record(record));
    }
  }

  void issue(RecordIssue && issue) override
  {
    page_.incomplete = page_.incomplete || issue.damage;
    problem(issue.describe());
  }

  void problem(std::string text)
  {
    if (page_.problem_count++ < RecordsPage::kProblemsShown) {
      page_.problems.push_back(std::move(text));
    }
  }

  void finish()
  {
    page_.before = before_ ? std::min(*before_, page_.total) : page_.total;
    page_.records.assign(
        std::make_move_iterator(window_.rbegin()), std::make_move_iterator(window_.rend()));
    window_.clear();
  }

private:
  // Whether `record` is selected and below `before`; counts it if selected.
  bool counts(const Record & record)
  {
    if (!filter_.matches(record)) {
      return false;
    }
    const std::size_t number = page_.total++;
    return !before_ || number < *before_;
  }

  void keep(Record && record)
  {
    window_.push_back(std::move(record));
    if (window_.size() > limit_) {
      window_.pop_front();
    }
  }

  const RecordFilter & filter_;
  const std::size_t limit_;
  const std::optional<std::size_t> before_;
  RecordsPage & page_;
  std::deque<Record> window_;
};

std::size_t estimated_bytes(const RecordFileContent & content)
{
  std::size_t bytes = sizeof(content);
  for (const Record & record : content.records) {
    bytes += sizeof(Record) + record.time.capacity() + record.description.capacity() +
             record.message.capacity() + record.file.capacity();
  }
  for (const RecordIssue & issue : content.issues) {
    bytes += sizeof(RecordIssue) + issue.file.capacity() + issue.reason.capacity();
  }
  return bytes;
}

}  // namespace

RecordsPage RecordCache::page(
    const RecordFilter & filter, std::size_t limit, std::optional<std::size_t> before)
{
  RecordsPage page;
  PageSink sink(filter, limit, before, page);
  RecordsRead listing;
  const std::vector<fs::path> files = list_record_files(source_, listing);
  for (std::string & text : listing.problems) {
    sink.problem(std::move(text));
  }
  page.ok = listing.ok;
  std::set<std::string> listed;
  for (const fs::path & file : files) {
    const std::string name = file.string();
    listed.insert(name);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    const fs::file_time_type modified = ec ? fs::file_time_type() : fs::last_write_time(file, ec);
    std::shared_ptr<const RecordFileContent> content = ec ? nullptr : cached(name, size, modified);
    if (!content) {
      std::string refused;
      bool read = false;
      if (!ec && has_room_for(size)) {
        // Parsed without the lock: a long file must not hold up other pages.
        auto fresh = std::make_shared<RecordFileContent>();
        read = read_record_file(file, source_.lookup, *fresh, refused);
        if (read) {
          const std::size_t bytes = estimated_bytes(*fresh);
          content = fresh;
          keep(name, {size, modified, std::move(fresh), bytes});
        }
      } else {
        read = read_record_file(file, source_.lookup, sink, refused);  // kept nowhere
      }
      if (!read) {
        sink.problem(refused);
        page.ok = false;
      }
      if (!content) {
        continue;
      }
    }
    for (const RecordIssue & issue : content->issues) {
      sink.issue(RecordIssue(issue));
    }
    for (const Record & record : content->records) {
      sink.record(record);
    }
  }
  forget_all_but(listed);
  sink.finish();
  return page;
}

std::size_t RecordCache::cached_bytes() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

std::shared_ptr<const RecordFileContent> RecordCache::cached(
    const std::string & file, std::uintmax_t size, fs::file_time_type modified)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(file);
  if (found == entries_.end() || found->second.size != size || found->second.modified != modified) {
    return nullptr;
  }
  return found->second.content;
}

bool RecordCache::has_room_for(std::uintmax_t file_size) const
{
  // Parsed, a file takes a few times its size; a file that may not fit is
  // not parsed whole at all.
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_ + 4 * file_size <= budget_bytes_;
}

void RecordCache::keep(const std::string & file, Entry entry)
{
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(file);
  if (found != entries_.end()) {
    bytes_ -= found->second.bytes;
    entries_.erase(found);
  }
  if (bytes_ + entry.bytes <= budget_bytes_) {
    bytes_ += entry.bytes;
    entries_.emplace(file, std::move(entry));
  }
}

void RecordCache::forget_all_but(const std::set<std::string> & listed)
{
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (listed.count(it->first) != 0) {
      ++it;
    } else {
      bytes_ -= it->second.bytes;
      it = entries_.erase(it);
    }
  }
}

}  // namespace diagctl
