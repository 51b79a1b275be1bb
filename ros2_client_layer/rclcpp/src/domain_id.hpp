// The ROS domain id as ROS_DOMAIN_ID gives it.
#ifndef CLIENT_LAYER__DOMAIN_ID_HPP_
#define CLIENT_LAYER__DOMAIN_ID_HPP_

#include <cstdint>
#include <string>

namespace client_layer {

// Highest domain id that DDS port mapping allows.
constexpr std::uint32_t kMaxDomainId = 232;

// Parses a ROS_DOMAIN_ID value; an empty value means 0.
// Throws std::runtime_error naming the problem for anything else than a
// decimal number in [0, kMaxDomainId].
std::uint32_t parse_domain_id(const std::string & value);

// The domain id from the environment (0 when ROS_DOMAIN_ID is unset).
std::uint32_t domain_id_from_environment();

}  // namespace client_layer

#endif  // CLIENT_LAYER__DOMAIN_ID_HPP_
