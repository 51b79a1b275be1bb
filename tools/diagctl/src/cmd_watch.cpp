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

// diagctl watch: a live view of what the node announces.
#include <unistd.h>

#include <algorithm>
#include <future>
#include <iostream>

#include <corvanta_protocol/msg/current_failure.hpp>
#include <corvanta_protocol/msg/exception_handle.hpp>
#include <corvanta_protocol/srv/diagnostic_srv.hpp>

#include "diagctl/commands.hpp"
#include "diagctl/diag_srv_payload.hpp"
#include "diagctl/liveness.hpp"
#include "diagctl/output_format.hpp"
#include "diagctl/root_cause_query.hpp"
#include "diagctl/watch_view.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "robot/diag_srv.pb.h"

namespace diagctl {

namespace {

using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::ExceptionHandle;
using corvanta_protocol::srv::DiagnosticSrv;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kTick{100};
constexpr std::chrono::milliseconds kRedrawPeriod{500};
constexpr int kDepth = 10;

struct WatchOptions
{
  bool screen = false;  // redraw a screen, else print plain lines
  bool colour = false;
  std::chrono::milliseconds poll_period{1000};
  std::optional<std::chrono::milliseconds> duration;
  std::chrono::milliseconds timeout{5000};
};

std::vector<std::int32_t> sorted(std::vector<std::int32_t> ids)
{
  std::sort(ids.begin(), ids.end());
  return ids;
}

// Everything runs in the one thread of rclcpp::spin, so the state needs no lock.
class Watcher
{
public:
  Watcher(const RosSession & session, const FaultConfig * config, const WatchOptions & options)
      : session_(session), config_(config), options_(options), started_(Clock::now())
  {
    const auto & node = session.node();
    current_failure_sub_ = node->create_subscription<CurrentFailure>(
        diagnostic_center::contract::kCurrentFailureTopic, rclcpp::QoS(kDepth),
        [this](CurrentFailure::ConstSharedPtr message) { on_current_failure(*message); });
    exception_handle_sub_ = node->create_subscription<ExceptionHandle>(
        diagnostic_center::contract::kExceptionHandleTopic, rclcpp::QoS(kDepth),
        [this](ExceptionHandle::ConstSharedPtr message) { on_exception_handle(*message); });
    client_ = node->create_client<DiagnosticSrv>(kQueryService);
    tick_timer_ = node->create_wall_timer(kTick, [this] { tick(); });
    if (options_.screen) {
      redraw_timer_ = node->create_wall_timer(kRedrawPeriod, [this] { redraw(); });
      redraw();
    }
  }

private:
  void on_current_failure(const CurrentFailure & message)
  {
    const bool was_stale = state_.stale_since.has_value();
    liveness_.on_message(WallClock::now());
    state_.stale_since.reset();
    const bool changed = !state_.current_failures ||
                         sorted(*state_.current_failures) != sorted(message.fault_id_list);
    state_.current_failures = message.fault_id_list;
    if ((changed || was_stale) && !options_.screen) {
      print_line("current_failure", sorted(message.fault_id_list));
    }
  }

  void on_exception_handle(const ExceptionHandle & message)
  {
    state_.add_exception_handle({wall_clock_time(), message.fault_id});
    if (!options_.screen) {
      print_line("exception_handle", {message.fault_id});
    }
  }

  void tick()
  {
    const auto now = Clock::now();
    if (options_.duration && now - started_ >= *options_.duration) {
      rclcpp::shutdown();
      return;
    }
    check_liveness();
    if (pending_) {
      if (pending_->wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        take_answer(pending_->get());
        pending_.reset();
      } else if (now - sent_at_ > options_.timeout) {
        set_root_causes(std::nullopt);
        pending_.reset();
      }
      return;
    }
    if (sent_at_ != Clock::time_point() && now - sent_at_ < options_.poll_period) {
      return;
    }
    sent_at_ = now;
    if (!client_->service_is_ready()) {
      set_root_causes(std::nullopt);
      return;
    }
    auto request = std::make_shared<DiagnosticSrv::Request>();
    request->cmd = diag_srv::QUERY_DIAG_ROOT_CAUSE;
    pending_ = client_->async_send_request(request).future.share();
  }

  // A centre that stopped publishing current_failure is stale: its last
  // failures are no longer current.
  void check_liveness()
  {
    const auto stale_since = liveness_.stale_since(WallClock::now());
    if (!stale_since || state_.stale_since) {
      return;
    }
    state_.stale_since = wall_clock_time(*stale_since);
    if (!options_.screen) {
      print_line("stale since " + *state_.stale_since, {});
    }
  }

