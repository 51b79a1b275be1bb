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

// `diagctl dashboard` under the load that used to take it down: open event
// streams, sockets that trickle their request, requests with endless
// headers, all at once, while it times GET / and pages of /api/records and
// samples the dashboard's resident size. Prints figures; asserts nothing.
//
// Usage: dashboard_bench [--streams N] [--tricklers N] [--huge N] [--gets N]
//                        [--records-mb N] [--dir DIR] [--diagctl PATH]
// --diagctl runs another build's diagctl, to compare; a GET not answered
// within 20 s counts as not answered.
// The dashboard subscribes to the node over DDS: run it through run.sh,
// which keeps that on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options
{
  int streams = 100;
  int tricklers = 50;
  int huge = 4;
  int gets = 300;
  int records_mb = 100;
  std::string dir;
  std::string diagctl = DIAGCTL_BINARY;
};

int connect_to(int port)
{
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  // A server that takes nothing (one that is stuck) does not hold the bench.
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool send_all(int fd, const std::string & bytes)
{
  return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

// Reads until `marker` or the end; what came.
std::string read_until(int fd, const std::string & marker, int timeout_ms)
{
  std::string received;
  char buffer[16384];
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (marker.empty() || received.find(marker) == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd wanted{fd, POLLIN, 0};
    if (left <= 0 || ::poll(&wanted, 1, static_cast<int>(left)) <= 0) {
      break;
    }
    const ssize_t n = ::read(fd, buffer, sizeof(buffer));  // a socket or a pipe
    if (n <= 0) {
      break;
    }
    received.append(buffer, static_cast<std::size_t>(n));
  }
  return received;
}

// One GET on a connection of its own: milliseconds to the whole answer, or
// a negative number when none came or it was not a 200.
double timed_get(int port, const std::string & target, std::size_t * bytes = nullptr)
{
  const auto start = Clock::now();
  const int fd = connect_to(port);
  if (fd < 0) {
    return -1;
  }
  send_all(fd, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  const std::string answer = read_until(fd, "", 20000);
  ::close(fd);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (bytes) {
    *bytes = answer.size();
  }
  return answer.rfind("HTTP/1.1 200", 0) == 0 ? ms : -1;
}

long status_kib(pid_t pid, const char * field)
{
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) {
      return std::atol(line.c_str() + std::strlen(field));
    }
  }
  return -1;
}

double percentile(std::vector<double> values, double p)
{
  if (values.empty()) {
    return -1;
  }
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()))];
}

void write_records(const std::filesystem::path & dir, int megabytes)
{
  std::filesystem::create_directories(dir);
  const std::size_t target = static_cast<std::size_t>(megabytes) << 20;
  std::size_t written = 0;
  for (int file = 0; written < target; ++file) {
    char name[32];
    std::snprintf(name, sizeof(name), "2026-12-%02d_00-00-00", 1 + file % 28);
    std::ofstream out(dir / (std::to_string(file / 28) + "_" + name));
    std::string chunk;
    for (int i = 0; i < 200000 && written < target; ++i) {
      char line[256];
      const int n = std::snprintf(
          line, sizeof(line),
          "2026-12-%02d_%02d-%02d-%02d fault_id : %d, fault_desc : motor bus lost, status : %s, "
          "event_msg : no heartbeat from drive %d\n",
          1 + file % 28, (i / 3600) % 24, (i / 60) % 60, i % 60, 1000 + i % 50,
          i % 2 ? "passed" : "fault", i % 8);
      chunk.append(line, static_cast<std::size_t>(n));
      if (i % 100 == 99) {
        chunk += "not a record line\n";
      }
      written += static_cast<std::size_t>(n);
    }
    out << chunk;
  }
}

}  // namespace

