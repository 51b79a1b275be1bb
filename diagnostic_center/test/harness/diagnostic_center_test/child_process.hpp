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

// A child process under test: started with fork/exec, its standard output and
// error captured to files, waited for with timeouts, and never left behind.
// Shared by the node's process-level tests, diagctl's tests and the
// end-to-end benchmarks; it needs no ROS 2 library. A ChildProcess belongs to
// one thread: its waits poll the output files and waitpid, and nothing in it
// is locked.
#ifndef DIAGNOSTIC_CENTER_TEST__CHILD_PROCESS_HPP_
#define DIAGNOSTIC_CENTER_TEST__CHILD_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace diagnostic_center_test {

// How a child ended, as waitpid reports it.
struct ExitStatus
{
  bool exited = false;  // ended by exit(); `code` holds the status
  int code = 0;
  bool signaled = false;  // ended by a signal; `signal` holds its number
  int signal = 0;

  // "exited with status N", "killed by signal N" or "still running", for
  // assertion messages.
  std::string Describe() const;
};

// What a child printed by its end, and how it ended.
struct ProcessResult
{
  int exit_code = -1;      // -1 when a signal ended it
  bool timed_out = false;  // it was killed for running past its time
  std::string out;
  std::string err;
};

class ChildProcess
{
public:
  // Starts `executable` with `arguments`. Its standard output and error go to
  // the files stdout.txt and stderr.txt in `output_dir`, standard input is
  // /dev/null. The environment is this process's, with `environment` laid
  // over it. The child is killed if this process dies first. Throws
  // std::runtime_error when fork fails; a child that cannot open its output
  // files or exec `executable` ends at once with exit code 127.
  ChildProcess(
      const std::filesystem::path & executable, const std::vector<std::string> & arguments,
      const std::filesystem::path & output_dir,
      const std::map<std::string, std::string> & environment = {});
  // Kills a child that still runs (SIGKILL) and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  pid_t pid() const { return pid_; }
  bool running() const { return !status_.has_value(); }

  // All the child wrote so far (also after its end); empty if unreadable.
  std::string Stdout() const;
  std::string Stderr() const;
  std::filesystem::path stderr_path() const { return stderr_path_; }

  // Waits until standard error contains `needle`; false on timeout or when
  // the child ended without writing it.
  [[nodiscard]] bool WaitForStderr(const std::string & needle, std::chrono::milliseconds timeout);
  // Waits until standard error holds `needle` at least `count` times.
  [[nodiscard]] bool WaitForStderrCount(
      const std::string & needle, std::size_t count, std::chrono::milliseconds timeout);
  // Waits until standard output holds `needle` at least `count` times.
  [[nodiscard]] bool WaitForStdoutCount(
      const std::string & needle, std::size_t count, std::chrono::milliseconds timeout);

  // Sends `signal` to the child (nothing happens once it has been reaped).
  void Signal(int signal);
  // Waits for the child to end; nothing on timeout (the child keeps running).
  [[nodiscard]] std::optional<ExitStatus> WaitForExit(std::chrono::milliseconds timeout);
  // SIGKILL and reap; returns how the child ended (killed, or earlier).
  ExitStatus Kill();
  // Waits up to `timeout` for the end, kills the child if it is still
  // running then, and returns what it printed.
  ProcessResult Finish(std::chrono::milliseconds timeout);

private:
  bool Reap(bool block);
  bool WaitForCount(
      const std::filesystem::path & file, const std::string & needle, std::size_t count,
      std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  std::filesystem::path stdout_path_;
  std::filesystem::path stderr_path_;
  std::optional<ExitStatus> status_;
};

// Runs `command` (the executable, then its arguments) to its end, or kills it
// after `timeout`, with its output files in `output_dir`.
ProcessResult RunToEnd(
    const std::vector<std::string> & command, const std::filesystem::path & output_dir,
    std::chrono::milliseconds timeout);

// Checks `condition` every `period` until it holds (true) or `timeout` has
// passed (false).
bool WaitUntil(
    const std::function<bool()> & condition, std::chrono::milliseconds timeout,
    std::chrono::milliseconds period = std::chrono::milliseconds(20));

// Counts the occurrences of `needle` in `text`.
std::size_t CountOccurrences(const std::string & text, const std::string & needle);

// The path in environment variable `variable` when it is set and not empty,
// else `fallback`: how a test or benchmark is pointed at another build of a
// binary than the one built beside it.
std::filesystem::path ExecutableFromEnvironment(
    const char * variable, const std::filesystem::path & fallback);

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path & path);
// Replaces the content of `path` by `content`; returns `path`. Unchecked: a
// test notices an unwritable file by what the child then reads.
std::filesystem::path WriteFile(const std::filesystem::path & path, const std::string & content);

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER_TEST__CHILD_PROCESS_HPP_
