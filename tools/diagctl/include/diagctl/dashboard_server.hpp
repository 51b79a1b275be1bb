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

// The dashboard's HTTP side: the compiled-in page, the JSON endpoints and the
// event stream, read-only (GET and HEAD; anything else gets 405).
#ifndef DIAGCTL__DASHBOARD_SERVER_HPP_
#define DIAGCTL__DASHBOARD_SERVER_HPP_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "diagctl/dashboard_state.hpp"
#include "diagctl/fault_config.hpp"
#include "diagctl/fleet_model.hpp"
#include "diagctl/record_cache.hpp"
#include "diagctl/record_source.hpp"
#include "diagctl/robot_states.hpp"

namespace diagctl {

class FrontServer;

// Bounds on what the dashboard's clients may send and hold.
struct FrontLimits
{
  // From a connection's accept to the last byte of its request.
  std::chrono::milliseconds request_deadline{10000};
  std::size_t max_head_bytes = 16384;   // request line and headers, CRLFs included
  std::size_t max_target_bytes = 4096;  // the request target (path and query)
  std::size_t max_headers = 64;
  std::size_t max_body_bytes = 4096;  // the dashboard takes none, but answers them
  std::size_t request_threads = 4;
  std::size_t max_streams = 128;  // event streams: a thread each
  // Connections still sending their request or waiting for a thread.
  std::size_t max_pending = 256;
  std::chrono::milliseconds write_timeout{5000};
};

class DashboardServer
{
public:
  // `state`, `source` and `config` (may be null) must outlive the server.
  DashboardServer(
      DashboardState & state, RecordSource source, const FaultConfig * config,
      FrontLimits limits = FrontLimits());
  ~DashboardServer();

  DashboardServer(const DashboardServer &) = delete;
  DashboardServer & operator=(const DashboardServer &) = delete;

  // Binds to `address`:`port` (0: a free port). Returns the port bound, or
  // nothing when the address cannot be used. Bound to a loopback address, the
  // server answers only requests that name a loopback host, so that a web
  // page elsewhere cannot reach it through a name that resolves to loopback;
  // bound to any other address, requests from a loopback peer still obey
  // that rule.
  std::optional<int> bind(const std::string & address, int port);
  // Serves a fleet too: /api/fleet (the `diagctl fleet --json` document) and
  // each robot's live documents at /api/robot/tree, /api/robot/current and
  // /api/robot/exceptions?domain=D&ns=NS, shaped as /api/tree and the others.
  // Both must outlive the server; call before run().
  void serve_fleet(const FleetModel & model, RobotStates & robots);
  // Serves HTTPS with the PEM certificate (chain) and key; before run().
  // False and `error` when they cannot be used.
  bool use_tls(
      const std::string & certificate_file, const std::string & key_file, std::string & error);
  // Every request must then carry `token` (see dashboard_access.hpp), else it
  // is answered 401; before run().
  void require_token(std::string token);
  // Serves until stop(); false when serving failed. Returns at once when
  // stop() came first.
  bool run();
  // Ends run(), also from another thread and also before run() began, and
  // every open event stream.
  void stop();

private:
  void add_routes();

  DashboardState & state_;
  RecordCache records_;
  const FaultConfig * const config_;
  std::unique_ptr<FrontServer> server_;
  std::string token_;  // empty: none required
  std::atomic<bool> loopback_only_{false};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> run_entered_{false};
  std::atomic<bool> run_returned_{false};
};

// Whether the host of a Host header ("localhost:8080", "[::1]:80",
// "127.0.0.1") is a loopback name or address.
bool is_loopback_host(const std::string & host_header);

// "http://127.0.0.1:8080/" ("https://" with `tls`); IPv6 addresses in
// brackets.
std::string dashboard_url(const std::string & address, int port, bool tls = false);

}  // namespace diagctl

#endif  // DIAGCTL__DASHBOARD_SERVER_HPP_
