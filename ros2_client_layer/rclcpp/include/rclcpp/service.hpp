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

// Service servers: take requests, run the callback, send the response back
// to the client that asked.
#ifndef RCLCPP__SERVICE_HPP_
#define RCLCPP__SERVICE_HPP_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
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
class ServiceImpl;
}  // namespace client_layer

namespace rclcpp {

class ServiceBase : public client_layer::ReadableEntity
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(ServiceBase)

  /// \throws rclcpp::exceptions::RCLError "could not create service: ..." when DDS refuses it
  ServiceBase(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & group, const std::string & service_name,
      const char * ros_type_name, const char * dds_request_type_name,
      const char * dds_response_type_name, const rmw_qos_profile_t & qos);

  ~ServiceBase() override;

  /// The fully qualified service name.
  const char * get_service_name();

protected:
  bool take_and_handle() override;

  /// Deserialize one request and handle it; false if it is malformed.
  virtual bool handle_request(
      const std::uint8_t * data, size_t size, const rmw_request_id_t & request_id) = 0;

  /// Send a serialized response to the client of `request_id`.
  void send_serialized_response(
      const rmw_request_id_t & request_id, const std::vector<std::uint8_t> & sample);

private:
  RCLCPP_DISABLE_COPY(ServiceBase)
  std::unique_ptr<client_layer::ServiceImpl> impl_;
};

template <typename ServiceT>
class Service : public ServiceBase, public std::enable_shared_from_this<Service<ServiceT>>
{
public:
  using Request = typename ServiceT::Request;
  using Response = typename ServiceT::Response;
  using SharedRequest = std::shared_ptr<Request>;
  using SharedResponse = std::shared_ptr<Response>;
  using SharedPtrCallback = std::function<void(SharedRequest, SharedResponse)>;
  using SharedPtrWithRequestHeaderCallback =
      std::function<void(std::shared_ptr<rmw_request_id_t>, SharedRequest, SharedResponse)>;
  using SharedPtrDeferResponseCallback =
      std::function<void(std::shared_ptr<rmw_request_id_t>, SharedRequest)>;
  using SharedPtrDeferResponseCallbackWithServiceHandle = std::function<void(
      std::shared_ptr<Service<ServiceT>>, std::shared_ptr<rmw_request_id_t>, SharedRequest)>;

  RCLCPP_SMART_PTR_DEFINITIONS(Service)

  /// Callbacks: (request, response), (request_header, request, response),
  /// (request_header, request) or (service, request_header, request); the
  /// last two answer later with send_response(). A return value is ignored.
  template <typename CallbackT>
  Service(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & group, const std::string & service_name,
      CallbackT && callback, const rmw_qos_profile_t & qos)
      : ServiceBase(
            node_base, group, service_name,
            client_layer::ServiceTypeSupport<ServiceT>::ros_type_name(),
            client_layer::TypeSupport<Request>::dds_type_name(),
            client_layer::TypeSupport<Response>::dds_type_name(), qos)
  {
    set_callback(std::forward<CallbackT>(callback));
  }

  /// Send the response to a request (for callbacks that answer later).
  void send_response(rmw_request_id_t & req_id, Response & response)
  {
    std::vector<std::uint8_t> sample;
    client_layer::serialize_message(response, sample);
    send_serialized_response(req_id, sample);
  }

protected:
  bool handle_request(
      const std::uint8_t * data, size_t size, const rmw_request_id_t & request_id) override
  {
    auto request = std::make_shared<Request>();
    if (!client_layer::deserialize_message(data, size, *request)) {
      return false;
    }
    auto header = std::make_shared<rmw_request_id_t>(request_id);
    if (defer_with_service_) {
      defer_with_service_(this->shared_from_this(), header, request);
      return true;
    }
    if (defer_) {
      defer_(header, request);
      return true;
    }
    auto response = std::make_shared<Response>();
    if (with_header_) {
      with_header_(header, request, response);
    } else {
      plain_(request, response);
    }
    send_response(*header, *response);
    return true;
  }

private:
  template <typename CallbackT>
  void set_callback(CallbackT && callback)
  {
    using Traits = function_traits::function_traits<std::decay_t<CallbackT>>;
    using HeaderPtr = std::shared_ptr<rmw_request_id_t>;
    if constexpr (Traits::arity == 2) {
      using First = std::decay_t<typename Traits::template argument_type<0>>;
      if constexpr (std::is_same_v<First, HeaderPtr>) {
        defer_ = [cb = std::forward<CallbackT>(callback)](
                     HeaderPtr header, SharedRequest request) mutable { cb(header, request); };
      } else {
        plain_ = [cb = std::forward<CallbackT>(callback)](
                     SharedRequest request, SharedResponse response) mutable {
          cb(request, response);
        };
      }
    } else if constexpr (Traits::arity == 3) {
      using First = std::decay_t<typename Traits::template argument_type<0>>;
      if constexpr (std::is_same_v<First, HeaderPtr>) {
        with_header_ = [cb = std::forward<CallbackT>(callback)](
                           HeaderPtr header, SharedRequest request,
                           SharedResponse response) mutable { cb(header, request, response); };
      } else {
        defer_with_service_ = [cb = std::forward<CallbackT>(callback)](
                                  std::shared_ptr<Service<ServiceT>> service, HeaderPtr header,
                                  SharedRequest request) mutable { cb(service, header, request); };
      }
    } else {
      static_assert(
          Traits::arity == 2 || Traits::arity == 3,
          "service callbacks take (request, response) or (request_header, request, response)");
    }
  }

  SharedPtrCallback plain_;
  SharedPtrWithRequestHeaderCallback with_header_;
  SharedPtrDeferResponseCallback defer_;
  SharedPtrDeferResponseCallbackWithServiceHandle defer_with_service_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SERVICE_HPP_
