// What a valid context holds beyond its public interface: the command line it
// was initialised with and the DDS participant its nodes share.
#ifndef CLIENT_LAYER__CONTEXT_STATE_HPP_
#define CLIENT_LAYER__CONTEXT_STATE_HPP_

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client_layer/arguments.hpp"
#include "client_layer/rmw/transport.hpp"
#include "rclcpp/context.hpp"

namespace client_layer {

struct ContextState
{
  std::vector<std::string> arguments;
  // The ROS arguments of the command line: remappings and parameter
  // overrides for every node of the context.
  std::shared_ptr<const Arguments> global_arguments;
  std::uint32_t domain_id = 0;
  // What the participant is created with: the enclave (--enclave),
  // ROS_LOCALHOST_ONLY and the security settings, read when the context is
  // initialised.
  rmw::ParticipantOptions participant_options;

  // The DDS participant of the context's nodes: created with the first
  // node, gone with the last user (node or entity), as in Humble, whose
  // middleware deletes its participant with the last node and makes a new
  // one for the next.
  std::mutex participant_mutex;
  std::weak_ptr<rmw::Participant> participant;
};

// Internal access to a context's state, for the node and entity code.
class ContextAccess
{
public:
  // The state of a valid context; throws std::runtime_error otherwise.
  static std::shared_ptr<ContextState> state(const rclcpp::Context & context);

  // The context's participant, created when it has none.
  // Throws std::runtime_error when the context is not valid or DDS fails.
  static std::shared_ptr<rmw::Participant> participant(const rclcpp::Context & context);
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__CONTEXT_STATE_HPP_
