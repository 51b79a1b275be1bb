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

// diagctl tree: the node's diagnosis tree, once or live.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include <corvanta_protocol/msg/current_failure.hpp>

#include "diagctl/commands.hpp"
#include "diagctl/liveness.hpp"
#include "diagctl/output_format.hpp"
#include "diagctl/ros_session.hpp"
#include "diagctl/tree_view.hpp"
#include "diagctl/watch_view.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

using corvanta_protocol::msg::CurrentFailure;

// The node's publisher is transient local: the last tree stays with the
// writer for late joiners.
constexpr const char * kDiagnosisTreeTopic = diagnostic_center::contract::kDiagnosisTreeTopic;
constexpr std::chrono::seconds kAgeRefreshPeriod{1};
// The node keeps one tree for late joiners; a reader queue a little deeper
// keeps trees that come in quick succession for --watch. Depth plays no part
// in matching.
constexpr std::size_t kDepth = 10;

struct TreeOptions
{
  bool json = false;
  bool watch = false;
  bool screen = false;  // a terminal: redraw in place
  TreeTextOptions text;
  std::chrono::milliseconds timeout{5000};
};

// Everything runs in the one thread of rclcpp::spin, so the state needs no lock.
class TreeFollower
{
public:
  TreeFollower(const RosSession & session, const TreeOptions & options)
      : session_(session), options_(options)
  {
    const auto & node = session.node();
    subscription_ = node->create_subscription<DiagnosisTree>(
        kDiagnosisTreeTopic, rclcpp::QoS(kDepth).reliable().transient_local(),
        [this](DiagnosisTree::ConstSharedPtr tree) { on_tree(*tree); });
    deadline_timer_ = node->create_wall_timer(options.timeout, [this] { on_deadline(); });
    if (options_.watch) {
      // The tree comes only when it changes; the periodic current_failure
      // tells whether the centre is still there.
      current_failure_subscription_ = node->create_subscription<CurrentFailure>(
          diagnostic_center::contract::kCurrentFailureTopic, rclcpp::QoS(kDepth),
          [this](CurrentFailure::ConstSharedPtr) { on_current_failure(); });
      liveness_timer_ = node->create_wall_timer(kAgeRefreshPeriod, [this] { check_liveness(); });
    }
    if (options_.screen) {
      redraw_timer_ = node->create_wall_timer(kAgeRefreshPeriod, [this] { redraw(); });
      redraw();
    }
  }

  bool received() const { return tree_.has_value(); }
  bool timed_out() const { return timed_out_; }

private:
  void on_tree(const DiagnosisTree & tree)
  {
    if (tree_ && !options_.watch) {
      return;  // printed once already; the spin is ending
    }
    tree_ = tree;
    const auto now = std::chrono::system_clock::now();
    if (options_.screen) {
      redraw();
    } else if (options_.json) {
      std::cout << tree_json(tree, now) << std::endl;
    } else {
      if (options_.watch) {
        std::cout << "---- " << wall_clock_time() << '\n';
      }
      std::cout << tree_text(tree, now, options_.text) << std::flush;
    }
    if (!options_.watch) {
      rclcpp::shutdown();
    }
  }

  void on_current_failure()
  {
    liveness_.on_message(WallClock::now());
    if (stale_since_) {
      stale_since_.reset();
      if (!options_.screen && !options_.json) {
        std::cout << wall_clock_time() << " current_failure again: the centre is back" << std::endl;
      }
    }
  }

  // Once current_failure has stopped the last tree is no longer current:
  // said once, on the screen above the tree, piped as a line of its own
  // (not with --json, whose lines are trees).
  void check_liveness()
  {
    const auto stale_since = liveness_.stale_since(WallClock::now());
    if (!stale_since || stale_since_) {
      return;
    }
    stale_since_ = wall_clock_time(*stale_since);
    if (options_.screen) {
      redraw();
    } else if (!options_.json) {
      std::cout << wall_clock_time() << " stale since " << *stale_since_
                << ": current_failure stopped, the last tree may be out of date" << std::endl;
    }
  }

  void on_deadline()
  {
    deadline_timer_->cancel();
    if (!tree_) {
      timed_out_ = true;
      rclcpp::shutdown();
    }
  }

  void redraw() const
  {
    std::string text = tree_ ? tree_text(*tree_, std::chrono::system_clock::now(), options_.text)
                             : "waiting for " + session_.qualified(kDiagnosisTreeTopic) + "\n";
    if (stale_since_) {
      text = "STALE since " + *stale_since_ +
             ": current_failure stopped (three periods without one); the last tree heard:\n\n" +
             text;
    }
    std::cout << tree_screen(
                     text, session_.node()->get_namespace(), wall_clock_time(),
                     options_.text.colour)
              << std::flush;
  }

  const RosSession & session_;
  const TreeOptions options_;
  std::optional<DiagnosisTree> tree_;
  bool timed_out_ = false;
  Liveness liveness_{WallClock::now()};
  std::optional<std::string> stale_since_;  // local time, once stale
  rclcpp::Subscription<DiagnosisTree>::SharedPtr subscription_;
  rclcpp::Subscription<CurrentFailure>::SharedPtr current_failure_subscription_;
  rclcpp::TimerBase::SharedPtr liveness_timer_;
  rclcpp::TimerBase::SharedPtr deadline_timer_;
  rclcpp::TimerBase::SharedPtr redraw_timer_;
};

}  // namespace

int run_tree(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl tree [options]",
      "Print the node's current diagnosis tree (diagnosis_tree): each root cause\n"
      "with the failures it caused indented below it, with description, module and\n"
      "age. Waits up to the timeout for the tree and fails (status 1) when none\n"
      "comes. With --watch, prints every new tree until Ctrl-C: on a terminal the\n"
      "screen is redrawn and the ages refreshed every second; piped, each tree\n"
      "follows a \"---- HH:MM:SS.mmm\" line.",
      {
          {"json", '\0', "", "print the tree as JSON (with --watch: one document a line)"},
          {"watch", 'w', "", "follow the tree until Ctrl-C"},
          {"plain", '\0', "", "plain ASCII, no redrawn screen, even on a terminal"},
          {"no-color", '\0', "", "no colours on the terminal"},
      });
  if (const auto exit = parse_or_exit(parser, "tree", arguments)) {
    return *exit;
  }
  TreeOptions options;
  options.json = parser.has("json");
  options.watch = parser.has("watch");
  options.timeout = global.timeout;
  const bool terminal = isatty(STDOUT_FILENO) != 0 && !parser.has("plain") && !options.json;
  options.screen = terminal && options.watch;
  options.text.box_drawing = terminal;
  options.text.colour = terminal && !parser.has("no-color") && terminal_wants_colour();

  RosSession session(global);
  TreeFollower follower(session, options);
  rclcpp::spin(session.node());
  if (options.screen) {
    std::cout << '\n';
  }
  if (follower.timed_out()) {
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), "%g", global.timeout.count() / 1000.0);
    std::cerr << "diagctl tree: no tree on " << session.qualified(kDiagnosisTreeTopic) << " within "
              << seconds << " s: " << kNodeNotFoundHint << '\n';
    return kExitFailure;
  }
  // Ctrl-C ends a watch well; a single print that never came failed.
  return options.watch || follower.received() ? kExitOk : kExitFailure;
}

}  // namespace diagctl
