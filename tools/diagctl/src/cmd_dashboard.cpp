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

// diagctl dashboard: a local, read-only web page of what the node announces
// and what it recorded.
#include <iostream>
#include <thread>

#include <corvanta_protocol/msg/current_failure.hpp>
#include <corvanta_protocol/msg/diagnosis_tree.hpp>
#include <corvanta_protocol/msg/exception_handle.hpp>

#include "diagctl/commands.hpp"
#include "diagctl/dashboard_access.hpp"
#include "diagctl/dashboard_server.hpp"
#include "diagctl/dashboard_state.hpp"
#include "diagctl/domain_list.hpp"
#include "diagctl/fleet_watcher.hpp"
#include "diagctl/ros_session.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::DiagnosisTree;
using corvanta_protocol::msg::ExceptionHandle;

constexpr int kDepth = 10;
constexpr int kDefaultPort = 8080;

// Feeds the state from the node's topics while it lives.
class Listener
{
public:
  Listener(const RosSession & session, DashboardState & state)
  {
    const auto & node = session.node();
    stale_timer_ = node->create_wall_timer(
        std::chrono::seconds(1), [&state] { state.check_stale(WallClock::now()); });
    // As the node publishes it: the last tree, also to a late joiner.
    tree_sub_ = node->create_subscription<DiagnosisTree>(
        diagnostic_center::contract::kDiagnosisTreeTopic,
        rclcpp::QoS(1).reliable().transient_local(),
        [&state](DiagnosisTree::ConstSharedPtr message) { state.set_tree(*message); });
    current_sub_ = node->create_subscription<CurrentFailure>(
        diagnostic_center::contract::kCurrentFailureTopic, rclcpp::QoS(kDepth),
        [&state](CurrentFailure::ConstSharedPtr message) {
          state.set_current({std::chrono::system_clock::now(), *message});
        });
    exception_sub_ = node->create_subscription<ExceptionHandle>(
        diagnostic_center::contract::kExceptionHandleTopic, rclcpp::QoS(kDepth),
        [&state](ExceptionHandle::ConstSharedPtr message) {
          state.add_exception({std::chrono::system_clock::now(), *message});
        });
  }

private:
  rclcpp::Subscription<DiagnosisTree>::SharedPtr tree_sub_;
  rclcpp::Subscription<CurrentFailure>::SharedPtr current_sub_;
  rclcpp::Subscription<ExceptionHandle>::SharedPtr exception_sub_;
  rclcpp::TimerBase::SharedPtr stale_timer_;
};

// --fleet: every robot of the domains, until Ctrl-C.
bool serve_fleet(
    DashboardServer & server, const std::vector<int> & domains, const GlobalOptions & global)
{
  FleetModel model;
  RobotStates robots;
  server.serve_fleet(model, robots);
  FleetWatcher watcher(model, domains, global.ros_namespace, global.ros_arguments, &robots);
  bool served = true;
  std::thread http([&server, &served] { served = server.run(); });
  while (watcher.ok()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    robots.check_stale(WallClock::now());
  }
  server.stop();
  http.join();
  return served;
}

// TLS and the access token as asked for; beyond loopback both are required,
// since the page shows what the robot's modules report to anyone who reaches
// it. An exit code when the server cannot be secured as asked.
std::optional<int> secure(
    const ArgParser & parser, const std::string & address, DashboardServer & server, bool & tls)
{
  const auto certificate = parser.value("tls-cert");
  const auto key = parser.value("tls-key");
  const auto token_file = parser.value("token-file");
  if (certificate.has_value() != key.has_value()) {
    std::cerr << "diagctl dashboard: --tls-cert and --tls-key go together\n";
    return kExitUsage;
  }
  tls = certificate.has_value();
  if (!is_loopback_address(address) && (!tls || !token_file)) {
    std::cerr << "diagctl dashboard: serving on " << address
              << ", beyond loopback, needs TLS and an access token: --tls-cert FILE "
                 "--tls-key FILE --token-file FILE (see diagctl's README)\n";
    return kExitUsage;
  }
  std::string error;
  if (tls && !server.use_tls(*certificate, *key, error)) {
    std::cerr << "diagctl dashboard: " << error << '\n';
    return kExitFailure;
  }
  if (token_file) {
    const auto token = read_token_file(*token_file, error);
    if (!token) {
      std::cerr << "diagctl dashboard: " << error << '\n';
      return kExitFailure;
    }
    server.require_token(*token);
  }
  return std::nullopt;
}

}  // namespace

