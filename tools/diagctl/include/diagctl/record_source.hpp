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

// Where fault records come from: the files and directories named on the
// command line (or the record directory of the parameter file, else the
// node's default), read file by file in name order and filtered.
#ifndef DIAGCTL__RECORD_SOURCE_HPP_
#define DIAGCTL__RECORD_SOURCE_HPP_

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "diagctl/fault_config.hpp"
#include "diagctl/record_filter.hpp"
#include "diagctl/record_parser.hpp"

namespace diagctl {

struct RecordSource
{
  std::vector<std::string> paths;  // files or directories
  bool latest_only = false;        // of each directory, only the newest file
  DescriptionLookup lookup;        // configured descriptions, escaped as the node writes them

  // `paths` as given, else the record directory of `config`, else the
  // node's default; the descriptions of `config` when there is one. `config`
  // must outlive the source.
  static RecordSource make(
      std::vector<std::string> paths, bool latest_only, const FaultConfig * config);
};

// Exit status of `diagctl records` when every path was read but some of
// their bytes could not be (unreadable, NUL bytes, over-long lines): what was
// printed is not all the files hold.
constexpr int kExitIncomplete = 3;

struct RecordsRead
{
  std::vector<Record> records;        // in file order, filtered
  std::vector<std::string> problems;  // RecordIssue::describe(), "path: what"
  bool ok = true;                     // false when a path could not be read
  bool incomplete = false;            // true when bytes of a file could not be read
};

// Everything `source` holds that `filter` selects, kept.
RecordsRead read_record_source(const RecordSource & source, const RecordFilter & filter);

struct ReadStatus
{
  bool ok = true;           // false when a path could not be read
  bool incomplete = false;  // true when bytes of a file could not be read
};

// Reads the files of `source` in order, each piece by piece, and keeps
// nothing: `sink` gets the records `filter` selects and every issue as they
// are read, `problem` the paths that cannot be read. Memory stays bounded by
// the longest line (kMaxRecordLineBytes), whatever the files hold.
ReadStatus stream_record_source(
    const RecordSource & source, const RecordFilter & filter, RecordSink & sink,
    const std::function<void(const std::string &)> & problem);

// The files of `source` to read, in order; paths that cannot be used are
// added to `read` as problems.
std::vector<std::filesystem::path> list_record_files(
    const RecordSource & source, RecordsRead & read);

// The signature of ::pread; tests pass another to make reading fail.
using ReadAtFunction = ssize_t (*)(int fd, void * buffer, std::size_t size, off_t offset);

// Reads one file into `sink`, unfiltered. Only a regular file is opened (a
// FIFO or device is refused before it could block or never end); false with
// `problem` set when it is refused or cannot be opened. A read error does not
// end the file: the unreadable stretch is skipped, block by block in growing
// steps, and reported to `sink` as damage.
[[nodiscard]] bool read_record_file(
    const std::filesystem::path & file, const DescriptionLookup & lookup, RecordSink & sink,
    std::string & problem, ReadAtFunction read_at = ::pread);

// The same, kept in `content`.
[[nodiscard]] bool read_record_file(
    const std::filesystem::path & file, const DescriptionLookup & lookup,
    RecordFileContent & content, std::string & problem);

// Adds what `content` says to `read`: its issues as problems, its records
// that `filter` selects.
void take_records(
    const RecordFileContent & content, const RecordFilter & filter, RecordsRead & read);

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_SOURCE_HPP_
