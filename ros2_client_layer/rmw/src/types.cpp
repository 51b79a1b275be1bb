// Initializers of the rmw types, behaving as ROS 2 Humble's.
#include "rmw/types.h"

extern "C" {

rmw_message_info_t rmw_get_zero_initialized_message_info(void)
{
  rmw_message_info_t info{};
  return info;
}

}  // extern "C"
