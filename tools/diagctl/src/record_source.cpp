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

#include "diagctl/record_source.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace fs = std::filesystem;
namespace contract = diagnostic_center::contract;

std::vector<fs::path> list_record_files(const RecordSource & source, RecordsRead & read)
{
  std::vector<fs::path> files;
  for (const std::string & path : source.paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      if (!fs::exists(path, ec)) {
        read.problems.push_back(path + ": no such file or directory");
        read.ok = false;
        continue;
      }
      files.emplace_back(path);
      continue;
    }
    std::vector<fs::path> in_directory;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->is_regular_file(ec)) {
        in_directory.push_back(it->path());
      }
    }
    if (ec) {
      read.problems.push_back(path + ": " + ec.message());
      read.ok = false;
      continue;
    }
    std::sort(in_directory.begin(), in_directory.end());
    if (source.latest_only && !in_directory.empty()) {
      in_directory.erase(in_directory.begin(), in_directory.end() - 1);
    }
    files.insert(files.end(), in_directory.begin(), in_directory.end());
  }
  return files;
}

RecordSource RecordSource::make(
    std::vector<std::string> paths, bool latest_only, const FaultConfig * config)
{
  RecordSource source;
  source.paths = std::move(paths);
  if (source.paths.empty()) {
    source.paths.push_back(config ? config->record_dir() : contract::kDefaultRecordDir);
  }
  source.latest_only = latest_only;
  if (config) {
    source.lookup = [config](std::int32_t id) -> std::optional<std::string> {
      const FaultEntry * entry = config->find(id);
      return entry ? std::optional<std::string>(contract::EscapeRecordText(entry->description))
                   : std::nullopt;
    };
  }
  return source;
}

namespace {

// Reads come in pieces of this size; an unreadable stretch is skipped in
// steps of whole blocks, doubling up to the largest, so that a file on a
// dead disk costs a few dozen failed reads, not one per block.
constexpr std::size_t kReadBytes = 256 * 1024;
constexpr std::uint64_t kBlockBytes = 4096;
constexpr std::uint64_t kLargestSkip = std::uint64_t{64} << 20;

const char * file_type(mode_t mode)
{
  if (S_ISDIR(mode)) {
    return "a directory";
  }
  if (S_ISFIFO(mode)) {
    return "a FIFO";
  }
  if (S_ISCHR(mode)) {
    return "a character device";
  }
  if (S_ISBLK(mode)) {
    return "a block device";
  }
  if (S_ISSOCK(mode)) {
    return "a socket";
  }
  return "not a regular file";
}

class FileDescriptor
{
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor()
  {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  FileDescriptor(const FileDescriptor &) = delete;
  FileDescriptor & operator=(const FileDescriptor &) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

std::uint64_t file_size(int fd)
{
  struct stat status = {};
  return ::fstat(fd, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

}  // namespace

bool read_record_file(
    const fs::path & file, const DescriptionLookup & lookup, RecordSink & sink,
    std::string & problem, ReadAtFunction read_at)
{
  // The type is checked before opening: opening a FIFO blocks until a writer
  // comes, and a device may never end.
  struct stat named = {};
  if (::stat(file.c_str(), &named) != 0) {
    problem = file.string() + ": cannot be read: " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(named.st_mode)) {
    problem = file.string() + ": is " + file_type(named.st_mode) + ", not a record file";
    return false;
  }
  // O_NONBLOCK in case it was swapped for a FIFO since; then refused below.
  const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat opened = {};
  if (fd.get() < 0 || ::fstat(fd.get(), &opened) != 0) {
    problem = file.string() + ": cannot be opened: " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(opened.st_mode)) {
    problem = file.string() + ": is " + file_type(opened.st_mode) + ", not a record file";
    return false;
  }

  RecordFileParser parser(file.string(), lookup, sink);
  std::vector<char> buffer(kReadBytes);
  std::uint64_t offset = 0;
  std::uint64_t bad_from = 0;  // start of the unreadable stretch being skipped
  std::uint64_t skip = 0;      // its current step; 0 outside one
  int bad_error = 0;
  for (;;) {
    const ssize_t got = read_at(fd.get(), buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      if (skip == 0) {
        bad_from = offset;
        bad_error = errno;
        skip = kBlockBytes;
      } else {
        skip = std::min(skip * 2, kLargestSkip);
      }
      offset = offset / kBlockBytes * kBlockBytes + skip;
      const std::uint64_t size = file_size(fd.get());
      if (offset < size) {
        continue;
      }
      offset = std::max(size, bad_from);
    }
    if (skip != 0) {
      parser.unreadable(offset - bad_from, std::strerror(bad_error));
      skip = 0;
    }
    if (got <= 0) {
      break;
    }
    parser.feed(buffer.data(), static_cast<std::size_t>(got));
    offset += static_cast<std::uint64_t>(got);
  }
  parser.finish();
  return true;
}

bool read_record_file(
    const fs::path & file, const DescriptionLookup & lookup, RecordFileContent & content,
    std::string & problem)
{
  RecordCollector collector(content);
  return read_record_file(file, lookup, collector, problem);
}

void take_records(
    const RecordFileContent & content, const RecordFilter & filter, RecordsRead & read)
{
  for (const RecordIssue & issue : content.issues) {
    read.problems.push_back(issue.describe());
    read.incomplete = read.incomplete || issue.damage;
  }
  std::copy_if(
      content.records.begin(), content.records.end(), std::back_inserter(read.records),
      [&filter](const Record & record) { return filter.matches(record); });
}

namespace {

// Passes on the records `filter` selects and every issue, noting damage.
class FilteringSink : public RecordSink
{
public:
  FilteringSink(const RecordFilter & filter, RecordSink & sink, bool & incomplete)
      : filter_(filter), sink_(sink), incomplete_(incomplete)
  {
  }
  void record(Record && record) override
  {
    if (filter_.matches(record)) {
      sink_.record(std::move(record));
    }
  }
  void issue(RecordIssue && issue) override
  {
    incomplete_ = incomplete_ || issue.damage;
    sink_.issue(std::move(issue));
  }

private:
  const RecordFilter & filter_;
  RecordSink & sink_;
  bool & incomplete_;
};

}  // namespace

ReadStatus stream_record_source(
    const RecordSource & source, const RecordFilter & filter, RecordSink & sink,
    const std::function<void(const std::string &)> & problem)
{
  ReadStatus status;
  RecordsRead listing;
  const std::vector<fs::path> files = list_record_files(source, listing);
  for (const std::string & text : listing.problems) {
    problem(text);
  }
  status.ok = listing.ok;
  FilteringSink filtering(filter, sink, status.incomplete);
  for (const fs::path & file : files) {
    std::string refused;
    if (!read_record_file(file, source.lookup, filtering, refused)) {
      problem(refused);
      status.ok = false;
    }
  }
  return status;
}

RecordsRead read_record_source(const RecordSource & source, const RecordFilter & filter)
{
  RecordsRead read;
  class Keeper : public RecordSink
  {
  public:
    explicit Keeper(RecordsRead & read) : read_(read) {}
    void record(Record && record) override { read_.records.push_back(std::move(record)); }
    void issue(RecordIssue && issue) override { read_.problems.push_back(issue.describe()); }

  private:
    RecordsRead & read_;
  } keeper(read);
  const ReadStatus status = stream_record_source(
      source, filter, keeper, [&read](const std::string & text) { read.problems.push_back(text); });
  read.ok = status.ok;
  read.incomplete = status.incomplete;
  return read;
}

}  // namespace diagctl
