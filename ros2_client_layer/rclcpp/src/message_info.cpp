#include "rclcpp/message_info.hpp"

namespace rclcpp {

MessageInfo::MessageInfo(const rmw_message_info_t & rmw_message_info)
    : rmw_message_info_(rmw_message_info)
{
}

MessageInfo::~MessageInfo() = default;

const rmw_message_info_t & MessageInfo::get_rmw_message_info() const { return rmw_message_info_; }

rmw_message_info_t & MessageInfo::get_rmw_message_info() { return rmw_message_info_; }

}  // namespace rclcpp
