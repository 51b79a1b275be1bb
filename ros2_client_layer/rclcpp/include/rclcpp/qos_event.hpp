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

// Callbacks for the middleware's events of an endpoint beside its messages.
// Of Humble's, the layer has the subscription's message-lost event.
#ifndef RCLCPP__QOS_EVENT_HPP_
#define RCLCPP__QOS_EVENT_HPP_

#include <functional>

#include "rmw/events_statuses/message_lost.h"

namespace rclcpp {

using QOSMessageLostInfo = rmw_message_lost_status_t;
using QOSMessageLostCallbackType = std::function<void(QOSMessageLostInfo &)>;

/// The events a subscription can be told of, besides its messages.
struct SubscriptionEventCallbacks
{
  /// Runs in the subscription's callback group when messages were lost before
  /// they could be taken: those the middleware reports lost on the way, and
  /// those a full keep-last history dropped for newer ones (which Humble's
  /// Cyclone DDS middleware does not report).
  QOSMessageLostCallbackType message_lost_callback;
};

}  // namespace rclcpp

#endif  // RCLCPP__QOS_EVENT_HPP_
