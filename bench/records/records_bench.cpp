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

// diagctl records over generated record files, beside grep -c on the same
// files: input MB/s, time to the first output byte and peak RSS of each run.
// Usage: records_bench [TOTAL_MB [FILES [DIR]]]  (default: 1000 MB in 300
// files in a new directory under $TMPDIR, removed afterwards; a DIR given is
// filled and kept, or used as it is when it already holds files).
// DIAGCTL=path runs that diagctl instead of this build's.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "diagnostic_center/contract/record_line.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Writes `total_bytes` of record lines into `files` files named by their
// start times, as the node writes them: times rising, a few faults raised
// and cleared, messages of varying length.
std::uint64_t generate(const fs::path & dir, std::uint64_t total_bytes, int files)
{
  const char * descriptions[] = {
      "chassis motor bus lost", "chassis odometry stalled", "front lidar power lost",
      "lidar timeout"};
  const std::int32_t ids[] = {1001, 1002, 1101, 1203};
  std::time_t stamp = 1796000000;
  std::uint64_t written = 0;
  std::uint64_t line_number = 0;
  for (int f = 0; f < files; ++f) {
    const std::uint64_t file_bytes = total_bytes / static_cast<std::uint64_t>(files);
    std::ofstream out(dir / diagnostic_center::contract::FormatRecordTime(stamp), std::ios::binary);
    std::string chunk;
    std::uint64_t in_file = 0;
    while (in_file + chunk.size() < file_bytes) {
      const std::size_t k = line_number % 4;
      chunk += diagnostic_center::contract::FormatRecordLine(
          stamp, ids[k], descriptions[k], static_cast<std::int32_t>((line_number / 4) % 2),
          "event " + std::to_string(line_number) + std::string(20 + line_number % 60, '.'));
      ++line_number;
      stamp += line_number % 3 == 0 ? 1 : 0;
      if (chunk.size() >= (1u << 20)) {
        out << chunk;
        in_file += chunk.size();
        chunk.clear();
      }
    }
    out << chunk;
    in_file += chunk.size();
    written += in_file;
    stamp += 60;
  }
  std::printf(
      "generated %.0f MB, %llu lines, in %d files in %s\n", written / 1e6,
      static_cast<unsigned long long>(line_number), files, dir.c_str());
  return written;
}

struct Run
{
  double seconds = 0;
  double first_byte_ms = -1;  // -1: no output
  double peak_rss_mb = 0;
  std::uint64_t output_bytes = 0;
  int status = -1;
};

// Runs `argv` with its standard output read (and dropped) here.
Run run(const std::vector<std::string> & argv)
{
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipe_fds[1], STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDERR_FILENO);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    std::vector<char *> args;
    for (const std::string & arg : argv) {
      args.push_back(const_cast<char *>(arg.c_str()));
    }
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  Run result;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = ::read(pipe_fds[0], buffer.data(), buffer.size());
    if (got <= 0) {
      break;
    }
    if (result.output_bytes == 0) {
      result.first_byte_ms =
          std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    result.output_bytes += static_cast<std::uint64_t>(got);
  }
  ::close(pipe_fds[0]);
  int status = 0;
  struct rusage usage = {};
  ::wait4(child, &status, 0, &usage);
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  result.peak_rss_mb = usage.ru_maxrss / 1024.0;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

void report(const char * name, const Run & r, std::uint64_t input_bytes)
{
  std::printf(
      "%-28s %7.2f s %8.1f MB/s  first byte %8.1f ms  peak RSS %7.1f MB  out %6.0f MB  exit %d\n",
      name, r.seconds, input_bytes / 1e6 / r.seconds, r.first_byte_ms, r.peak_rss_mb,
      r.output_bytes / 1e6, r.status);
}

}  // namespace

int main(int argc, char ** argv)
{
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
  const std::uint64_t total_mb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000;
  const int files = argc > 2 ? std::atoi(argv[2]) : 300;
  const bool keep = argc > 3;
  fs::path dir;
  if (keep) {
    dir = argv[3];
    fs::create_directories(dir);
  } else {
    std::string pattern = (fs::temp_directory_path() / "records_bench_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      return 1;
    }
    dir = pattern;
  }
  std::vector<std::string> names;
  std::uint64_t input_bytes = 0;
  if (fs::is_empty(dir)) {
    generate(dir, total_mb * 1000000, std::max(files, 1));
  }
  for (const auto & entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().string());
    input_bytes += entry.file_size();
  }
  std::sort(names.begin(), names.end());

  // Once to have the files in the page cache for all runs alike.
  std::vector<std::string> grep = {"grep", "-c", "fault_id"};
  grep.insert(grep.end(), names.begin(), names.end());
  run(grep);

  report("grep -c fault_id", run(grep), input_bytes);
  const std::string d = dir.string();
  // DIAGCTL=path runs another build's diagctl, to compare.
  const char * other = std::getenv("DIAGCTL");
  const std::string diagctl = other != nullptr ? other : DIAGCTL_BINARY;
  report("diagctl records (table)", run({diagctl, "records", d}), input_bytes);
  report("diagctl records --csv", run({diagctl, "records", "--csv", d}), input_bytes);
  report("diagctl records --json", run({diagctl, "records", "--json", d}), input_bytes);
  report(
      "diagctl records --csv --id",
      run({diagctl, "records", "--csv", "--id", "1203", "--status", "passed", d}), input_bytes);
  if (!keep) {
    fs::remove_all(dir);
  }
  return 0;
}
