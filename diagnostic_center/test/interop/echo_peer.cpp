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

// echo and call: every corvanta_protocol type and the service, checked
// against the shared samples (protocol_samples.hpp).
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "peer_modes.hpp"
#include "protocol_samples.hpp"
#include "rclcpp/rclcpp.hpp"

namespace protocol_peer {
namespace {

using protocol_samples::DiagnosticSrv;

constexpr std::chrono::seconds kServiceDeadline{30};

rclcpp::QoS EveryMessage() { return rclcpp::QoS(rclcpp::KeepAll()).reliable(); }

// One message type: what arrived on kToPeer, checked and sent back.
class Channel
{
public:
  virtual ~Channel() = default;
  virtual bool Matched() const = 0;
  // One line: how many samples arrived, and every mismatch.
  virtual std::string Report() const = 0;
  virtual bool Passed() const = 0;
};

template <typename MessageT>
class EchoChannel : public Channel
{
public:
  explicit EchoChannel(rclcpp::Node & node) : expected_(protocol_samples::Samples<MessageT>())
  {
    const std::string topic = protocol_samples::TopicOf<MessageT>();
    publisher_ = node.create_publisher<MessageT>(kFromPeer + topic, EveryMessage());
    subscription_ = node.create_subscription<MessageT>(
        kToPeer + topic, EveryMessage(), [this](const MessageT & message) { OnMessage(message); });
  }

  bool Matched() const override
  {
    return publisher_->get_subscription_count() > 0 && subscription_->get_publisher_count() > 0;
  }

  std::string Report() const override
  {
    return std::string(protocol_samples::TopicOf<MessageT>()) + ": " + std::to_string(received_) +
           " of " + std::to_string(expected_.size()) + " received" + mismatches_;
  }

  bool Passed() const override { return received_ == expected_.size() && mismatches_.empty(); }

private:
  void OnMessage(const MessageT & message)
  {
    const std::size_t index = received_++;
    if (index >= expected_.size()) {
      mismatches_ +=
          "; unexpected #" + std::to_string(index) + ": " + protocol_samples::Summary(message);
    } else if (message != expected_[index]) {
      mismatches_ += "; #" + std::to_string(index) + " is " + protocol_samples::Summary(message) +
                     "instead of " + protocol_samples::Summary(expected_[index]);
    }
    publisher_->publish(message);
  }

  const std::vector<MessageT> expected_;
  std::size_t received_ = 0;
  std::string mismatches_;
  typename rclcpp::Publisher<MessageT>::SharedPtr publisher_;
  typename rclcpp::Subscription<MessageT>::SharedPtr subscription_;
};

// The service side of echo: answers and checks the requests, in order.
class Server
{
public:
  explicit Server(rclcpp::Node & node) : expected_(protocol_samples::Requests())
  {
    service_ = node.create_service<DiagnosticSrv>(
        kService, [this](
                      const std::shared_ptr<DiagnosticSrv::Request> request,
                      std::shared_ptr<DiagnosticSrv::Response> response) {
          const std::size_t index = received_++;
          if (index >= expected_.size() || *request != expected_[index]) {
            mismatches_ +=
                "; #" + std::to_string(index) + " has cmd " + std::to_string(request->cmd);
          }
          *response = protocol_samples::Answer(*request);
        });
  }

  std::string Report() const
  {
    return "requests: " + std::to_string(received_) + " of " + std::to_string(expected_.size()) +
           " received" + mismatches_;
  }

  bool Passed() const { return received_ == expected_.size() && mismatches_.empty(); }

private:
  const std::vector<DiagnosticSrv::Request> expected_;
  std::size_t received_ = 0;
  std::string mismatches_;
  rclcpp::Service<DiagnosticSrv>::SharedPtr service_;
};

std::vector<std::unique_ptr<Channel>> EveryType(rclcpp::Node & node)
{
  std::vector<std::unique_ptr<Channel>> channels;
  channels.push_back(std::make_unique<EchoChannel<protocol_samples::DiagnosticEvent>>(node));
  channels.push_back(std::make_unique<EchoChannel<protocol_samples::CurrentFailure>>(node));
  channels.push_back(std::make_unique<EchoChannel<protocol_samples::ExceptionHandle>>(node));
  channels.push_back(std::make_unique<EchoChannel<protocol_samples::TaskCenterFsmStatus>>(node));
  channels.push_back(std::make_unique<EchoChannel<protocol_samples::DiagnosisTree>>(node));
  return channels;
}

void Say(const std::string & line) { std::fprintf(stderr, "peer: %s\n", line.c_str()); }

}  // namespace

int RunEcho(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("protocol_echo");
  const auto channels = EveryType(*node);
  Server server(*node);
  bool matched = false;
  auto match_watch = node->create_wall_timer(std::chrono::milliseconds(20), [&] {
    for (const auto & channel : channels) {
      if (!channel->Matched()) {
        return;
      }
    }
    if (!matched) {
      matched = true;
      Say("matched");
    }
  });
  rclcpp::spin(node);  // until a signal shuts the context down

  bool passed = server.Passed();
  Say(server.Report());
  for (const auto & channel : channels) {
    Say(channel->Report());
    passed = passed && channel->Passed();
  }
  rclcpp::shutdown();
  return passed ? 0 : 1;
}

int RunCall(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("protocol_call");
  auto client = node->create_client<DiagnosticSrv>(kService);
  if (!client->wait_for_service(kServiceDeadline)) {
    Say("no service");
    rclcpp::shutdown();
    return 1;
  }
  int answered_right = 0;
  const auto requests = protocol_samples::Requests();
  for (const auto & request : requests) {
    auto future = client->async_send_request(std::make_shared<DiagnosticSrv::Request>(request));
    if (rclcpp::spin_until_future_complete(node, future, kServiceDeadline) !=
        rclcpp::FutureReturnCode::SUCCESS) {
      Say("no answer to cmd " + std::to_string(request.cmd));
      break;
    }
    const auto response = future.get();
    const auto expected = protocol_samples::Answer(request);
    if (*response == expected) {
      ++answered_right;
    } else {
      Say("cmd " + std::to_string(request.cmd) + " answered " +
          protocol_samples::Summary(*response) + "instead of " +
          protocol_samples::Summary(expected));
    }
  }
  Say("answers: " + std::to_string(answered_right) + " of " + std::to_string(requests.size()) +
      " as expected");
  rclcpp::shutdown();
  return answered_right == static_cast<int>(requests.size()) ? 0 : 1;
}

}  // namespace protocol_peer
