// The interoperability peer: see peer_modes.hpp.
#include <cstdio>
#include <cstring>
#include <exception>

#include "peer_modes.hpp"

namespace {

struct Mode
{
  const char * name;
  int (*run)(int argc, char ** argv);
};

constexpr Mode kModes[] = {
    {"echo", protocol_peer::RunEcho},
    {"call", protocol_peer::RunCall},
    {"pub", protocol_peer::RunPublisher},
    {"sub", protocol_peer::RunSubscriber},
};

}  // namespace

int main(int argc, char ** argv)
{
  if (argc >= 2) {
    for (const Mode & mode : kModes) {
      if (std::strcmp(argv[1], mode.name) == 0) {
        try {
          return mode.run(argc - 1, argv + 1);
        } catch (const std::exception & e) {
          std::fprintf(stderr, "peer: %s failed: %s\n", mode.name, e.what());
          return 2;
        }
      }
    }
  }
  std::fprintf(
      stderr,
      "usage: %s echo | call | pub <name> <qos> <count> [late] | sub <name> <qos> <count>\n",
      argv[0]);
  return 2;
}
