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

#include "diagctl/dashboard_server.hpp"

#include <arpa/inet.h>
#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <thread>

#include "diagctl/dashboard_access.hpp"
#include "diagctl/dashboard_api.hpp"
#include "diagctl/fleet_view.hpp"
#include "diagctl/http_front.hpp"
#include "diagctl/web_assets.hpp"

namespace diagctl {

namespace {

constexpr const char * kJson = "application/json; charset=utf-8";
constexpr const char * kEventsPath = "/api/events";
// A comment line this often lets the stream notice a page that went away.
constexpr std::chrono::milliseconds kHeartbeat{10000};

void send_json(httplib::Response & response, int status, const std::string & body)
{
  response.status = status;
  response.set_header("Cache-Control", "no-store");
  response.set_content(body, kJson);
}

// Tells the page that something changed; it fetches what it shows again.
std::string change_event(std::uint64_t version)
{
  return "event: change\ndata: " + std::to_string(version) + "\n\n";
}

void send_asset(httplib::Response & response, const WebAsset & asset)
{
  response.set_header("Cache-Control", "no-cache");
  response.set_content(asset.body.data(), asset.body.size(), std::string(asset.content_type));
}

// What the library's own error statuses mean here.
std::string error_message(int status, const httplib::Request & request)
{
  switch (status) {
    case 404:
      return "no such page: " + request.path;
    case 400:
      return "bad request";
    case 413:
      return "request too large";
    case 414:
      return "request target too long";
    case 416:
      return "range not satisfiable";
    case 500:
      return "internal error";
    case 401:
      return "access token required";
    case 503:
      return "busy, try again";
    default:
      return std::string(status_reason(status));
  }
}

// Whether the request carries the token: as a bearer token or as the cookie.
bool carries_token(const httplib::Request & request, const std::string & token)
{
  const std::string bearer = bearer_token(request.get_header_value("Authorization"));
  return same_secret(
      bearer.empty() ? cookie_value(request.get_header_value("Cookie"), kTokenCookie) : bearer,
      token);
}

void refuse_unauthorised(httplib::Response & response, const std::string & why)
{
  response.set_header("WWW-Authenticate", "Bearer");
  send_json(
      response, 401,
      error_document(
          why + ": send 'Authorization: Bearer <token>', or open /?token=<token> once in the "
                "browser"));
}

}  // namespace

bool is_loopback_host(const std::string & host_header)
{
  std::string host = host_header;
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) {
    return static_cast<char>(std::tolower(c));
  });
  if (!host.empty() && host.front() == '[') {  // [IPv6]:port
    host = host.substr(1, host.find(']') - 1);
    return host == "::1";
  }
  host = host.substr(0, host.find(':'));
  if (host == "localhost") {
    return true;
  }
  in_addr address{};
  return inet_pton(AF_INET, host.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

DashboardServer::DashboardServer(
    DashboardState & state, RecordSource source, const FaultConfig * config, FrontLimits limits)
    : state_(state),
      records_(std::move(source)),
      config_(config),
      server_(std::make_unique<FrontServer>(limits, kEventsPath))
{
  add_routes();
}

DashboardServer::~DashboardServer() { stop(); }

std::optional<int> DashboardServer::bind(const std::string & address, int port)
{
  loopback_only_ = is_loopback_address(address);
  const int bound = port == 0 ? server_->bind_to_any_port(address)
                              : (server_->bind_to_port(address, port) ? port : -1);
  return bound > 0 ? std::optional<int>(bound) : std::nullopt;
}

bool DashboardServer::use_tls(
    const std::string & certificate_file, const std::string & key_file, std::string & error)
{
  auto context = TlsContext::load(certificate_file, key_file, error);
  if (!context) {
    return false;
  }
  server_->use_tls(std::move(context));
  return true;
}

void DashboardServer::require_token(std::string token) { token_ = std::move(token); }

bool DashboardServer::run()
{
  run_entered_ = true;
  const bool served = stopping_ || server_->listen_after_bind();
  run_returned_ = true;
  return served;
}

void DashboardServer::stop()
{
  stopping_ = true;
  state_.stop();
  // The library ignores a stop() that comes before it is listening: wait for
  // that, unless run() has not begun (it sees stopping_ then) or is over.
  if (run_entered_) {
    while (!server_->is_running() && !run_returned_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  server_->stop();
  // The streams were told to end by state_.stop() above.
  server_->shut_down();
}

void DashboardServer::add_routes()
{
  // Read-only: nothing but GET (and HEAD, which the library answers with the
  // GET handler, without a body) reaches a handler.
  server_->set_pre_routing_handler([this](
                                       const httplib::Request & request,
                                       httplib::Response & response) {
    // A page on a loopback peer could reach a wildcard bind through a name
    // that resolves to loopback just as well as a loopback bind.
    if ((loopback_only_ || is_loopback_address(request.remote_addr)) &&
        !is_loopback_host(request.get_header_value("Host"))) {
      send_json(
          response, 403,
          error_document(
              "host " + request.get_header_value("Host") +
              " refused: this dashboard answers loopback names only"));
      return httplib::Server::HandlerResponse::Handled;
    }
    if (!token_.empty() && request.path == "/" && request.has_param("token")) {
      if (!same_secret(request.get_param_value("token"), token_)) {
        refuse_unauthorised(response, "wrong access token");
        return httplib::Server::HandlerResponse::Handled;
      }
      // The cookie from now on; the redirect takes the token out of the
      // address bar and the history.
      response.status = 303;
      response.set_header("Location", "/");
      response.set_header("Set-Cookie", token_cookie(token_));
      response.set_header("Cache-Control", "no-store");
      response.set_header("Referrer-Policy", "no-referrer");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (!token_.empty() && !carries_token(request, token_)) {
      refuse_unauthorised(response, "access token required");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (request.method == "GET" || request.method == "HEAD") {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    response.set_header("Allow", "GET, HEAD");
    send_json(
        response, 405,
        error_document("method " + request.method + " not allowed: this dashboard is read-only"));
    return httplib::Server::HandlerResponse::Handled;
  });

  server_->Get("/api/tree", [this](const httplib::Request &, httplib::Response & response) {
    const auto document = tree_document(state_.snapshot(), std::chrono::system_clock::now());
    if (document) {
      send_json(response, 200, *document);
    } else {
      send_json(response, 503, error_document("no diagnosis tree received yet"));
    }
  });
  server_->Get("/api/current", [this](const httplib::Request &, httplib::Response & response) {
    send_json(response, 200, current_document(state_.snapshot(), config_));
  });
  server_->Get("/api/exceptions", [this](const httplib::Request &, httplib::Response & response) {
    send_json(response, 200, exceptions_document(state_.snapshot(), config_));
  });
  server_->Get(
      "/api/records", [this](const httplib::Request & request, httplib::Response & response) {
        std::string error;
        const auto query = parse_records_query(request.params, error);
        if (!query) {
          send_json(response, 400, error_document(error));
          return;
        }
        const RecordsPage page = records_.page(query->filter, query->limit, query->before);
        send_json(response, 200, records_document(page, state_.snapshot().modules));
      });
  server_->Get(kEventsPath, [this](const httplib::Request &, httplib::Response & response) {
    response.set_header("Cache-Control", "no-store");
    auto seen = std::make_shared<std::uint64_t>(std::numeric_limits<std::uint64_t>::max());
    response.set_chunked_content_provider(
        "text/event-stream", [this, seen](std::size_t, httplib::DataSink & sink) {
          std::string chunk;
          if (*seen == std::numeric_limits<std::uint64_t>::max()) {
            *seen = state_.version();
            chunk = "retry: 1000\n\n" + change_event(*seen);
          } else {
            const std::uint64_t version = state_.wait_for_change(*seen, kHeartbeat);
            if (state_.stopped()) {
              sink.done();
              return true;
            }
            chunk = version == *seen ? ": idle\n\n" : change_event(version);
            *seen = version;
          }
          return sink.write(chunk.data(), chunk.size());
        });
  });
  server_->set_error_handler([](const httplib::Request & request, httplib::Response & response) {
    if (response.body.empty()) {
      send_json(response, response.status, error_document(error_message(response.status, request)));
    }
  });
  server_->set_exception_handler(
      [](const httplib::Request &, httplib::Response & response, std::exception_ptr thrown) {
        std::string what = "unknown error";
        try {
          std::rethrow_exception(thrown);
        } catch (const std::exception & error) {
          what = error.what();
        } catch (...) {
        }
        send_json(response, 500, error_document("internal error: " + what));
      });

  server_->Get("/", [](const httplib::Request &, httplib::Response & response) {
    send_asset(response, *find_web_asset("/index.html"));
  });
  server_->Get(
      R"(/[A-Za-z0-9_.\-]+)", [](const httplib::Request & request, httplib::Response & response) {
        if (const WebAsset * asset = find_web_asset(request.path)) {
          send_asset(response, *asset);
        } else {
          response.status = 404;
        }
      });
}

void DashboardServer::serve_fleet(const FleetModel & model, RobotStates & robots)
{
  server_->Get("/api/fleet", [&model](const httplib::Request &, httplib::Response & response) {
    send_json(response, 200, fleet_json(model.snapshot(WallClock::now())));
  });
  // The single-robot documents, of the robot the query names.
  const auto robot_route = [this, &robots](const char * path, auto document) {
    server_->Get(
        path, [&robots, document](const httplib::Request & request, httplib::Response & response) {
          std::string error;
          const auto key = parse_robot_query(request.params, error);
          if (!key) {
            send_json(response, 400, error_document(error));
            return;
          }
          DashboardState * state = robots.find(*key);
          if (!state) {
            send_json(
                response, 404,
                error_document(
                    "no robot " + key->ns + " on domain " + std::to_string(key->domain) +
                    " heard yet"));
            return;
          }
          document(state->snapshot(), response);
        });
  };
  robot_route(
      "/api/robot/tree", [](const DashboardSnapshot & snapshot, httplib::Response & response) {
        const auto document = tree_document(snapshot, std::chrono::system_clock::now());
        if (document) {
          send_json(response, 200, *document);
        } else {
          send_json(response, 503, error_document("no diagnosis tree received yet"));
        }
      });
  robot_route(
      "/api/robot/current",
      [this](const DashboardSnapshot & snapshot, httplib::Response & response) {
        send_json(response, 200, current_document(snapshot, config_));
      });
  robot_route(
      "/api/robot/exceptions",
      [this](const DashboardSnapshot & snapshot, httplib::Response & response) {
        send_json(response, 200, exceptions_document(snapshot, config_));
      });
}

std::string dashboard_url(const std::string & address, int port, bool tls)
{
  const bool ipv6 = address.find(':') != std::string::npos;
  return (tls ? "https://" : "http://") + (ipv6 ? "[" + address + "]" : address) + ":" +
         std::to_string(port) + "/";
}

}  // namespace diagctl
