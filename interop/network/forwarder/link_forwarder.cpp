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

// link_forwarder: joins two network interfaces of one namespace like a wire
// with faults. Every frame that comes in on one link (unicast, multicast,
// ARP alike) goes out of the other, unless it is lost, after the delay drawn
// for it; the link can be cut and restored at run time by signals. See
// ForwarderUsage() for the options.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "fault_draws.hpp"
#include "forwarder_options.hpp"
#include "held_frames.hpp"
#include "packet_link.hpp"

namespace link_forwarder {
namespace {

using Clock = std::chrono::steady_clock;

struct DirectionCounters
{
  std::uint64_t received = 0;
  std::uint64_t forwarded = 0;
  std::uint64_t lost = 0;
  std::uint64_t cut = 0;
  std::uint64_t overflow = 0;
  std::uint64_t truncated = 0;
  std::uint64_t failed = 0;
};

// The signals that steer the forwarder, read from a descriptor in the loop
// rather than in handlers.
class SignalChannel
{
public:
  SignalChannel()
  {
    sigemptyset(&set_);
    for (int signal_number : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2, SIGHUP}) {
      sigaddset(&set_, signal_number);
    }
    if (sigprocmask(SIG_BLOCK, &set_, nullptr) != 0) {
      throw std::runtime_error(std::string("cannot block signals: ") + std::strerror(errno));
    }
    fd_ = signalfd(-1, &set_, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
      throw std::runtime_error(std::string("signalfd failed: ") + std::strerror(errno));
    }
  }
  ~SignalChannel() { close(fd_); }
  SignalChannel(const SignalChannel &) = delete;
  SignalChannel & operator=(const SignalChannel &) = delete;

  int fd() const { return fd_; }

  // The next pending signal, or 0.
  int Next()
  {
    signalfd_siginfo info{};
    if (read(fd_, &info, sizeof(info)) != static_cast<ssize_t>(sizeof(info))) {
      return 0;
    }
    return static_cast<int>(info.ssi_signo);
  }

private:
  sigset_t set_{};
  int fd_ = -1;
};

class Forwarder
{
public:
  Forwarder(const ForwarderOptions & options, std::uint64_t seed)
      : options_(options),
        links_{
            std::make_unique<PacketLink>(options.link_a),
            std::make_unique<PacketLink>(options.link_b)},
        held_(options.max_held_frames, options.max_held_bytes),
        draws_(seed),
        cut_(options.start_cut)
  {
  }

  // Forwards until SIGTERM or SIGINT.
  void Run()
  {
    std::vector<std::uint8_t> buffer(PacketLink::kBufferSize);
    while (!stopping_) {
      WaitForWork();
      HandleSignals();
      for (std::size_t from = 0; from < 2; ++from) {
        Drain(from, buffer);
      }
      ReleaseDue(Clock::now());
    }
  }

  void PrintCounters() const
  {
    const char * names[] = {"a_to_b", "b_to_a"};
    for (std::size_t d = 0; d < 2; ++d) {
      const DirectionCounters & c = counters_[d];
      std::fprintf(
          stderr,
          "link_forwarder: counters %s received=%" PRIu64 " forwarded=%" PRIu64 " lost=%" PRIu64
          " cut=%" PRIu64 " overflow=%" PRIu64 " truncated=%" PRIu64 " failed=%" PRIu64 "\n",
          names[d], c.received, c.forwarded, c.lost, c.cut, c.overflow, c.truncated, c.failed);
    }
    std::fflush(stderr);
  }

private:
  void WaitForWork()
  {
    std::array<pollfd, 3> fds{{
        {links_[0]->fd(), POLLIN, 0},
        {links_[1]->fd(), POLLIN, 0},
        {signals_.fd(), POLLIN, 0},
    }};
    timespec timeout{};
    timespec * wait = nullptr;  // no frame held: until something comes
    if (const auto due = held_.NextDue()) {
      const auto left = std::max(Clock::duration::zero(), *due - Clock::now());
      const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      timeout.tv_sec = static_cast<time_t>(nanoseconds / 1000000000);
      timeout.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
      wait = &timeout;
    }
    if (ppoll(fds.data(), fds.size(), wait, nullptr) < 0 && errno != EINTR) {
      throw std::runtime_error(std::string("poll failed: ") + std::strerror(errno));
    }
  }

