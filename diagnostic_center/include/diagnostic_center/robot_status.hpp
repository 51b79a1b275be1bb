// The coarse robot status the centre derives from the task centre's state
// machine; a change of it announces every current failure again.
#ifndef DIAGNOSTIC_CENTER__ROBOT_STATUS_HPP_
#define DIAGNOSTIC_CENTER__ROBOT_STATUS_HPP_

#include <cstdint>

namespace diagnostic_center {

// The status before any task-centre state was seen.
inline constexpr std::int32_t kInitialRobotStatus = 1;

// 1 for states 1, 3 and 5; 3 for state 2 with sub-state 2; 2 for everything
// else, including states never defined (0, negative, 6 and up).
std::int32_t DeriveRobotStatus(std::int32_t fsm_state, std::int32_t fsm_sub_state);

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__ROBOT_STATUS_HPP_
