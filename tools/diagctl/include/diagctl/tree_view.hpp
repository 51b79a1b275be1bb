// The diagnosis tree as a JSON document: root causes in the message's order,
// each with the failures below it nested under "children". The same document
// for every consumer (the dashboard's /api/tree).
#ifndef DIAGCTL__TREE_VIEW_HPP_
#define DIAGCTL__TREE_VIEW_HPP_

#include <chrono>
#include <string>

#include <builtin_interfaces/msg/time.hpp>
#include <corvanta_protocol/msg/diagnosis_tree.hpp>

namespace diagctl {

// "YYYY-MM-DDTHH:MM:SS.nnnnnnnnnZ" (UTC); nanoseconds above a second carry over.
std::string iso8601_utc(const builtin_interfaces::msg::Time & time);
std::string iso8601_utc(std::chrono::system_clock::time_point time);

// The tree as JSON; `now` gives every failure's age_s. Entries whose parent is
// not in the message (or that hang in a cycle) are listed at the top as
// consequences, so that a malformed tree still shows every failure once.
std::string tree_json(
    const corvanta_protocol::msg::DiagnosisTree & tree, std::chrono::system_clock::time_point now);

}  // namespace diagctl

#endif  // DIAGCTL__TREE_VIEW_HPP_
