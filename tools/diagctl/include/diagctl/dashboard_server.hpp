// The dashboard's HTTP side: the compiled-in page, the JSON endpoints and the
// event stream, read-only (GET and HEAD; anything else gets 405).
#ifndef DIAGCTL__DASHBOARD_SERVER_HPP_
#define DIAGCTL__DASHBOARD_SERVER_HPP_

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "diagctl/dashboard_state.hpp"
#include "diagctl/fault_config.hpp"
#include "diagctl/record_cache.hpp"
#include "diagctl/record_source.hpp"

namespace httplib {
class Server;
}

namespace diagctl {

class DashboardServer
{
public:
  // `state`, `source` and `config` (may be null) must outlive the server.
  DashboardServer(DashboardState & state, RecordSource source, const FaultConfig * config);
  ~DashboardServer();

  DashboardServer(const DashboardServer &) = delete;
  DashboardServer & operator=(const DashboardServer &) = delete;

  // Binds to `address`:`port` (0: a free port). Returns the port bound, or
  // nothing when the address cannot be used. Bound to a loopback address, the
  // server answers only requests that name a loopback host, so that a web
  // page elsewhere cannot reach it through a name that resolves to loopback.
  std::optional<int> bind(const std::string & address, int port);
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
  std::unique_ptr<httplib::Server> server_;
  std::atomic<bool> loopback_only_{false};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> run_entered_{false};
  std::atomic<bool> run_returned_{false};
};

// Whether the host of a Host header ("localhost:8080", "[::1]:80",
// "127.0.0.1") is a loopback name or address.
bool is_loopback_host(const std::string & host_header);

// "http://127.0.0.1:8080/"; IPv6 addresses in brackets.
std::string dashboard_url(const std::string & address, int port);

}  // namespace diagctl

#endif  // DIAGCTL__DASHBOARD_SERVER_HPP_