int run_dashboard(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl dashboard [options] [FILE_OR_DIR...]",
      "Serve a read-only web page of the node: the diagnosis tree (diagnosis_tree),\n"
      "the current failures, the last exception-handle requests and the fault\n"
      "records, live. The records are read as 'diagctl records' reads them: the\n"
      "paths given, else the record directory of --params, else the node's\n"
      "default directory. The first line printed is the page's address.\n"
      "With --fleet, the page lists every robot of the domains instead, as\n"
      "'diagctl fleet' finds them; a click on one shows its tree.\n"
      "Beyond loopback (--bind other than 127.0.0.1, ::1 or localhost) the page\n"
      "is served over TLS only, to holders of the access token in --token-file\n"
      "(a file readable by its owner only): open https://HOST:PORT/?token=TOKEN\n"
      "once, or send 'Authorization: Bearer TOKEN'.\n"
      "Runs until Ctrl-C.",
      {
          {"bind", 'b', "ADDR", "address to listen on (default 127.0.0.1)"},
          {"port", '\0', "N", "port to listen on (default 8080; 0: any free one)"},
          {"params", 'p', "FILE", "the node's parameter file: record directory and descriptions"},
          {"latest", 'l', "", "of each record directory, read only the newest file"},
          {"fleet", '\0', "", "every robot of the domains (see 'diagctl fleet'), not one node"},
          {"domains", '\0', "LIST", "with --fleet: domain ids and ranges, e.g. 0,3-7"},
          {"tls-cert", '\0', "FILE", "serve HTTPS with this PEM certificate (chain)"},
          {"tls-key", '\0', "FILE", "the PEM private key of --tls-cert"},
          {"token-file", '\0', "FILE", "require the access token in FILE (mode 600)"},
      });
  if (const auto exit = parse_or_exit(parser, "dashboard", arguments)) {
    return *exit;
  }
  const std::string address = parser.value("bind").value_or("127.0.0.1");
  const auto port = parse_integer(parser.value("port").value_or(std::to_string(kDefaultPort)));
  if (!port || *port < 0 || *port > 65535) {
    std::cerr << "diagctl dashboard: --port wants a number from 0 to 65535\n";
    return kExitUsage;
  }

  std::string error;
  std::optional<std::vector<int>> domains;
  if (parser.has("fleet")) {
    domains = chosen_domains(parser.value("domains"), global, error);
  } else if (parser.has("domains")) {
    error = "--domains goes with --fleet";
  }
  if (!error.empty()) {
    std::cerr << "diagctl dashboard: " << error << '\n';
    return kExitUsage;
  }
  std::optional<FaultConfig> config;
  if (const auto params = parser.value("params")) {
    config = FaultConfig::load_file(*params, error);
    if (!config) {
      std::cerr << "diagctl dashboard: " << error << '\n';
      return kExitFailure;
    }
  }
  const FaultConfig * config_ptr = config ? &*config : nullptr;

  DashboardState state;
  DashboardServer server(
      state, RecordSource::make(parser.positionals(), parser.has("latest"), config_ptr),
      config_ptr);
  bool tls = false;
  if (const auto exit = secure(parser, address, server, tls)) {
    return *exit;
  }
  const auto bound = server.bind(address, static_cast<int>(*port));
  if (!bound) {
    std::cerr << "diagctl dashboard: cannot listen on " << address << " port " << *port << '\n';
    return kExitFailure;
  }
  std::cout << "dashboard: " << dashboard_url(address, *bound, tls) << std::endl;
  if (domains) {
    if (!serve_fleet(server, *domains, global)) {
      std::cerr << "diagctl dashboard: the server stopped with an error\n";
      return kExitFailure;
    }
    return kExitOk;
  }

  RosSession session(global);
  Listener listener(session, state);
  bool served = true;
  std::thread http([&server, &served] { served = server.run(); });
  rclcpp::spin(session.node());
  server.stop();
  http.join();
  if (!served) {
    std::cerr << "diagctl dashboard: the server stopped with an error\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace diagctl