  void take_answer(const DiagnosticSrv::Response::SharedPtr & response)
  {
    std::string error;
    auto root_causes = response->result == diag_srv::DIAG_SRV_SUCCESS
                           ? decode_root_causes(response->data, error)
                           : std::nullopt;
    set_root_causes(std::move(root_causes));
  }

  void set_root_causes(std::optional<std::vector<std::int32_t>> root_causes)
  {
    const bool changed = root_causes.has_value() != state_.root_causes.has_value() ||
                         (root_causes && sorted(*root_causes) != sorted(*state_.root_causes));
    const bool first = !root_causes_known_;
    root_causes_known_ = true;
    state_.root_causes = std::move(root_causes);
    if ((changed || first) && !options_.screen) {
      if (state_.root_causes) {
        print_line("root_causes", sorted(*state_.root_causes));
      } else {
        print_line(session_.qualified(kQueryService) + " not answering", {});
      }
    }
  }

  void print_line(const std::string & what, const std::vector<std::int32_t> & ids) const
  {
    std::cout << plain_watch_line(wall_clock_time(), what, ids) << std::endl;
  }

  void redraw() const
  {
    ScreenOptions screen;
    screen.title = session_.node()->get_namespace();
    screen.time = wall_clock_time();
    screen.colour = options_.colour;
    std::cout << render_watch_screen(state_, config_, screen) << std::flush;
  }

  const RosSession & session_;
  const FaultConfig * config_;
  const WatchOptions options_;
  const Clock::time_point started_;
  WatchState state_;
  Liveness liveness_{WallClock::now()};
  bool root_causes_known_ = false;
  std::optional<std::shared_future<DiagnosticSrv::Response::SharedPtr>> pending_;
  Clock::time_point sent_at_;
  rclcpp::Subscription<CurrentFailure>::SharedPtr current_failure_sub_;
  rclcpp::Subscription<ExceptionHandle>::SharedPtr exception_handle_sub_;
  rclcpp::Client<DiagnosticSrv>::SharedPtr client_;
  rclcpp::TimerBase::SharedPtr tick_timer_;
  rclcpp::TimerBase::SharedPtr redraw_timer_;
};

std::optional<std::chrono::milliseconds> seconds_option(
    const ArgParser & parser, const std::string & name, std::string & error)
{
  const auto text = parser.value(name);
  if (!text) {
    return std::nullopt;
  }
  const auto seconds = parse_number(*text);
  if (!seconds || *seconds <= 0 || *seconds > 86400) {
    error = "--" + name + " wants a number of seconds above 0";
    return std::nullopt;
  }
  return std::chrono::milliseconds(static_cast<std::int64_t>(*seconds * 1000));
}

}  // namespace

int run_watch(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl watch [options]",
      "Show what the node announces, live: the current failures (current_failure),\n"
      "which of them are root causes (asked from diagnostic_srv) and the last\n"
      "exception-handle requests (exception_handle). On a terminal the screen is\n"
      "redrawn, root causes in red; piped, one time-stamped line per change:\n"
      "  09:05:07.120 current_failure 1001 1002\n"
      "Runs until Ctrl-C or the --duration has passed.",
      {
          {"params", 'p', "FILE", "the node's parameter file, for descriptions"},
          {"plain", '\0', "", "plain lines even on a terminal"},
          {"no-color", '\0', "", "no colours on the terminal"},
          {"interval", '\0', "SEC", "how often to ask diagnostic_srv (default 1)"},
          {"duration", 'd', "SEC", "stop after SEC seconds"},
      });
  if (const auto exit = parse_or_exit(parser, "watch", arguments)) {
    return *exit;
  }
  std::string error;
  WatchOptions options;
  options.timeout = global.timeout;
  options.screen = isatty(STDOUT_FILENO) != 0 && !parser.has("plain");
  options.colour = options.screen && !parser.has("no-color") && terminal_wants_colour();
  options.duration = seconds_option(parser, "duration", error);
  const auto interval = seconds_option(parser, "interval", error);
  if (!error.empty()) {
    std::cerr << "diagctl watch: " << error << '\n';
    return kExitUsage;
  }
  options.poll_period = interval.value_or(options.poll_period);

  std::optional<FaultConfig> config;
  if (const auto params = parser.value("params")) {
    config = FaultConfig::load_file(*params, error);
    if (!config) {
      std::cerr << "diagctl watch: " << error << '\n';
      return kExitFailure;
    }
  }

  RosSession session(global);
  Watcher watcher(session, config ? &*config : nullptr, options);
  rclcpp::spin(session.node());
  if (options.screen) {
    std::cout << '\n';
  }
  return kExitOk;
}

}  // namespace diagctl
