// Shared helpers of the transport tests.
#ifndef CLIENT_LAYER__RMW__TEST_SUPPORT_HPP_
#define CLIENT_LAYER__RMW__TEST_SUPPORT_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "layer_test_support.hpp"
#include "rmw/types.h"

namespace client_layer::rmw::test {

// ROS_DOMAIN_ID as set for the test (0 when unset).
std::uint32_t test_domain_id();

using layer_test::wait_until;

rmw_qos_profile_t reliable_keep_last(std::size_t depth);
rmw_qos_profile_t reliable_keep_all();

// An encapsulation header (little-endian CDR) followed by `body`.
std::vector<std::uint8_t> sample_with_body(const std::vector<std::uint8_t> & body);

constexpr const char * kBytesType = "test_msgs::msg::dds_::Bytes_";

}  // namespace client_layer::rmw::test

#endif  // CLIENT_LAYER__RMW__TEST_SUPPORT_HPP_
