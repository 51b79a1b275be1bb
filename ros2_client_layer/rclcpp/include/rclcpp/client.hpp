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

// Service clients: send requests, match the responses to them, and complete
// the futures (or run the callbacks) on an executor thread.
#ifndef RCLCPP__CLIENT_HPP_
#define RCLCPP__CLIENT_HPP_

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "client_layer/readable_entity.hpp"
#include "client_layer/type_support.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/function_traits.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/visibility_control.hpp"
#include "rmw/types.h"

namespace client_layer {
class ClientImpl;
}  // namespace client_layer

namespace rclcpp {

namespace detail {

/// A future and the sequence number of the request it belongs to.
template <typename FutureT>
struct FutureAndRequestId
{
  FutureT future;
  int64_t request_id;

  FutureAndRequestId(FutureT impl, int64_t req_id) : future(std::move(impl)), request_id(req_id) {}

  /// Lets the pair stand where a reference to its future is expected.
  operator FutureT &() { return this->future; }

  auto get() { return this->future.get(); }
  bool valid() const noexcept { return this->future.valid(); }
  void wait() const { return this->future.wait(); }

  template <class Rep, class Period>
  std::future_status wait_for(const std::chrono::duration<Rep, Period> & timeout_duration) const
  {
    return this->future.wait_for(timeout_duration);
  }

  template <class Clock, class Duration>
  std::future_status wait_until(const std::chrono::time_point<Clock, Duration> & timeout_time) const
  {
    return this->future.wait_until(timeout_time);
  }

  FutureAndRequestId(FutureAndRequestId && other) noexcept = default;
  FutureAndRequestId(const FutureAndRequestId & other) = delete;
  FutureAndRequestId & operator=(FutureAndRequestId && other) noexcept = default;
  FutureAndRequestId & operator=(const FutureAndRequestId & other) = delete;
  ~FutureAndRequestId() = default;
};

}  // namespace detail

class ClientBase : public client_layer::ReadableEntity
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ClientBase)

  /// \throws rclcpp::exceptions::RCLError "could not create client: ..." when DDS refuses it
  ClientBase(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & group, const std::string & service_name,
      const char * dds_request_type_name, const char * dds_response_type_name,
      const rmw_qos_profile_t & qos);

  ~ClientBase() override;

  /// The fully qualified service name.
  const char * get_service_name() const;

  /// True when a server of the service is matched in both directions.
  bool service_is_ready() const;

  /// Wait until the service is ready, the timeout passes (negative: no
  /// limit) or the context shuts down; true when it is ready.
  template <typename RepT = int64_t, typename RatioT = std::milli>
  bool wait_for_service(
      std::chrono::duration<RepT, RatioT> timeout = std::chrono::duration<RepT, RatioT>(-1))
  {
    return wait_for_service_nanoseconds(
        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

protected:
  bool wait_for_service_nanoseconds(std::chrono::nanoseconds timeout);

  bool take_and_handle() override;

  /// Deserialize one response and complete its request; false if malformed.
  virtual bool handle_response(const std::uint8_t * data, size_t size, int64_t sequence_number) = 0;

  /// A new request sequence number (process-wide, as the middleware numbers them).
  static int64_t next_sequence_number();

  /// Write a serialized request with its sequence number.
  /** \throws rclcpp::exceptions::RCLError "failed to send request: ..." when DDS fails,
   *  rclcpp::exceptions::RCLInvalidArgument when the sample is shorter than its
   *  4-byte encapsulation header */
  void send_serialized_request(int64_t sequence_number, const std::vector<std::uint8_t> & sample);

private:
  RCLCPP_DISABLE_COPY(ClientBase)
  std::unique_ptr<client_layer::ClientImpl> impl_;
};

template <typename ServiceT>
class Client : public ClientBase
{
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using SharedRequest = typename ServiceT::Request::SharedPtr;
  using SharedResponse = typename ServiceT::Response::SharedPtr;

  using Promise = std::promise<SharedResponse>;
  using PromiseWithRequest = std::promise<std::pair<SharedRequest, SharedResponse>>;
  using SharedPromise = std::shared_ptr<Promise>;
  using SharedPromiseWithRequest = std::shared_ptr<PromiseWithRequest>;
  using Future = std::future<SharedResponse>;
  using SharedFuture = std::shared_future<SharedResponse>;
  using SharedFutureWithRequest = std::shared_future<std::pair<SharedRequest, SharedResponse>>;
  using CallbackType = std::function<void(SharedFuture)>;
  using CallbackWithRequestType = std::function<void(SharedFutureWithRequest)>;

  RCLCPP_SMART_PTR_DEFINITIONS(Client)

  /// The future of a request, with the request's sequence number.
  struct FutureAndRequestId : detail::FutureAndRequestId<std::future<SharedResponse>>
  {
    using detail::FutureAndRequestId<std::future<SharedResponse>>::FutureAndRequestId;

    /// Deprecated in rclcpp, kept for the code that relies on it.
    [[deprecated("FutureAndRequestId: use .future.share() instead of an implicit conversion")]]
    operator SharedFuture()
    {
      return this->future.share();
    }

    SharedFuture share() noexcept { return this->future.share(); }
  };

  struct SharedFutureAndRequestId : detail::FutureAndRequestId<std::shared_future<SharedResponse>>
  {
    using detail::FutureAndRequestId<std::shared_future<SharedResponse>>::FutureAndRequestId;
  };

  struct SharedFutureWithRequestAndRequestId
      : detail::FutureAndRequestId<std::shared_future<std::pair<SharedRequest, SharedResponse>>>
  {
    using detail::FutureAndRequestId<
        std::shared_future<std::pair<SharedRequest, SharedResponse>>>::FutureAndRequestId;
  };

  Client(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & group, const std::string & service_name,
      const rmw_qos_profile_t & qos)
      : ClientBase(
            node_base, group, service_name, client_layer::TypeSupport<Request>::dds_type_name(),
            client_layer::TypeSupport<Response>::dds_type_name(), qos)
  {
  }

  /// Send a request; the future completes when its response is handled by
  /// the executor that spins this client.
  FutureAndRequestId async_send_request(SharedRequest request)
  {
    Promise promise;
    auto future = promise.get_future();
    auto req_id = send(*request, Pending{std::move(promise)});
    return FutureAndRequestId(std::move(future), req_id);
  }

  /// Send a request; `cb` runs with the completed future.
  template <
      typename CallbackT, typename std::enable_if<rclcpp::function_traits::same_arguments<
                              CallbackT, CallbackType>::value>::type * = nullptr>
  SharedFutureAndRequestId async_send_request(SharedRequest request, CallbackT && cb)
  {
    Promise promise;
    auto shared_future = promise.get_future().share();
    auto req_id = send(
        *request,
        Pending{std::make_tuple(
            CallbackType{std::forward<CallbackT>(cb)}, shared_future, std::move(promise))});
    return SharedFutureAndRequestId{std::move(shared_future), req_id};
  }

  /// Send a request; `cb` runs with the completed future of (request, response).
  template <
      typename CallbackT, typename std::enable_if<rclcpp::function_traits::same_arguments<
                              CallbackT, CallbackWithRequestType>::value>::type * = nullptr>
  SharedFutureWithRequestAndRequestId async_send_request(SharedRequest request, CallbackT && cb)
  {
    PromiseWithRequest promise;
    auto shared_future = promise.get_future().share();
    auto req_id = send(
        *request, Pending{std::make_tuple(
                      CallbackWithRequestType{std::forward<CallbackT>(cb)}, request, shared_future,
                      std::move(promise))});
    return SharedFutureWithRequestAndRequestId{std::move(shared_future), req_id};
  }

  /// Forget a pending request; true if it was pending.
  bool remove_pending_request(int64_t request_id)
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    return pending_.erase(request_id) != 0u;
  }

  bool remove_pending_request(const FutureAndRequestId & future)
  {
    return remove_pending_request(future.request_id);
  }

  /// Forget every pending request; returns how many there were.
  size_t prune_pending_requests()
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    auto count = pending_.size();
    pending_.clear();
    return count;
  }