int main(int argc, char ** argv)
{
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const std::string value = argv[i + 1];
    if (name == "--streams") {
      options.streams = std::stoi(value);
    } else if (name == "--tricklers") {
      options.tricklers = std::stoi(value);
    } else if (name == "--huge") {
      options.huge = std::stoi(value);
    } else if (name == "--gets") {
      options.gets = std::stoi(value);
    } else if (name == "--records-mb") {
      options.records_mb = std::stoi(value);
    } else if (name == "--dir") {
      options.dir = value;
    } else if (name == "--diagctl") {
      options.diagctl = value;
    } else {
      std::fprintf(stderr, "unknown option %s\n", name.c_str());
      return 2;
    }
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const bool own_dir = options.dir.empty();
  const std::filesystem::path dir = own_dir ? std::filesystem::temp_directory_path() /
                                                  ("dashboard_bench_" + std::to_string(::getpid()))
                                            : std::filesystem::path(options.dir);
  write_records(dir / "records", options.records_mb);
  std::printf("records: %d MB in %s\n", options.records_mb, (dir / "records").c_str());

  // The dashboard, its first line saying where it listens.
  int out[2];
  if (::pipe(out) != 0) {
    return 1;
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::close(out[0]);
    ::close(out[1]);
    const std::string records = (dir / "records").string();
    ::execl(
        options.diagctl.c_str(), options.diagctl.c_str(), "dashboard", "--bind", "127.0.0.1",
        "--port", "0", records.c_str(), static_cast<char *>(nullptr));
    std::perror("exec diagctl");
    ::_exit(127);
  }
  ::close(out[1]);
  const std::string first = read_until(out[0], "\n", 30000);
  const std::size_t colon = first.rfind(':');
  const int port = colon == std::string::npos ? 0 : std::atoi(first.c_str() + colon + 1);
  if (port <= 0) {
    std::fprintf(stderr, "the dashboard did not say where it listens: %s\n", first.c_str());
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return 1;
  }
  std::printf(
      "dashboard: pid %d, port %d, RSS at start %ld kB\n", pid, port, status_kib(pid, "VmRSS:"));

  std::atomic<bool> stop{false};
  std::atomic<long> rss_max{0};
  std::thread sampler([&] {
    while (!stop) {
      const long rss = status_kib(pid, "VmRSS:");
      rss_max = std::max(rss_max.load(), rss);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });

  // Open pages: event streams, each past its first event.
  std::vector<int> streams;
  int refused_streams = 0;
  for (int i = 0; i < options.streams; ++i) {
    const int fd = connect_to(port);
    send_all(fd, "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    if (read_until(fd, "data: ", 3000).find("data: ") == std::string::npos) {
      ++refused_streams;
    }
    streams.push_back(fd);
  }
  std::printf(
      "event streams answered: %d of %d\n", options.streams - refused_streams, options.streams);

  // Trickling sockets: a byte each every 200 ms, anew when the dashboard
  // gives up on one.
  std::atomic<long> trickles_ended{0};
  std::thread trickling([&] {
    std::vector<int> fds(static_cast<std::size_t>(options.tricklers), -1);
    while (!stop) {
      for (int & fd : fds) {
        if (fd < 0) {
          fd = connect_to(port);
          send_all(fd, "GET / HTTP/1.1\r\nX-Slow: ");
        } else if (!send_all(fd, "a")) {
          ::close(fd);
          fd = -1;
          ++trickles_ended;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    for (const int fd : fds) {
      ::close(fd);
    }
  });

  // Endless headers, as fast as they are taken, anew when refused.
  std::atomic<long> huge_refused{0};
  std::vector<std::thread> huge;
  for (int h = 0; h < options.huge; ++h) {
    huge.emplace_back([&] {
      std::string block;
      for (int i = 0; i < 4000; ++i) {
        block += "X-Header-" + std::to_string(i) + ": 0123456789abcdef0123456789\r\n";
      }
      while (!stop) {
        const int fd = connect_to(port);
        send_all(fd, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        while (!stop && send_all(fd, block)) {
        }
        ::close(fd);
        ++huge_refused;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));

  std::vector<double> times;
  int failed = 0;
  for (int i = 0; i < options.gets; ++i) {
    const double ms = timed_get(port, "/");
    if (ms < 0) {
      ++failed;
    } else {
      times.push_back(ms);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::printf(
      "GET / under load: %zu answered, %d not; p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
      times.size(), failed, percentile(times, 0.5), percentile(times, 0.99),
      times.empty() ? -1.0 : *std::max_element(times.begin(), times.end()));

  std::vector<double> pages;
  std::size_t page_bytes = 0;
  for (const char * target :
       {"/api/records", "/api/records?limit=1", "/api/records",
        "/api/records?limit=1000&before=5000", "/api/records"}) {
    pages.push_back(timed_get(port, target, &page_bytes));
    std::printf(
        "GET %s under load: %.0f ms, %zu bytes, RSS now %ld kB\n", target, pages.back(), page_bytes,
        status_kib(pid, "VmRSS:"));
  }

  const long hwm = status_kib(pid, "VmHWM:");
  stop = true;
  trickling.join();
  for (std::thread & thread : huge) {
    thread.join();
  }
  sampler.join();
  std::printf(
      "trickling sockets given up by the dashboard: %ld; huge-header requests ended: %ld\n",
      trickles_ended.load(), huge_refused.load());
  std::printf("dashboard RSS: max sampled %ld kB, peak (VmHWM) %ld kB\n", rss_max.load(), hwm);
  for (const int fd : streams) {
    ::close(fd);
  }
  ::kill(pid, SIGINT);
  ::waitpid(pid, nullptr, 0);
  ::close(out[0]);
  if (own_dir) {
    std::filesystem::remove_all(dir);
  }
  return 0;
}
