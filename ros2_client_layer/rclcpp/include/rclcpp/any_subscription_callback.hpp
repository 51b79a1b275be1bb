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

// Dispatch of a received message to the callback's parameter types:
// const T &, std::unique_ptr<T>, std::shared_ptr<const T> or std::shared_ptr<T>
// (by value or const reference), each alone or followed by
// const rclcpp::MessageInfo &.
#ifndef RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <variant>

#include "rclcpp/function_traits.hpp"
#include "rclcpp/message_info.hpp"

namespace rclcpp {

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class AnySubscriptionCallback
{
public:
  using ConstRefCallback = std::function<void(const MessageT &)>;
  using ConstRefWithInfoCallback = std::function<void(const MessageT &, const MessageInfo &)>;
  using UniquePtrCallback = std::function<void(std::unique_ptr<MessageT>)>;
  using UniquePtrWithInfoCallback =
      std::function<void(std::unique_ptr<MessageT>, const MessageInfo &)>;
  using SharedConstPtrCallback = std::function<void(std::shared_ptr<const MessageT>)>;
  using SharedConstPtrWithInfoCallback =
      std::function<void(std::shared_ptr<const MessageT>, const MessageInfo &)>;
  using SharedPtrCallback = std::function<void(std::shared_ptr<MessageT>)>;
  using SharedPtrWithInfoCallback =
      std::function<void(std::shared_ptr<MessageT>, const MessageInfo &)>;

  // Not for AnySubscriptionCallback itself, so that copies still copy.
  template <
      typename CallbackT, typename = std::enable_if_t<
                              !std::is_same_v<std::decay_t<CallbackT>, AnySubscriptionCallback>>>
  explicit AnySubscriptionCallback(CallbackT && callback)
      : callback_(make_variant(std::forward<CallbackT>(callback)))
  {
  }

  /// Hand the message over, in the form the callback asks for.
  void dispatch(std::unique_ptr<MessageT> message, const MessageInfo & message_info) const
  {
    std::visit(
        [&](const auto & callback) {
          using CallbackT = std::decay_t<decltype(callback)>;
          if constexpr (std::is_same_v<CallbackT, ConstRefCallback>) {
            callback(*message);
          } else if constexpr (std::is_same_v<CallbackT, ConstRefWithInfoCallback>) {
            callback(*message, message_info);
          } else if constexpr (std::is_same_v<CallbackT, UniquePtrCallback>) {
            callback(std::move(message));
          } else if constexpr (std::is_same_v<CallbackT, UniquePtrWithInfoCallback>) {
            callback(std::move(message), message_info);
          } else if constexpr (std::is_same_v<CallbackT, SharedConstPtrCallback>) {
            callback(std::shared_ptr<const MessageT>(std::move(message)));
          } else if constexpr (std::is_same_v<CallbackT, SharedConstPtrWithInfoCallback>) {
            callback(std::shared_ptr<const MessageT>(std::move(message)), message_info);
          } else if constexpr (std::is_same_v<CallbackT, SharedPtrCallback>) {
            callback(std::shared_ptr<MessageT>(std::move(message)));
          } else {
            callback(std::shared_ptr<MessageT>(std::move(message)), message_info);
          }
        },
        callback_);
  }

private:
  using Variant = std::variant<
      ConstRefCallback, ConstRefWithInfoCallback, UniquePtrCallback, UniquePtrWithInfoCallback,
      SharedConstPtrCallback, SharedConstPtrWithInfoCallback, SharedPtrCallback,
      SharedPtrWithInfoCallback>;

  template <typename T>
  using Decayed = std::remove_cv_t<std::remove_reference_t<T>>;

  template <typename CallbackT>
  static Variant make_variant(CallbackT && callback)
  {
    using Traits = function_traits::function_traits<std::decay_t<CallbackT>>;
    static_assert(
        Traits::arity == 1 || Traits::arity == 2,
        "subscription callbacks take the message, optionally followed by "
        "const rclcpp::MessageInfo &");
    using Message = Decayed<typename Traits::template argument_type<0>>;
    static_assert(
        std::is_same_v<Message, MessageT> || std::is_same_v<Message, std::unique_ptr<MessageT>> ||
            std::is_same_v<Message, std::shared_ptr<const MessageT>> ||
            std::is_same_v<Message, std::shared_ptr<MessageT>>,
        "the callback's message argument must be const MessageT &, std::unique_ptr<MessageT>, "
        "std::shared_ptr<const MessageT> or std::shared_ptr<MessageT>");
    if constexpr (Traits::arity == 1) {
      if constexpr (std::is_same_v<Message, MessageT>) {
        return ConstRefCallback(std::forward<CallbackT>(callback));
      } else if constexpr (std::is_same_v<Message, std::unique_ptr<MessageT>>) {
        return UniquePtrCallback(std::forward<CallbackT>(callback));
      } else if constexpr (std::is_same_v<Message, std::shared_ptr<const MessageT>>) {
        return SharedConstPtrCallback(std::forward<CallbackT>(callback));
      } else {
        return SharedPtrCallback(std::forward<CallbackT>(callback));
      }
    } else {
      static_assert(
          std::is_same_v<Decayed<typename Traits::template argument_type<1>>, MessageInfo>,
          "the second argument of a subscription callback must be const rclcpp::MessageInfo &");
      if constexpr (std::is_same_v<Message, MessageT>) {
        return ConstRefWithInfoCallback(std::forward<CallbackT>(callback));
      } else if constexpr (std::is_same_v<Message, std::unique_ptr<MessageT>>) {
        return UniquePtrWithInfoCallback(std::forward<CallbackT>(callback));
      } else if constexpr (std::is_same_v<Message, std::shared_ptr<const MessageT>>) {
        return SharedConstPtrWithInfoCallback(std::forward<CallbackT>(callback));
      } else {
        return SharedPtrWithInfoCallback(std::forward<CallbackT>(callback));
      }
    }
  }

  Variant callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
