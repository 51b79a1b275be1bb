// DDS Security for a participant, configured as Humble's Cyclone DDS
// middleware configures it: the enclave's certificates, key, governance and
// permissions (and a revocation list, when there is one) become dds.sec.*
// properties of the participant's QoS, which make Cyclone DDS load its
// authentication, cryptography and access-control plugins and secure every
// entity of the participant. An enclave that lacks a file leaves the
// participant unsecured; the caller decides whether that is acceptable.
#ifndef CLIENT_LAYER__RMW__SECURITY_HPP_
#define CLIENT_LAYER__RMW__SECURITY_HPP_

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"

namespace client_layer::rmw::detail {

// A participant QoS property: name and value.
using Property = std::pair<std::string, std::string>;

// The properties that secure a participant with the enclave in `root_path`,
// files as "file:<path>"; nullopt when a required file is not a regular file
// (symbolic links are followed: `ros2 security` links the CA certificates and
// the governance into every enclave).
std::optional<std::vector<Property>> security_properties(const std::string & root_path);

// Adds the security properties to `qos`; false when the participant stays
// unsecured: security is off, or the enclave lacks a file (then logged, as
// Humble logs it, on the logger "rmw_cyclonedds_cpp").
bool configure_security(dds_qos_t * qos, const SecurityOptions & options);

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__SECURITY_HPP_