  void HandleSignals()
  {
    while (const int signal_number = signals_.Next()) {
      switch (signal_number) {
        case SIGUSR1:
          Cut();
          break;
        case SIGUSR2:
          cut_ = false;
          std::fprintf(stderr, "link_forwarder: restored\n");
          break;
        case SIGHUP:
          PrintCounters();
          break;
        default:
          stopping_ = true;
      }
      std::fflush(stderr);
    }
  }

  // A cut link loses what is on it as well as what comes.
  void Cut()
  {
    cut_ = true;
    const auto dropped = held_.DropAll();
    counters_[0].cut += dropped[0];
    counters_[1].cut += dropped[1];
    std::fprintf(stderr, "link_forwarder: cut\n");
  }

  // Takes what waits on one link, a bounded batch so that held frames that
  // fall due are not kept waiting by a flood.
  void Drain(std::size_t from, std::vector<std::uint8_t> & buffer)
  {
    constexpr int kBatch = 256;
    DirectionCounters & counters = counters_[from];
    const Impairment & impairment = from == 0 ? options_.a_to_b : options_.b_to_a;
    for (int i = 0; i < kBatch; ++i) {
      const auto reception = links_[from]->Receive(buffer);
      if (reception.outcome == PacketLink::Outcome::kNothing) {
        return;
      }
      if (reception.outcome == PacketLink::Outcome::kOwnFrame) {
        continue;
      }
      ++counters.received;
      if (reception.outcome == PacketLink::Outcome::kTruncated) {
        ++counters.truncated;
        continue;
      }
      if (cut_) {
        ++counters.cut;
        continue;
      }
      const auto delay = draws_.Draw(impairment);
      if (!delay) {
        ++counters.lost;
        continue;
      }
      HeldFrame frame{
          Clock::now() + *delay, static_cast<Direction>(from),
          std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + reception.size)};
      if (!held_.Hold(std::move(frame))) {
        ++counters.overflow;
      }
    }
  }

  void ReleaseDue(Clock::time_point now)
  {
    while (auto frame = held_.TakeDue(now)) {
      const auto from = static_cast<std::size_t>(frame->direction);
      PacketLink & to = *links_[1 - from];
      const int error = to.Send(frame->bytes);
      if (error == 0) {
        ++counters_[from].forwarded;
        continue;
      }
      ++counters_[from].failed;
      if (error == ENETDOWN || error == ENXIO) {
        continue;  // the link is set down: a cut of another kind
      }
      if (!reported_send_error_) {
        reported_send_error_ = true;
        std::fprintf(
            stderr, "link_forwarder: sending on %s failed: %s (counted from now on)\n",
            to.name().c_str(), std::strerror(error));
      }
    }
  }

  const ForwarderOptions options_;
  SignalChannel signals_;
  std::array<std::unique_ptr<PacketLink>, 2> links_;
  HeldFrames held_;
  FaultDraws draws_;
  std::array<DirectionCounters, 2> counters_{};
  bool cut_ = false;
  bool stopping_ = false;
  bool reported_send_error_ = false;
};

std::string Milliseconds(std::chrono::microseconds value)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%g", static_cast<double>(value.count()) / 1000.0);
  return text;
}

int Main(int argc, char ** argv)
{
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    std::fputs(ForwarderUsage().c_str(), stdout);
    return 0;
  }
  ForwarderOptions options;
  try {
    options = ParseForwarderOptions(arguments);
  } catch (const OptionError & error) {
    std::fprintf(stderr, "link_forwarder: %s\n", error.what());
    return 2;
  }
  const std::uint64_t seed = options.seed ? *options.seed : std::random_device()();
  try {
    Forwarder forwarder(options, seed);
    std::fprintf(
        stderr,
        "link_forwarder: forwarding %s <-> %s, loss %g (a to b) %g (b to a), delay %s +- %s ms, "
        "seed %" PRIu64 "%s\n",
        options.link_a.c_str(), options.link_b.c_str(), options.a_to_b.loss, options.b_to_a.loss,
        Milliseconds(options.a_to_b.delay).c_str(), Milliseconds(options.a_to_b.jitter).c_str(),
        seed, options.start_cut ? ", cut" : "");
    std::fflush(stderr);
    forwarder.Run();
    forwarder.PrintCounters();
  } catch (const std::exception & error) {
    std::fprintf(stderr, "link_forwarder: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace link_forwarder

int main(int argc, char ** argv) { return link_forwarder::Main(argc, argv); }
