// Which blocks of a ROS 2 parameter file configure the diagnosis centre, for
// programs that read the node's parameter file themselves (diagctl).
#ifndef DIAGNOSTIC_CENTER__CONTRACT__PARAMETER_FILE_HPP_
#define DIAGNOSTIC_CENTER__CONTRACT__PARAMETER_FILE_HPP_

#include <string_view>

namespace diagnostic_center::contract {

// The key of the parameter block under each node key.
inline constexpr char kParametersKey[] = "ros__parameters";

// Whether the parameter block under `node_key` (the nested keys above the
// block joined by '/', such as "robot1/diagnostic_center") may configure the
// node: "/**" and "**", and every key whose last name is the node's or "*".
// The namespace part is not compared: a reader of the file alone does not
// know the namespace the node runs in.
bool ParametersBlockApplies(std::string_view node_key);

}  // namespace diagnostic_center::contract

#endif  // DIAGNOSTIC_CENTER__CONTRACT__PARAMETER_FILE_HPP_
