// Starts rclcpp_test_peer in a mode and talks to it over its standard output.
#ifndef PEER_PROCESS_HPP_
#define PEER_PROCESS_HPP_

#include <string>
#include <utility>
#include <vector>

#include "child_process.hpp"

class PeerProcess : public layer_test::ChildProcess
{
public:
  explicit PeerProcess(std::vector<std::string> args)
      : ChildProcess(RCLCPP_TEST_PEER, std::move(args))
  {
  }
};

#endif  // PEER_PROCESS_HPP_
