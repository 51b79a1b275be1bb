// What a valid context holds beyond its public interface: the command line it
// was initialised with and the DDS participant its nodes share.
#ifndef CLIENT_LAYER__CONTEXT_STATE_HPP_
#define CLIENT_LAYER__CONTEXT_STATE_HPP_

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"

namespace client_layer {

struct ContextState
{
  std::vector<std::string> arguments;
  std::uint32_t domain_id = 0;
};

// Internal access to a context's state, for the node and entity code.
class ContextAccess
{
public:
  // The state of a valid context; throws std::runtime_error otherwise.
  static std::shared_ptr<ContextState> state(const rclcpp::Context & context);
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__CONTEXT_STATE_HPP_
