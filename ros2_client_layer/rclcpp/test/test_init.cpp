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

// Context life cycle: init, shutdown, ok, shutdown callbacks, domain ids and
// the SIGINT/SIGTERM handling that ends spin.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "layer_test_support.hpp"
#include "peer_process.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;

namespace {

TEST(InitTest, InitShutdownOkAndCallbacks)
{
  EXPECT_FALSE(rclcpp::ok());
  rclcpp::init(0, nullptr);
  EXPECT_TRUE(rclcpp::ok());
  EXPECT_TRUE(rclcpp::signal_handlers_installed());
  EXPECT_EQ(rclcpp::SignalHandlerOptions::All, rclcpp::get_current_signal_handler_options());
  EXPECT_EQ(
      layer_test::what_of<rclcpp::ContextAlreadyInitialized>([] { rclcpp::init(0, nullptr); }),
      "context is already initialized");

  auto context = rclcpp::contexts::get_global_default_context();
  int on_shutdown_calls = 0;
  int removed_calls = 0;
  rclcpp::on_shutdown([&] { ++on_shutdown_calls; });
  auto handle = context->add_on_shutdown_callback([&] { ++removed_calls; });
  EXPECT_TRUE(context->remove_on_shutdown_callback(handle));

  std::atomic<bool> slept_fully{true};
  std::thread sleeper([&] { slept_fully = rclcpp::sleep_for(10s); });
  std::this_thread::sleep_for(20ms);

  EXPECT_TRUE(rclcpp::shutdown());
  sleeper.join();
  EXPECT_FALSE(slept_fully.load());
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_FALSE(rclcpp::signal_handlers_installed());
  EXPECT_EQ("user called rclcpp::shutdown()", context->shutdown_reason());
  EXPECT_EQ(1, on_shutdown_calls);
  EXPECT_EQ(0, removed_calls);
  EXPECT_FALSE(rclcpp::shutdown());  // already shut down

  // A context can be initialised again after shutdown.
  rclcpp::init(0, nullptr, rclcpp::InitOptions(), rclcpp::SignalHandlerOptions::None);
  EXPECT_TRUE(rclcpp::ok());
  EXPECT_FALSE(rclcpp::signal_handlers_installed());
  EXPECT_TRUE(rclcpp::shutdown());
}

TEST(InitTest, NodeNeedsAValidContext)
{
  EXPECT_THROW(rclcpp::Node("no_context"), std::runtime_error);
}

TEST(InitTest, DomainIdFromEnvironmentAndOptions)
{
  const char * saved = std::getenv("ROS_DOMAIN_ID");
  const std::string saved_value = saved ? saved : "";

  auto context = std::make_shared<rclcpp::Context>();
  setenv("ROS_DOMAIN_ID", "17", 1);
  context->init(0, nullptr);
  EXPECT_EQ(17u, context->get_domain_id());
  context->shutdown("test");

  rclcpp::InitOptions options;
  options.set_domain_id(5);
  context->init(0, nullptr, options);
  EXPECT_EQ(5u, context->get_domain_id());
  context->shutdown("test");

  for (const char * bad : {"abc", "12x", "-1", "233", "99999999999999999999"}) {
    setenv("ROS_DOMAIN_ID", bad, 1);
    const std::string what =
        layer_test::what_of<std::runtime_error>([&] { context->init(0, nullptr); });
    EXPECT_NE(std::string::npos, what.find("ROS_DOMAIN_ID")) << bad << ": " << what;
    EXPECT_FALSE(context->is_valid());
  }
  setenv("ROS_DOMAIN_ID", "", 1);
  context->init(0, nullptr);
  EXPECT_EQ(0u, context->get_domain_id());
  context->shutdown("test");

  if (saved) {
    setenv("ROS_DOMAIN_ID", saved_value.c_str(), 1);
  } else {
    unsetenv("ROS_DOMAIN_ID");
  }
}

// Leaving main (or calling exit()) without rclcpp::shutdown() shuts the
// default context down among the static destructors, which must still find
// everything its shutdown uses.
TEST(InitTest, LeavingMainWithoutShutdownEndsCleanly)
{
  for (int run = 0; run < 3; ++run) {
    PeerProcess peer({"leave"});
    ASSERT_TRUE(peer.started());
    EXPECT_EQ("ready", peer.read_line());
    const int status = peer.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
}

// Starts the peer in "spin" mode, waits for it to spin, sends the signal
// and expects spin to return and the process to end normally.
void expect_signal_ends_spin(int signum)
{
  PeerProcess peer({"spin"});
  ASSERT_TRUE(peer.started());
  EXPECT_EQ("spinning", peer.read_line());
  std::this_thread::sleep_for(50ms);  // let the timer run a few times
  peer.signal(signum);
  EXPECT_EQ("spin returned", peer.read_line());
  const int status = peer.wait();
  EXPECT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(0, WEXITSTATUS(status));
}

TEST(SignalTest, SigintEndsSpin) { expect_signal_ends_spin(SIGINT); }

TEST(SignalTest, SigtermEndsSpin) { expect_signal_ends_spin(SIGTERM); }

}  // namespace
