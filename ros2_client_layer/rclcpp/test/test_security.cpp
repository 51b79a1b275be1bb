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

// rclcpp::init and the first node under DDS Security, as Humble behaves: the
// enclave name, the keystore lookup under Enforce and Permissive, the
// override variable, an enclave without its files, and secured nodes of two
// contexts talking to each other.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "layer_test_support.hpp"
#include "rclcpp/rclcpp.hpp"
#include "test_keystore.hpp"

using client_layer_test_interfaces::msg::Event;
using layer_test::starts_with;
using layer_test::what_of;

namespace {

const char * const kSecurityVariables[] = {
    "ROS_SECURITY_ENABLE", "ROS_SECURITY_STRATEGY", "ROS_SECURITY_KEYSTORE",
    "ROS_SECURITY_ENCLAVE_OVERRIDE"};

unsigned test_domain_id()
{
  return static_cast<unsigned>(std::stoul(std::getenv("ROS_DOMAIN_ID")));
}

// Each test starts and ends with no ROS_SECURITY_* set, and has a keystore
// of two enclaves.
class SecurityTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    keystore_ = new layer_test::TestKeystore(test_domain_id(), {"/robot/diag", "/robot/other"});
  }

  static void TearDownTestSuite()
  {
    delete keystore_;
    keystore_ = nullptr;
  }

  void SetUp() override { unset_security_variables(); }

  void TearDown() override
  {
    rclcpp::shutdown();
    unset_security_variables();
  }

  static void unset_security_variables()
  {
    for (const char * name : kSecurityVariables) {
      unsetenv(name);
    }
  }

  static void enforce(const std::string & keystore)
  {
    setenv("ROS_SECURITY_ENABLE", "true", 1);
    setenv("ROS_SECURITY_STRATEGY", "Enforce", 1);
    setenv("ROS_SECURITY_KEYSTORE", keystore.c_str(), 1);
  }

  // rclcpp::init with these ROS arguments; the RCLError it throws, if any.
  static std::string init_error(std::vector<const char *> ros_args = {})
  {
    ros_args.insert(ros_args.begin(), {"test", "--ros-args"});
    return what_of<rclcpp::exceptions::RCLError>(
        [&] { rclcpp::init(static_cast<int>(ros_args.size()), ros_args.data()); });
  }

  static std::string node_error(const rclcpp::NodeOptions & options = rclcpp::NodeOptions())
  {
    return what_of<rclcpp::exceptions::RCLError>([&] { rclcpp::Node("secured", options); });
  }

  static layer_test::TestKeystore * keystore_;
};

layer_test::TestKeystore * SecurityTest::keystore_ = nullptr;

// Whether the captured console output has this logger's line.
bool logged(const std::string & output, const std::string & logger, const std::string & message)
{
  return output.find("[" + logger + "]: " + message + "\n") != std::string::npos;
}

TEST_F(SecurityTest, AnInvalidEnclaveNameIsRefusedWithOrWithoutSecurity)
{
  const std::string expected =
      "failed to initialize rcl: Enclave name is not valid: 'context name must not end with a "
      "'/', unless only a '/''. Invalid index: 6, at ";
  EXPECT_PRED2(starts_with, init_error({"--enclave", "/robot/"}), expected);
  EXPECT_FALSE(rclcpp::ok());
  enforce(keystore_->path());
  EXPECT_PRED2(starts_with, init_error({"-e", "/robot/"}), expected);
}

TEST_F(SecurityTest, EnforceRefusesInitWithoutTheEnclaveDirectory)
{
  enforce(keystore_->path());
  EXPECT_PRED2(
      starts_with, init_error({"--enclave", "/robot/absent"}),
      "failed to initialize rcl: SECURITY ERROR: directory '" + keystore_->path() +
          "/enclaves/robot/absent' does not exist., at ");
  EXPECT_FALSE(rclcpp::ok());

  // No keystore named: rcl fails without saying why.
  setenv("ROS_SECURITY_KEYSTORE", "", 1);
  EXPECT_EQ(init_error(), "failed to initialize rcl: error not set");
  unsetenv("ROS_SECURITY_KEYSTORE");
  EXPECT_EQ(init_error(), "failed to initialize rcl: error not set");
}

