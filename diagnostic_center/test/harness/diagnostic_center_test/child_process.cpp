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

#include "diagnostic_center_test/child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char ** environ;

namespace diagnostic_center_test {
namespace {

constexpr std::chrono::milliseconds kPollPeriod{20};

// Owns the NUL-terminated strings and the pointer array that execve wants.
class CStringArray
{
public:
  explicit CStringArray(std::vector<std::string> strings) : strings_(std::move(strings))
  {
    for (auto & s : strings_) {
      pointers_.push_back(s.data());
    }
    pointers_.push_back(nullptr);
  }
  char * const * get() { return pointers_.data(); }

private:
  std::vector<std::string> strings_;
  std::vector<char *> pointers_;
};

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string> & overrides)
{
  std::map<std::string, std::string> merged;
  for (char ** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const auto equals = text.find('=');
    if (equals != std::string::npos) {
      merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
  }
  for (const auto & [name, value] : overrides) {
    merged[name] = value;
  }
  std::vector<std::string> result;
  for (const auto & [name, value] : merged) {
    result.push_back(name + "=" + value);
  }
  return result;
}

// Runs in the forked child: only async-signal-safe calls until execve.
[[noreturn]] void ExecChild(
    pid_t parent, const char * executable, char * const * argv, char * const * envp,
    const char * stdout_path, const char * stderr_path)
{
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) {
    _exit(127);
  }
  sigset_t all;
  sigemptyset(&all);
  sigprocmask(SIG_SETMASK, &all, nullptr);
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  signal(SIGPIPE, SIG_DFL);

  const int in = open("/dev/null", O_RDONLY);
  const int out = open(stdout_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = open(stderr_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
    _exit(127);
  }
  execve(executable, argv, envp);
  _exit(127);
}

}  // namespace

std::string ExitStatus::Describe() const
{
  std::ostringstream text;
  if (exited) {
    text << "exited with status " << code;
  } else if (signaled) {
    text << "killed by signal " << signal;
  } else {
    text << "still running";
  }
  return text.str();
}

ChildProcess::ChildProcess(
    const std::filesystem::path & executable, const std::vector<std::string> & arguments,
    const std::filesystem::path & output_dir,
    const std::map<std::string, std::string> & environment)
    : stdout_path_(output_dir / "stdout.txt"), stderr_path_(output_dir / "stderr.txt")
{
  std::vector<std::string> argv_strings{executable.string()};
  argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
  CStringArray argv(std::move(argv_strings));
  CStringArray envp(MergedEnvironment(environment));
  const std::string executable_path = executable.string();
  const std::string out_path = stdout_path_.string();
  const std::string err_path = stderr_path_.string();

  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ < 0) {
    throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
  }
  if (pid_ == 0) {
    ExecChild(
        parent, executable_path.c_str(), argv.get(), envp.get(), out_path.c_str(),
        err_path.c_str());
  }
}

ChildProcess::~ChildProcess()
{
  if (running()) {
    Kill();
  }
}

std::string ChildProcess::Stdout() const { return ReadFile(stdout_path_); }

std::string ChildProcess::Stderr() const { return ReadFile(stderr_path_); }

bool ChildProcess::WaitForStderr(const std::string & needle, std::chrono::milliseconds timeout)
{
  return WaitForCount(stderr_path_, needle, 1, timeout);
}

bool ChildProcess::WaitForStderrCount(
    const std::string & needle, std::size_t count, std::chrono::milliseconds timeout)
{
  return WaitForCount(stderr_path_, needle, count, timeout);
}

bool ChildProcess::WaitForStdoutCount(
    const std::string & needle, std::size_t count, std::chrono::milliseconds timeout)
{
  return WaitForCount(stdout_path_, needle, count, timeout);
}

bool ChildProcess::WaitForCount(
    const std::filesystem::path & file, const std::string & needle, std::size_t count,
    std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    // Check the exit before reading, so that the last read sees everything.
    const bool ended = !running() || Reap(false);
    if (CountOccurrences(ReadFile(file), needle) >= count) {
      return true;
    }
    if (ended || std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(kPollPeriod);
  }
}

void ChildProcess::Signal(int signal)
{
  if (running()) {
    ::kill(pid_, signal);
  }
}

std::optional<ExitStatus> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
  WaitUntil([this] { return !running() || Reap(false); }, timeout, std::chrono::milliseconds(5));
  return status_;
}

ExitStatus ChildProcess::Kill()
{
  if (running()) {
    ::kill(pid_, SIGKILL);
    Reap(true);
  }
  return *status_;
}

ProcessResult ChildProcess::Finish(std::chrono::milliseconds timeout)
{
  ProcessResult result;
  std::optional<ExitStatus> status = WaitForExit(timeout);
  if (!status) {
    result.timed_out = true;
    status = Kill();
  }
  result.exit_code = status->exited ? status->code : -1;
  result.out = Stdout();
  result.err = Stderr();
  return result;
}

bool ChildProcess::Reap(bool block)
{
  int raw = 0;
  pid_t result;
  do {
    result = waitpid(pid_, &raw, block ? 0 : WNOHANG);
  } while (result < 0 && errno == EINTR);
  if (result != pid_) {
    return false;
  }
  ExitStatus status;
  if (WIFEXITED(raw)) {
    status.exited = true;
    status.code = WEXITSTATUS(raw);
  } else if (WIFSIGNALED(raw)) {
    status.signaled = true;
    status.signal = WTERMSIG(raw);
  }
  status_ = status;
  return true;
}

ProcessResult RunToEnd(
    const std::vector<std::string> & command, const std::filesystem::path & output_dir,
    std::chrono::milliseconds timeout)
{
  ChildProcess child(
      command.at(0), std::vector<std::string>(command.begin() + 1, command.end()), output_dir);
  return child.Finish(timeout);
}

bool WaitUntil(
    const std::function<bool()> & condition, std::chrono::milliseconds timeout,
    std::chrono::milliseconds period)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(period);
  }
  return true;
}

std::size_t CountOccurrences(const std::string & text, const std::string & needle)
{
  if (needle.empty()) {
    return 0;
  }
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

std::filesystem::path ExecutableFromEnvironment(
    const char * variable, const std::filesystem::path & fallback)
{
  const char * chosen = std::getenv(variable);
  return chosen != nullptr && chosen[0] != '\0' ? std::filesystem::path(chosen) : fallback;
}

std::string ReadFile(const std::filesystem::path & path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::filesystem::path WriteFile(const std::filesystem::path & path, const std::string & content)
{
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

}  // namespace diagnostic_center_test
