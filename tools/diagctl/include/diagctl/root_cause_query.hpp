// One call of the node's query service "diagnostic_srv".
#ifndef DIAGCTL__ROOT_CAUSE_QUERY_HPP_
#define DIAGCTL__ROOT_CAUSE_QUERY_HPP_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "diagctl/ros_session.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

constexpr const char * kQueryService = diagnostic_center::contract::kQueryService;

// Asks for the current root causes and waits at most `timeout` for the
// service and its answer. On failure returns nothing and sets `error`.
std::optional<std::vector<std::int32_t>> query_root_causes(
    const RosSession & session, std::chrono::milliseconds timeout, std::string & error);

}  // namespace diagctl

#endif  // DIAGCTL__ROOT_CAUSE_QUERY_HPP_
