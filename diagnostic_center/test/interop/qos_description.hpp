// QoS profiles written as text on a command line, e.g.
// "reliable,keep_last:3,transient_local" or "best_effort,keep_all,volatile":
// reliability, history and durability, in any order; the rest stays at the
// rclcpp defaults.
#ifndef DIAGNOSTIC_CENTER__TEST__INTEROP__QOS_DESCRIPTION_HPP_
#define DIAGNOSTIC_CENTER__TEST__INTEROP__QOS_DESCRIPTION_HPP_

#include <string>

#include "rclcpp/qos.hpp"

namespace protocol_peer {

// Throws std::invalid_argument naming the word it does not understand, or
// the policy that is missing.
rclcpp::QoS ParseQos(const std::string & description);

}  // namespace protocol_peer

#endif  // DIAGNOSTIC_CENTER__TEST__INTEROP__QOS_DESCRIPTION_HPP_
