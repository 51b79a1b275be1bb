// Symbol visibility macros. The layer is built as one library with default
// visibility, so they expand to nothing; they exist for source compatibility.
#ifndef RCLCPP__VISIBILITY_CONTROL_HPP_
#define RCLCPP__VISIBILITY_CONTROL_HPP_

#define RCLCPP_EXPORT
#define RCLCPP_IMPORT
#define RCLCPP_PUBLIC
#define RCLCPP_LOCAL
#define RCLCPP_PUBLIC_TYPE

#endif  // RCLCPP__VISIBILITY_CONTROL_HPP_
