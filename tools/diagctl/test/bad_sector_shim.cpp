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

// LD_PRELOAD shim that gives one file a bad stretch, as a failing disk does:
// a read() or pread() of BAD_SECTOR_FILE starting in bytes
// [BAD_SECTOR_FROM, BAD_SECTOR_TO) fails with EIO, one that runs into the
// stretch stops short before it. Other files are untouched.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using ReadFunction = ssize_t (*)(int, void *, size_t);
using ReadAtFunction = ssize_t (*)(int, void *, size_t, off_t);

ReadFunction g_real_read = nullptr;
ReadAtFunction g_real_pread = nullptr;
ReadAtFunction g_real_pread64 = nullptr;
dev_t g_device = 0;
ino_t g_inode = 0;
bool g_active = false;
off_t g_from = 0;
off_t g_to = 0;

// Also on first use: another library's constructor may read before ours.
void FindRealFunctions()
{
  if (g_real_read == nullptr) {
    g_real_read = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
    g_real_pread = reinterpret_cast<ReadAtFunction>(dlsym(RTLD_NEXT, "pread"));
    g_real_pread64 = reinterpret_cast<ReadAtFunction>(dlsym(RTLD_NEXT, "pread64"));
  }
}

__attribute__((constructor)) void LoadSettings()
{
  FindRealFunctions();
  const char * file = std::getenv("BAD_SECTOR_FILE");
  const char * from = std::getenv("BAD_SECTOR_FROM");
  const char * to = std::getenv("BAD_SECTOR_TO");
  struct stat status = {};
  if (file != nullptr && from != nullptr && to != nullptr && ::stat(file, &status) == 0) {
    g_device = status.st_dev;
    g_inode = status.st_ino;
    g_from = std::atoll(from);
    g_to = std::atoll(to);
    g_active = true;
  }
}

// How much of a read of `size` bytes at `offset` of `fd` may succeed; -1
// when it must fail.
ssize_t Allowed(int fd, size_t size, off_t offset)
{
  struct stat status = {};
  if (!g_active || ::fstat(fd, &status) != 0 || status.st_dev != g_device ||
      status.st_ino != g_inode) {
    return static_cast<ssize_t>(size);
  }
  if (offset >= g_from && offset < g_to) {
    return -1;
  }
  if (offset < g_from) {
    return static_cast<ssize_t>(std::min<off_t>(static_cast<off_t>(size), g_from - offset));
  }
  return static_cast<ssize_t>(size);
}

ssize_t ReadAt(ReadAtFunction real, int fd, void * buffer, size_t size, off_t offset)
{
  const ssize_t allowed = Allowed(fd, size, offset);
  if (allowed < 0) {
    errno = EIO;
    return -1;
  }
  return real(fd, buffer, static_cast<size_t>(allowed), offset);
}

}  // namespace

extern "C" ssize_t read(int fd, void * buffer, size_t size)
{
  FindRealFunctions();
  const off_t offset = g_active ? ::lseek(fd, 0, SEEK_CUR) : -1;
  if (offset >= 0) {
    const ssize_t allowed = Allowed(fd, size, offset);
    if (allowed < 0) {
      errno = EIO;
      return -1;
    }
    size = static_cast<size_t>(allowed);
  }
  return g_real_read(fd, buffer, size);
}

extern "C" ssize_t pread(int fd, void * buffer, size_t size, off_t offset)
{
  FindRealFunctions();
  return ReadAt(g_real_pread, fd, buffer, size, offset);
}

extern "C" ssize_t pread64(int fd, void * buffer, size_t size, off_t offset)
{
  FindRealFunctions();
  return ReadAt(g_real_pread64, fd, buffer, size, offset);
}
