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

// LD_PRELOAD shim that makes one directory a slow disk: every write() to a
// file below SLOW_DISK_DIR goes out in 16 KiB pieces at SLOW_DISK_BYTES_PER_S
// bytes per second. Other writes (logs, pipes) are untouched. A process
// killed during such a write leaves exactly what a slow disk would: the
// pieces written so far.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

using WriteFunction = ssize_t (*)(int, const void *, size_t);

constexpr size_t kPieceBytes = 16 * 1024;

WriteFunction g_real_write = nullptr;
char g_dir[4096] = {0};
size_t g_dir_length = 0;
long g_bytes_per_second = 0;

// Read once at load, so that write() itself stays async-signal-safe.
__attribute__((constructor)) void LoadSettings()
{
  g_real_write = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
  const char * dir = std::getenv("SLOW_DISK_DIR");
  const char * rate = std::getenv("SLOW_DISK_BYTES_PER_S");
  if (dir != nullptr && rate != nullptr && std::strlen(dir) + 1 < sizeof(g_dir)) {
    std::strcpy(g_dir, dir);
    g_dir_length = std::strlen(g_dir);
    g_bytes_per_second = std::atol(rate);
  }
}

bool IsOnSlowDisk(int fd)
{
  if (g_dir_length == 0 || g_bytes_per_second <= 0) {
    return false;
  }
  char link[64];
  std::snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t length = ::readlink(link, target, sizeof(target) - 1);
  return length > static_cast<ssize_t>(g_dir_length) &&
         std::memcmp(target, g_dir, g_dir_length) == 0 && target[g_dir_length] == '/';
}

void PauseForPiece(size_t bytes)
{
  const long nanoseconds = static_cast<long>(bytes * 1000000000.0 / g_bytes_per_second);
  timespec pause{nanoseconds / 1000000000L, nanoseconds % 1000000000L};
  while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

}  // namespace

extern "C" ssize_t write(int fd, const void * data, size_t size)
{
  if (g_real_write == nullptr) {  // a write from a constructor that ran before ours
    g_real_write = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
  }
  if (!IsOnSlowDisk(fd)) {
    return g_real_write(fd, data, size);
  }
  const auto * bytes = static_cast<const char *>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t written = g_real_write(fd, bytes + done, std::min(kPieceBytes, size - done));
    if (written <= 0) {
      return done > 0 ? static_cast<ssize_t>(done) : written;
    }
    done += static_cast<size_t>(written);
    PauseForPiece(static_cast<size_t>(written));
  }
  return static_cast<ssize_t>(done);
}
