// How the running node ends on SIGINT and SIGTERM: at once, by SIGKILL, so
// that no callback finishes and no destructor runs. Only the fault records
// already handed to the recorder are appended first, whole lines only,
// within about a second.
#ifndef DIAGNOSTIC_CENTER__TERMINATION_HPP_
#define DIAGNOSTIC_CENTER__TERMINATION_HPP_

namespace diagnostic_center {

// Replaces the handling of SIGTERM and SIGINT (rclcpp's until then) as above.
// Called once, by the process entry, when start-up has succeeded.
void InstallTerminationHandling();

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__TERMINATION_HPP_
