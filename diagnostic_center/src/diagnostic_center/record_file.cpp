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

#include "diagnostic_center/record_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace fault_recorder {

namespace {

// Lines go out in writes of about this size, so that a time limit is
// checked often and a failed write loses little.
constexpr std::size_t kChunkBytes = 64 * 1024;

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
  FileDescriptor(FileDescriptor && other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor(const FileDescriptor &) = delete;
  FileDescriptor & operator=(const FileDescriptor &) = delete;

  FileDescriptor & operator=(FileDescriptor && other) noexcept
  {
    std::swap(fd_, other.fd_);
    return *this;
  }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

private:
  int fd_;
};

// Opens `name` in `dir` for appending, or returns an invalid descriptor. The
// directory is examined through the descriptor that the file is then opened
// in, so it cannot be swapped between the check and the open.
FileDescriptor OpenRecordFile(
    const std::filesystem::path & dir, DirectoryLink dir_link, const std::string & name)
{
  const int no_follow = dir_link == DirectoryLink::kRefused ? O_NOFOLLOW : 0;
  const FileDescriptor dir_fd(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | no_follow));
  struct stat dir_status = {};
  if (!dir_fd.valid() || ::fstat(dir_fd.get(), &dir_status) != 0 || !S_ISDIR(dir_status.st_mode) ||
      !UnsafeDirectoryReason(dir_status).empty()) {
    return FileDescriptor(-1);
  }
  // O_NONBLOCK only while opening: a FIFO in place of the file must not hang
  // the recorder. Read access is only for EndsTorn(); a file its owner may
  // not read is still written.
  constexpr int kFlags = O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  FileDescriptor file(::openat(dir_fd.get(), name.c_str(), O_RDWR | kFlags, 0666));
  if (!file.valid() && errno == EACCES) {
    file = FileDescriptor(::openat(dir_fd.get(), name.c_str(), O_WRONLY | kFlags, 0666));
  }
  struct stat file_status = {};
  if (!file.valid() || ::fstat(file.get(), &file_status) != 0 || !S_ISREG(file_status.st_mode) ||
      ::fcntl(file.get(), F_SETFL, O_APPEND) != 0) {
    return FileDescriptor(-1);
  }
  return file;
}

// Whether the file does not end with a newline: a writer killed in the
// middle of a line (this one's own writes never leave one) left a torn line,
// and a record appended to it would be glued on and lost to every reader.
bool EndsTorn(int fd)
{
  struct stat status = {};
  if (::fstat(fd, &status) != 0 || status.st_size == 0) {
    return false;
  }
  char last = '\n';
  ssize_t got = 0;
  do {
    got = ::pread(fd, &last, 1, status.st_size - 1);
  } while (got < 0 && errno == EINTR);
  // Unreadable (opened write-only): nothing known, nothing added.
  return got == 1 && last != '\n';
}

// Writes all of `data`, returning how much was written; `error` is set when
// a write fails before the end.
std::size_t WriteAll(int fd, const std::string & data, WriteFunction write_function, int & error)
{
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = write_function(fd, data.data() + done, data.size() - done);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      error = written < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(written);
  }
  return done;
}

// Cuts the last `partial` bytes just appended through `fd` off the file again,
// unless something else was appended after them meanwhile.
void CutPartialLine(int fd, std::size_t partial)
{
  if (partial == 0) {
    return;
  }
  const off_t end = ::lseek(fd, 0, SEEK_CUR);  // O_APPEND: just past our last write
  struct stat status = {};
  if (end < static_cast<off_t>(partial) || ::fstat(fd, &status) != 0 || status.st_size != end) {
    return;
  }
  [[maybe_unused]] const int ignored = ::ftruncate(fd, end - static_cast<off_t>(partial));
}

}  // namespace

std::string UnsafeDirectoryReason(const struct stat & status)
{
  if (status.st_uid != ::geteuid() && status.st_uid != 0) {
    return "is owned by uid " + std::to_string(status.st_uid) +
           ", neither this process's user nor root";
  }
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return "is writable by group or others";
  }
  return "";
}

AppendOutcome AppendLines(
    const std::filesystem::path & dir, DirectoryLink dir_link, const std::string & name,
    const std::vector<std::string> & lines, const std::function<bool()> & out_of_time,
    WriteFunction write_function)
{
  AppendOutcome outcome;
  const FileDescriptor file = OpenRecordFile(dir, dir_link, name);
  if (!file.valid()) {
    return outcome;
  }
  outcome.opened = true;

  // The newline that ends a torn line goes out with the first chunk, so it
  // is written (and cut off again) together with the first record.
  std::string chunk;
  if (!lines.empty() && EndsTorn(file.get())) {
    chunk = "\n";
  }
  const std::size_t separator = chunk.size();
  std::size_t next = 0;
  while (next < lines.size()) {
    if (out_of_time()) {
      outcome.out_of_time = true;
      break;
    }
    if (next > 0) {
      chunk.clear();
    }
    std::size_t end = next;
    do {
      chunk += lines[end++];
    } while (end < lines.size() && chunk.size() + lines[end].size() <= kChunkBytes);

    const std::size_t written = WriteAll(file.get(), chunk, write_function, outcome.write_error);
    std::size_t whole_bytes = next == 0 ? std::min(separator, written) : 0;
    while (next < end && whole_bytes + lines[next].size() <= written) {
      whole_bytes += lines[next++].size();
      ++outcome.lines_written;
    }
    if (written < chunk.size()) {
      CutPartialLine(file.get(), written - whole_bytes);
      break;
    }
  }
  return outcome;
}

}  // namespace fault_recorder
