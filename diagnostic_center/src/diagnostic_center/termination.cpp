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

#include "diagnostic_center/termination.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <thread>

#include "diagnostic_center/fault_recorder.hpp"

namespace diagnostic_center {

namespace {

// Time a termination request may spend writing fault records: writing stops
// at a line boundary once it has passed.
constexpr std::chrono::milliseconds kFlushBound{900};
// Backstop for a write that blocks in the kernel past kFlushBound: the
// process is killed then, whatever the recorder is doing.
constexpr std::chrono::milliseconds kKillBound{1500};

[[noreturn]] void KillSelf()
{
  pthread_kill(pthread_self(), SIGKILL);
  std::abort();  // not reached: SIGKILL ends the whole process
}

// The signal handler itself only writes a byte to a pipe (async-signal-safe,
// and it works whichever thread the signal lands on, middleware threads
// included); a dedicated thread does the flush and the kill, with a watchdog
// as a backstop.
int g_termination_pipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signal_number)
{
  const int saved_errno = errno;
  const auto byte = static_cast<unsigned char>(signal_number);
  [[maybe_unused]] const ssize_t ignored = ::write(g_termination_pipe[1], &byte, 1);
  errno = saved_errno;
}

extern "C" void KillOnSignal(int /*signal_number*/) { pthread_kill(pthread_self(), SIGKILL); }

[[noreturn]] void FlushRecordsAndKill()
{
  const auto requested = std::chrono::steady_clock::now();
  try {
    std::thread([requested] {
      std::this_thread::sleep_until(requested + kKillBound);
      KillSelf();
    }).detach();
  } catch (const std::exception &) {
    // Without a watchdog only a blocking write could delay the kill.
  }
  try {
    fault_recorder::FaultRecorder::GetInstance()->FlushForTermination(requested + kFlushBound);
  } catch (const std::exception &) {
    // Nothing more can be saved; end as asked.
  }
  KillSelf();
}

void WaitForTermination()
{
  unsigned char byte = 0;
  while (::read(g_termination_pipe[0], &byte, 1) < 0 && errno == EINTR) {
  }
  FlushRecordsAndKill();
}

}  // namespace

void InstallTerminationHandling()
{
  void (*handler)(int) = KillOnSignal;
  if (::pipe2(g_termination_pipe, O_CLOEXEC) == 0) {
    ::fcntl(g_termination_pipe[1], F_SETFL, O_NONBLOCK);
    try {
      std::thread(WaitForTermination).detach();
      handler = OnTerminationSignal;
    } catch (const std::exception &) {
      // Without the flushing thread, end at once as before.
    }
  }
  std::signal(SIGTERM, handler);
  std::signal(SIGINT, handler);
}

}  // namespace diagnostic_center