protected:
  bool handle_response(const std::uint8_t * data, size_t size, int64_t sequence_number) override
  {
    auto response = std::make_shared<Response>();
    if (!client_layer::deserialize_message(data, size, *response)) {
      return false;
    }
    std::optional<Pending> pending;
    {
      std::lock_guard<std::mutex> lock(pending_mutex_);
      auto it = pending_.find(sequence_number);
      if (it == pending_.end()) {
        return true;  // pruned, or answered already
      }
      pending.emplace(std::move(it->second));
      pending_.erase(it);
    }
    complete(std::move(pending->value), std::move(response));
    return true;
  }

private:
  using CallbackTypeValueVariant = std::tuple<CallbackType, SharedFuture, Promise>;
  using CallbackWithRequestTypeValueVariant = std::tuple<
      CallbackWithRequestType, SharedRequest, SharedFutureWithRequest, PromiseWithRequest>;

  struct Pending
  {
    std::variant<Promise, CallbackTypeValueVariant, CallbackWithRequestTypeValueVariant> value;
  };

  int64_t send(const Request & request, Pending && pending)
  {
    std::vector<std::uint8_t> sample;
    client_layer::serialize_message(request, sample);
    const int64_t sequence_number = next_sequence_number();
    {
      // Registered before sending: the response may come back at once.
      std::lock_guard<std::mutex> lock(pending_mutex_);
      pending_.emplace(sequence_number, std::move(pending));
    }
    try {
      send_serialized_request(sequence_number, sample);
    } catch (...) {
      remove_pending_request(sequence_number);
      throw;
    }
    return sequence_number;
  }

  static void complete(
      std::variant<Promise, CallbackTypeValueVariant, CallbackWithRequestTypeValueVariant> && value,
      SharedResponse response)
  {
    if (auto promise = std::get_if<Promise>(&value)) {
      promise->set_value(std::move(response));
    } else if (auto with_callback = std::get_if<CallbackTypeValueVariant>(&value)) {
      auto & callback = std::get<0>(*with_callback);
      auto & future = std::get<1>(*with_callback);
      std::get<2>(*with_callback).set_value(std::move(response));
      callback(future);
    } else if (auto with_request = std::get_if<CallbackWithRequestTypeValueVariant>(&value)) {
      auto & callback = std::get<0>(*with_request);
      auto & request = std::get<1>(*with_request);
      auto & future = std::get<2>(*with_request);
      std::get<3>(*with_request).set_value(std::make_pair(request, std::move(response)));
      callback(future);
    }
  }

  std::mutex pending_mutex_;
  std::map<int64_t, Pending> pending_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLIENT_HPP_
