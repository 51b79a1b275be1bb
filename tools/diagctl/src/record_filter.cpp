#include "diagctl/record_filter.hpp"

#include <cctype>

namespace diagctl {

namespace {

// Digits where `pattern` has '0', the very character elsewhere.
bool has_shape(std::string_view text, std::string_view pattern)
{
  if (text.size() != pattern.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool is_digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (pattern[i] == '0' ? !is_digit : text[i] != pattern[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::string> normalize_record_time(std::string_view text, RangeEnd end)
{
  if (has_shape(text, "0000-00-00")) {
    return std::string(text) + (end == RangeEnd::kSince ? "_00-00-00" : "_23-59-59");
  }
  if (has_shape(text, "0000-00-00_00-00-00")) {
    return std::string(text);
  }
  if (has_shape(text, "0000-00-00 00:00:00") || has_shape(text, "0000-00-00T00:00:00")) {
    std::string time(text);
    time[10] = '_';
    time[13] = '-';
    time[16] = '-';
    return time;
  }
  return std::nullopt;
}

bool RecordFilter::matches(const Record & record) const
{
  // The record time format is fixed-width and most significant first, so
  // text order is time order.
  if (since && record.time < *since) {
    return false;
  }
  if (until && record.time > *until) {
    return false;
  }
  if (!fault_ids.empty() && fault_ids.count(record.fault_id) == 0) {
    return false;
  }
  return !status || record.status == *status;
}

}  // namespace diagctl
