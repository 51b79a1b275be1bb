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

// Every corvanta_protocol type and the query service between this
// (layer-built) process and the interop peer named by INTEROP_PEER, built on
// genuine ROS 2 Humble or on the layer: what goes out comes back equal, the
// peer decoded it as the shared samples say, and the service answers right
// in both directions.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "peer_modes.hpp"
#include "protocol_samples.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ScratchDir;
using protocol_samples::DiagnosticSrv;
using namespace std::chrono_literals;

constexpr std::chrono::seconds kDeadline{60};

rclcpp::QoS EveryMessage() { return rclcpp::QoS(rclcpp::KeepAll()).reliable(); }

std::filesystem::path PeerExecutable()
{
  return diagnostic_center_test::ExecutableFromEnvironment("INTEROP_PEER", "");
}

// One message type sent to the peer and received back from it.
class Loop
{
public:
  virtual ~Loop() = default;
  virtual bool Matched() const = 0;
  virtual void PublishSamples() = 0;
  virtual bool AllBack() const = 0;
  virtual void ExpectEchoesEqualSamples() const = 0;
};

template <typename MessageT>
class TypedLoop : public Loop
{
public:
  explicit TypedLoop(rclcpp::Node & node) : samples_(protocol_samples::Samples<MessageT>())
  {
    const std::string topic = protocol_samples::TopicOf<MessageT>();
    publisher_ = node.create_publisher<MessageT>(protocol_peer::kToPeer + topic, EveryMessage());
    subscription_ = node.create_subscription<MessageT>(
        protocol_peer::kFromPeer + topic, EveryMessage(),
        [this](const MessageT & message) { echoes_.push_back(message); });
  }

  bool Matched() const override
  {
    return publisher_->get_subscription_count() > 0 && subscription_->get_publisher_count() > 0;
  }

  void PublishSamples() override
  {
    for (const auto & sample : samples_) {
      publisher_->publish(sample);
    }
  }

  bool AllBack() const override { return echoes_.size() >= samples_.size(); }

  void ExpectEchoesEqualSamples() const override
  {
    ASSERT_EQ(samples_.size(), echoes_.size()) << protocol_samples::TopicOf<MessageT>();
    for (std::size_t i = 0; i < samples_.size(); ++i) {
      EXPECT_TRUE(echoes_[i] == samples_[i])
          << protocol_samples::TopicOf<MessageT>() << " #" << i << "\n  sent "
          << protocol_samples::Summary(samples_[i]) << "\n  back "
          << protocol_samples::Summary(echoes_[i]);
    }
  }

private:
  const std::vector<MessageT> samples_;
  std::vector<MessageT> echoes_;
  typename rclcpp::Publisher<MessageT>::SharedPtr publisher_;
  typename rclcpp::Subscription<MessageT>::SharedPtr subscription_;
};

class ProtocolExchangeTest : public ::testing::Test
{
protected:
  ProtocolExchangeTest() : node_(std::make_shared<rclcpp::Node>("interop_driver"))
  {
    executor_.add_node(node_);
  }

  void SetUp() override { ASSERT_FALSE(PeerExecutable().empty()) << "INTEROP_PEER is not set"; }

  std::unique_ptr<ChildProcess> StartPeer(const std::string & mode)
  {
    return std::make_unique<ChildProcess>(
        PeerExecutable(), std::vector<std::string>{mode}, scratch_->path());
  }

  bool SpinUntil(const std::function<bool()> & done)
  {
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      executor_.spin_once(20ms);
    }
    return true;
  }

  std::unique_ptr<ScratchDir> scratch_ = std::make_unique<ScratchDir>("interop_protocol");
  rclcpp::Node::SharedPtr node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
};

TEST_F(ProtocolExchangeTest, EveryTypeGoesThereAndBackAndTheServiceAnswers)
{
  auto peer = StartPeer("echo");
  std::vector<std::unique_ptr<Loop>> loops;
  loops.push_back(std::make_unique<TypedLoop<protocol_samples::DiagnosticEvent>>(*node_));
  loops.push_back(std::make_unique<TypedLoop<protocol_samples::CurrentFailure>>(*node_));
  loops.push_back(std::make_unique<TypedLoop<protocol_samples::ExceptionHandle>>(*node_));
  loops.push_back(std::make_unique<TypedLoop<protocol_samples::TaskCenterFsmStatus>>(*node_));
  loops.push_back(std::make_unique<TypedLoop<protocol_samples::DiagnosisTree>>(*node_));
  auto client = node_->create_client<DiagnosticSrv>(protocol_peer::kService);

  // Both ends matched: a volatile reader drops what was written before it
  // matched the writer, even when the writer had already matched the reader.
  ASSERT_TRUE(SpinUntil([&] {
    for (const auto & loop : loops) {
      if (!loop->Matched()) {
        return false;
      }
    }
    return peer->Stderr().find("peer: matched") != std::string::npos;
  })) << peer->Stderr();
  for (const auto & loop : loops) {
    loop->PublishSamples();
  }
  ASSERT_TRUE(SpinUntil([&] {
    for (const auto & loop : loops) {
      if (!loop->AllBack()) {
        return false;
      }
    }
    return true;
  })) << peer->Stderr();
  for (const auto & loop : loops) {
    loop->ExpectEchoesEqualSamples();
  }

  ASSERT_TRUE(client->wait_for_service(kDeadline));
  for (const auto & request : protocol_samples::Requests()) {
    auto future = client->async_send_request(std::make_shared<DiagnosticSrv::Request>(request));
    ASSERT_TRUE(SpinUntil([&] { return future.wait_for(0s) == std::future_status::ready; }))
        << "cmd " << request.cmd;
    const auto expected = protocol_samples::Answer(request);
    const auto answer = future.get();
    EXPECT_TRUE(*answer == expected)
        << "cmd " << request.cmd << "\n  answer " << protocol_samples::Summary(*answer)
        << "\n  expected " << protocol_samples::Summary(expected);
  }

  // The peer's verdict on what it decoded.
  peer->Signal(SIGINT);
  const auto status = peer->WaitForExit(kDeadline);
  ASSERT_TRUE(status.has_value()) << peer->Stderr();
  EXPECT_TRUE(status->exited && status->code == 0) << status->Describe() << "\n" << peer->Stderr();
}

TEST_F(ProtocolExchangeTest, ThePeerCallsTheServiceHere)
{
  const auto expected_requests = protocol_samples::Requests();
  std::vector<DiagnosticSrv::Request> requests;
  auto service = node_->create_service<DiagnosticSrv>(
      protocol_peer::kService, [&](const std::shared_ptr<DiagnosticSrv::Request> request,
                                   std::shared_ptr<DiagnosticSrv::Response> response) {
        requests.push_back(*request);
        *response = protocol_samples::Answer(*request);
      });

  auto peer = StartPeer("call");
  std::optional<diagnostic_center_test::ExitStatus> status;
  ASSERT_TRUE(SpinUntil([&] {
    status = peer->WaitForExit(0ms);
    return status.has_value();
  })) << peer->Stderr();
  EXPECT_TRUE(status->exited && status->code == 0) << status->Describe() << "\n" << peer->Stderr();
  EXPECT_TRUE(requests == expected_requests) << requests.size() << " requests";
}

}  // namespace

int main(int argc, char ** argv)
{
  testing::InitGoogleTest(&argc, argv);
  rclcpp::init(argc, argv);
  const int result = RUN_ALL_TESTS();
  rclcpp::shutdown();
  return result;
}