TEST_F(SecurityTest, PermissiveOrDisabledSecurityCarriesOnUnsecured)
{
  setenv("ROS_SECURITY_ENABLE", "true", 1);
  setenv("ROS_SECURITY_KEYSTORE", keystore_->path().c_str(), 1);
  setenv("ROS_SECURITY_STRATEGY", "enforce", 1);  // anything but "Enforce" is permissive
  testing::internal::CaptureStderr();
  // The security settings are read before --log-level applies, as in rcl_init:
  // "Using security: true" stays a DEBUG line nobody sees.
  EXPECT_EQ(
      init_error({"--log-level", "rcl:=debug", "--enclave", "/robot/absent"}), "<no exception>");
  EXPECT_NO_THROW(rclcpp::Node("unsecured"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  rclcpp::get_logger("rcl").set_level(rclcpp::Logger::Level::Unset);
  rclcpp::shutdown();

  // Only "true" turns security on: this missing keystore goes unnoticed.
  enforce("/nonexistent/keystore");
  setenv("ROS_SECURITY_ENABLE", "True", 1);
  EXPECT_EQ(init_error(), "<no exception>");
}

TEST_F(SecurityTest, TheOverrideVariableNamesTheEnclaveInstead)
{
  enforce(keystore_->path());
  setenv("ROS_SECURITY_ENCLAVE_OVERRIDE", "/robot/diag", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(init_error({"--enclave", "/robot/absent"}), "<no exception>");
  EXPECT_TRUE(logged(
      testing::internal::GetCapturedStderr(), "rcl",
      "Found security directory: " + keystore_->enclave_dir("/robot/diag")));
  EXPECT_NO_THROW(rclcpp::Node("secured"));
  rclcpp::shutdown();

  setenv("ROS_SECURITY_ENCLAVE_OVERRIDE", "/robot/absent", 1);
  EXPECT_PRED2(
      starts_with, init_error({"--enclave", "/robot/diag"}),
      "failed to initialize rcl: SECURITY ERROR: directory '" + keystore_->path() +
          "/enclaves/robot/absent' does not exist., at ");
}

TEST_F(SecurityTest, AnEnclaveWithoutItsFilesCreatesNoNodeUnderEnforce)
{
  // "/" is the enclaves directory itself, which holds only the governance.
  enforce(keystore_->path());
  testing::internal::CaptureStderr();
  EXPECT_EQ(init_error(), "<no exception>");
  EXPECT_PRED2(
      starts_with, node_error(),
      "failed to initialize rcl node: rcl node's rmw handle is invalid, at ");
  EXPECT_PRED2(
      starts_with, node_error(rclcpp::NodeOptions().enable_rosout(false)),
      "failed to initialize rcl node: error not set, at ");
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(logged(log, "rcl", "Found security directory: " + keystore_->path() + "/enclaves"));
  EXPECT_TRUE(logged(log, "rmw_cyclonedds_cpp", "could not find all security files"));
  EXPECT_TRUE(logged(log, "rcl", "Failed to fini publisher for node: 1"));
  rclcpp::shutdown();

  setenv("ROS_SECURITY_STRATEGY", "Permissive", 1);
  EXPECT_EQ(init_error(), "<no exception>");
  EXPECT_NO_THROW(rclcpp::Node("unsecured"));
}

TEST_F(SecurityTest, SecuredNodesOfTwoContextsTalk)
{
  enforce(keystore_->path());
  auto make_context = [](const char * enclave) {
    auto context = std::make_shared<rclcpp::Context>();
    const char * argv[] = {"test", "--ros-args", "--enclave", enclave};
    context->init(4, argv);
    return context;
  };
  auto talker_context = make_context("/robot/diag");
  auto listener_context = make_context("/robot/other");
  auto talker =
      std::make_shared<rclcpp::Node>("talker", rclcpp::NodeOptions().context(talker_context));
  auto listener =
      std::make_shared<rclcpp::Node>("listener", rclcpp::NodeOptions().context(listener_context));

  std::atomic<bool> received{false};
  auto subscription = listener->create_subscription<Event>(
      "secured_events", rclcpp::QoS(10), [&](const Event & event) { received = event.code == 7; });
  auto publisher = talker->create_publisher<Event>("secured_events", rclcpp::QoS(10));
  rclcpp::ExecutorOptions executor_options;
  executor_options.context = listener_context;
  rclcpp::executors::SingleThreadedExecutor executor(executor_options);
  executor.add_node(listener);
  ASSERT_TRUE(layer_test::wait_until(
      [&] { return publisher->get_subscription_count() == 1; }, std::chrono::seconds(30)));
  Event event;
  event.code = 7;
  publisher->publish(event);
  ASSERT_TRUE(layer_test::wait_until([&] {
    executor.spin_some();
    return received.load();
  }));
  talker_context->shutdown("done");
  listener_context->shutdown("done");
}

}  // namespace
