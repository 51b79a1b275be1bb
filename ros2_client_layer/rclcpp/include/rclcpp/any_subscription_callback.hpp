// Dispatch of a received message to the callback's parameter type:
// const T &, std::unique_ptr<T>, std::shared_ptr<const T> or std::shared_ptr<T>
// (by value or const reference).
#ifndef RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
#define RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "rclcpp/function_traits.hpp"

namespace rclcpp {

template <typename MessageT>
class AnySubscriptionCallback
{
public:
  using ConstRefCallback = std::function<void(const MessageT &)>;
  using UniquePtrCallback = std::function<void(std::unique_ptr<MessageT>)>;
  using SharedConstPtrCallback = std::function<void(std::shared_ptr<const MessageT>)>;
  using SharedPtrCallback = std::function<void(std::shared_ptr<MessageT>)>;

  template <typename CallbackT>
  explicit AnySubscriptionCallback(CallbackT && callback)
  {
    using Traits = function_traits::function_traits<std::decay_t<CallbackT>>;
    static_assert(Traits::arity == 1, "subscription callbacks take one argument: the message");
    using Arg =
        std::remove_cv_t<std::remove_reference_t<typename Traits::template argument_type<0>>>;
    if constexpr (std::is_same_v<Arg, MessageT>) {
      const_ref_ = std::forward<CallbackT>(callback);
    } else if constexpr (std::is_same_v<Arg, std::unique_ptr<MessageT>>) {
      unique_ = std::forward<CallbackT>(callback);
    } else if constexpr (std::is_same_v<Arg, std::shared_ptr<const MessageT>>) {
      shared_const_ = std::forward<CallbackT>(callback);
    } else if constexpr (std::is_same_v<Arg, std::shared_ptr<MessageT>>) {
      shared_ = std::forward<CallbackT>(callback);
    } else {
      static_assert(
          std::is_same_v<Arg, MessageT>,
          "the callback's argument must be const MessageT &, std::unique_ptr<MessageT>, "
          "std::shared_ptr<const MessageT> or std::shared_ptr<MessageT>");
    }
  }

  /// Hand the message over, in the form the callback asks for.
  void dispatch(std::unique_ptr<MessageT> message) const
  {
    if (const_ref_) {
      const_ref_(*message);
    } else if (unique_) {
      unique_(std::move(message));
    } else if (shared_const_) {
      shared_const_(std::shared_ptr<const MessageT>(std::move(message)));
    } else {
      shared_(std::shared_ptr<MessageT>(std::move(message)));
    }
  }

private:
  ConstRefCallback const_ref_;
  UniquePtrCallback unique_;
  SharedConstPtrCallback shared_const_;
  SharedPtrCallback shared_;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_SUBSCRIPTION_CALLBACK_HPP_
