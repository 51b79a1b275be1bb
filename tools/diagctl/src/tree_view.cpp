#include "diagctl/tree_view.hpp"

#include <time.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

#include "diagctl/output_format.hpp"

namespace diagctl {

namespace {

using corvanta_protocol::msg::DiagnosisEntry;
using corvanta_protocol::msg::DiagnosisTree;

constexpr std::int64_t kNanosPerSecond = 1000000000;

std::int64_t to_nanoseconds(const builtin_interfaces::msg::Time & time)
{
  return static_cast<std::int64_t>(time.sec) * kNanosPerSecond +
         static_cast<std::int64_t>(time.nanosec);
}

std::string iso8601_from_nanoseconds(std::int64_t nanoseconds)
{
  std::int64_t seconds = nanoseconds / kNanosPerSecond;
  std::int64_t fraction = nanoseconds % kNanosPerSecond;
  if (fraction < 0) {
    fraction += kNanosPerSecond;
    --seconds;
  }
  const auto whole = static_cast<time_t>(seconds);
  struct tm utc = {};
  gmtime_r(&whole, &utc);
  char buffer[64];
  std::snprintf(
      buffer, sizeof(buffer), "%04d-%02d-%02dT%02d:%02d:%02d.%09lldZ", utc.tm_year + 1900,
      utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
      static_cast<long long>(fraction));
  return buffer;
}

class TreeWriter
{
public:
  TreeWriter(const DiagnosisTree & tree, std::int64_t now_ns) : tree_(tree), now_ns_(now_ns)
  {
    visited_.assign(tree.entries.size(), false);
    for (std::size_t i = 0; i < tree.entries.size(); ++i) {
      const DiagnosisEntry & entry = tree.entries[i];
      if (entry.parent_id != entry.fault_id) {
        children_[entry.parent_id].push_back(i);
      }
    }
  }

  std::string write()
  {
    std::string failures;
    for (std::size_t i = 0; i < tree_.entries.size(); ++i) {
      if (is_root(i)) {
        append_failure(failures, i, true);
      }
    }
    // What no root reaches: orphans and cycles.
    for (std::size_t i = 0; i < tree_.entries.size(); ++i) {
      if (!visited_[i]) {
        append_failure(failures, i, false);
      }
    }
    return "{\"stamp\": \"" + iso8601_from_nanoseconds(to_nanoseconds(tree_.stamp)) +
           "\", \"root_causes\": " + std::to_string(root_causes_) +
           ", \"consequences\": " + std::to_string(consequences_) + ", \"failures\": [" + failures +
           "]}";
  }

private:
  bool is_root(std::size_t i) const
  {
    return tree_.entries[i].parent_id == tree_.entries[i].fault_id;
  }

  void append_failure(std::string & out, std::size_t i, bool root)
  {
    visited_[i] = true;
    ++(root ? root_causes_ : consequences_);
    const DiagnosisEntry & entry = tree_.entries[i];
    const std::int64_t raised_ns = to_nanoseconds(entry.raised_at);
    char age[32];
    std::snprintf(age, sizeof(age), "%.3f", static_cast<double>(now_ns_ - raised_ns) / 1e9);
    if (out.size() > 0 && out.back() != '[') {
      out += ", ";
    }
    out += "{\"fault_id\": " + std::to_string(entry.fault_id) +
           ", \"level\": " + (root ? "\"error\"" : "\"warn\"") +
           ", \"description\": " + json_string(entry.description, InvalidUtf8::kReplacement) +
           ", \"module\": " + json_string(entry.module, InvalidUtf8::kReplacement) +
           ", \"raised_at\": \"" + iso8601_from_nanoseconds(raised_ns) + "\", \"age_s\": " + age +
           ", \"event_msg\": " + json_string(entry.event_msg, InvalidUtf8::kReplacement) +
           ", \"children\": [";
    const auto children = children_.find(entry.fault_id);
    if (children != children_.end()) {
      for (const std::size_t child : children->second) {
        if (!visited_[child] && !is_root(child)) {
          append_failure(out, child, false);
        }
      }
    }
    out += "]}";
  }

  const DiagnosisTree & tree_;
  const std::int64_t now_ns_;
  std::map<std::int32_t, std::vector<std::size_t>> children_;  // by parent id, message order
  std::vector<bool> visited_;
  int root_causes_ = 0;
  int consequences_ = 0;
};

}  // namespace

std::string iso8601_utc(const builtin_interfaces::msg::Time & time)
{
  return iso8601_from_nanoseconds(to_nanoseconds(time));
}

std::string iso8601_utc(std::chrono::system_clock::time_point time)
{
  return iso8601_from_nanoseconds(
      std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count());
}

std::string tree_json(const DiagnosisTree & tree, std::chrono::system_clock::time_point now)
{
  const std::int64_t now_ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count();
  return TreeWriter(tree, now_ns).write();
}

}  // namespace diagctl
