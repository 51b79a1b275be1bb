#include "diagnostic_center/robot_status.hpp"

namespace diagnostic_center {

std::int32_t DeriveRobotStatus(std::int32_t fsm_state, std::int32_t fsm_sub_state)
{
  switch (fsm_state) {
    case 1:
    case 3:
    case 5:
      return 1;
    case 2:
      return fsm_sub_state == 2 ? 3 : 2;
    default:
      return 2;
  }
}

}  // namespace diagnostic_center
