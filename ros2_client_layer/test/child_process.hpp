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

// A helper program run as a second process, with pipes to its standard input
// and output. Owned by one test thread; the destructor kills (SIGKILL) and
// reaps a child still running and closes both pipes.
#ifndef CHILD_PROCESS_HPP_
#define CHILD_PROCESS_HPP_

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

extern char ** environ;

namespace layer_test {

class ChildProcess
{
public:
  // Spawns `program` with `args` and this process's environment; its standard
  // error stays the test's. Never throws: check started().
  ChildProcess(const std::string & program, std::vector<std::string> args)
  {
    args.insert(args.begin(), program);
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char *> argv;
    for (auto & arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    in_ = in[1];
    out_ = out[0];
  }

  ~ChildProcess()
  {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close_stdin();
    if (out_ >= 0) {
      close(out_);
    }
  }

  ChildProcess(const ChildProcess &) = delete;
  ChildProcess & operator=(const ChildProcess &) = delete;

  // False when the pipes or the spawn failed; the other calls are then no-ops
  // that return "" or -1.
  bool started() const { return pid_ > 0; }

  // The next line the child writes, or "" at the end of its output or after `timeout`.
  std::string read_line(std::chrono::milliseconds timeout = std::chrono::seconds(30))
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd fd{out_, POLLIN, 0};
      if (poll(&fd, 1, 50) <= 0) {
        continue;
      }
      if (read(out_, &c, 1) != 1) {
        break;
      }
      if (c == '\n') {
        return line;
      }
      line += c;
    }
    return "";
  }

  // Sends `signum` to the child; pointless once it has been waited for.
  void signal(int signum) { kill(pid_, signum); }

  // Sends SIGSTOP and waits until every thread of the child has stopped: kill()
  // returns while threads running on another core may still run for a moment.
  // False when they have not all stopped within 10 s.
  bool stop()
  {
    kill(pid_, SIGSTOP);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      if (all_threads_stopped()) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  // Waits, without a timeout, for the child to end; returns its wait status.
  int wait()
  {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }

  // Closes the child's standard input, waits for it to end and returns its
  // exit code (-1 when it did not exit).
  int finish()
  {
    close_stdin();
    const int status = wait();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

private:
  void close_stdin()
  {
    if (in_ >= 0) {
      close(in_);
      in_ = -1;
    }
  }

  bool all_threads_stopped() const
  {
    const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
    std::error_code error;
    for (const auto & task : std::filesystem::directory_iterator(tasks, error)) {
      std::ifstream stat(task.path() / "stat");
      std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
      const auto state = content.rfind(')');
      if (state == std::string::npos || state + 2 >= content.size() || content[state + 2] != 'T') {
        return false;
      }
    }
    return !error;
  }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
};

}  // namespace layer_test

#endif  // CHILD_PROCESS_HPP_
