#include "domain_id.hpp"

#include <cstdlib>
#include <stdexcept>

namespace client_layer {

std::uint32_t parse_domain_id(const std::string & value)
{
  if (value.empty()) {
    return 0;
  }
  std::uint64_t number = 0;
  for (char c : value) {
    if (c < '0' || c > '9') {
      throw std::runtime_error("ROS_DOMAIN_ID is not an integral number: '" + value + "'");
    }
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
    if (number > kMaxDomainId) {
      throw std::runtime_error(
          "ROS_DOMAIN_ID is out of range: '" + value + "' (valid: 0 to " +
          std::to_string(kMaxDomainId) + ")");
    }
  }
  return static_cast<std::uint32_t>(number);
}

std::uint32_t domain_id_from_environment()
{
  const char * value = std::getenv("ROS_DOMAIN_ID");
  return parse_domain_id(value == nullptr ? std::string() : std::string(value));
}

}  // namespace client_layer
