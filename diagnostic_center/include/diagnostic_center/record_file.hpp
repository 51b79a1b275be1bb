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

// Appending whole record lines to a record file, safely: only in a directory
// that no other user can write to, never through a symbolic link, and never
// leaving a partial line behind when a write fails or time runs out.
#ifndef DIAGNOSTIC_CENTER__RECORD_FILE_HPP_
#define DIAGNOSTIC_CENTER__RECORD_FILE_HPP_

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fault_recorder {

// The signature of ::write; tests pass another to make writing fail.
using WriteFunction = ssize_t (*)(int fd, const void * data, std::size_t size);

// Why a directory with `status` must not hold record files, or "" when it
// may: it must be owned by this process's effective user or by root and be
// writable by nobody else (no group or others write permission). Otherwise
// another user could plant links or files where records are written.
std::string UnsafeDirectoryReason(const struct stat & status);

// Whether the record directory's own path may be a symbolic link. It may
// when it was one at start-up (a robot's storage mounted elsewhere); a
// directory that was a real one must not come back as a link, which would
// send the records wherever the link points.
enum class DirectoryLink
{
  kFollowed,
  kRefused,
};

struct AppendOutcome
{
  bool opened = false;            // false: the file could not be opened, nothing was written
  std::size_t lines_written = 0;  // leading lines of the batch now in the file, whole
  int write_error = 0;            // errno of a failed write; 0 when none failed
  bool out_of_time = false;       // stopped at a line boundary because time ran out
};

// Appends `lines` (each a whole record line ending in a newline) to the file
// `name` in `dir`, creating it when missing. The directory is checked with
// UnsafeDirectoryReason (and refused when it is a link and `dir_link` says
// so) and the file opened without following a symbolic link; it must be a
// regular file. Lines go out in chunks of whole lines;
// before each chunk `out_of_time` is asked whether to stop. A write that
// fails partway has its partial line cut off again, so the file ends on a
// line boundary whatever happens. A file that does not end with a newline
// (another writer was killed mid-line) gets one before the first line, so
// that line is not glued onto the torn one.
AppendOutcome AppendLines(
    const std::filesystem::path & dir, DirectoryLink dir_link, const std::string & name,
    const std::vector<std::string> & lines, const std::function<bool()> & out_of_time,
    WriteFunction write_function);

}  // namespace fault_recorder

#endif  // DIAGNOSTIC_CENTER__RECORD_FILE_HPP_
