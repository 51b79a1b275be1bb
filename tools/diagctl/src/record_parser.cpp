#include "diagctl/record_parser.hpp"

#include <cctype>
#include <charconv>
#include <limits>

namespace diagctl {

namespace {

constexpr std::string_view kTimePattern = "0000-00-00_00-00-00";
constexpr std::string_view kIdSeparator = " fault_id : ";
constexpr std::string_view kDescSeparator = ", fault_desc : ";
constexpr std::string_view kStatusSeparator = ", status : ";
constexpr std::string_view kMessageSeparator = ", event_msg : ";

bool is_record_time(std::string_view text)
{
  if (text.size() != kTimePattern.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool want_digit = kTimePattern[i] == '0';
    const bool is_digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (want_digit ? !is_digit : text[i] != kTimePattern[i]) {
      return false;
    }
  }
  return true;
}

std::optional<std::int32_t> parse_fault_id(std::string_view text)
{
  std::int64_t value = 0;
  const char * end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) {
    return std::nullopt;
  }
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

// The status word and message separator that follow the description.
struct StatusTail
{
  std::string_view text;
  RecordStatus status;
};

constexpr StatusTail kFaultTail{", status : fault, event_msg : ", RecordStatus::kFault};
constexpr StatusTail kPassedTail{", status : passed, event_msg : ", RecordStatus::kPassed};

bool starts_with(std::string_view text, std::string_view prefix)
{
  return text.substr(0, prefix.size()) == prefix;
}

// Splits "<description><tail><message>" at `desc_length`, if a tail starts there.
bool split_at(std::string_view rest, std::size_t desc_length, Record & record)
{
  for (const StatusTail & tail : {kFaultTail, kPassedTail}) {
    if (starts_with(rest.substr(desc_length), tail.text)) {
      record.description = std::string(rest.substr(0, desc_length));
      record.status = tail.status;
      record.message = std::string(rest.substr(desc_length + tail.text.size()));
      return true;
    }
  }
  return false;
}

}  // namespace

const char * to_string(RecordStatus status)
{
  return status == RecordStatus::kFault ? "fault" : "passed";
}

std::optional<Record> parse_record_line(
    std::string_view line, std::string & error, const DescriptionLookup & lookup)
{
  const std::string_view time = line.substr(0, kTimePattern.size());
  if (!is_record_time(time)) {
    error = "no record time at the start of the line";
    return std::nullopt;
  }
  std::string_view rest = line.substr(time.size());
  if (!starts_with(rest, kIdSeparator)) {
    error = "no \"fault_id : \" after the time";
    return std::nullopt;
  }
  rest.remove_prefix(kIdSeparator.size());

  const std::size_t desc_at = rest.find(kDescSeparator);
  if (desc_at == std::string_view::npos) {
    error = "no \", fault_desc : \" after the fault id";
    return std::nullopt;
  }
  const auto fault_id = parse_fault_id(rest.substr(0, desc_at));
  if (!fault_id) {
    error = "fault id is not a 32-bit decimal integer";
    return std::nullopt;
  }
  rest.remove_prefix(desc_at + kDescSeparator.size());

  Record record;
  record.time = std::string(time);
  record.fault_id = *fault_id;

  if (lookup) {
    const auto description = lookup(*fault_id);
    if (description && starts_with(rest, *description) &&
        split_at(rest, description->size(), record)) {
      return record;
    }
  }
  // Without a configured description, the first status separator ends it.
  for (std::size_t at = rest.find(kStatusSeparator); at != std::string_view::npos;
       at = rest.find(kStatusSeparator, at + 1)) {
    if (split_at(rest, at, record)) {
      return record;
    }
  }
  error = "no \", status : fault|passed, event_msg : \" after the description";
  return std::nullopt;
}

RecordFileContent read_records(
    std::istream & in, const std::string & file_name, const DescriptionLookup & lookup)
{
  RecordFileContent content;
  std::string line;
  std::size_t line_number = 0;
  while (std::getline(in, line)) {
    ++line_number;
    // getline stops at end of input without a newline: the writer was cut off.
    const bool truncated = in.eof();
    std::string error;
    auto record = parse_record_line(line, error, lookup);
    if (!record) {
      if (truncated) {
        error = "truncated last line (" + error + ")";
      }
      content.issues.push_back({file_name, line_number, error});
      continue;
    }
    record->file = file_name;
    record->line = line_number;
    record->truncated = truncated;
    content.records.push_back(std::move(*record));
  }
  return content;
}

}  // namespace diagctl
