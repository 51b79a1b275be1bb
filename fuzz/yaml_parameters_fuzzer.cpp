// The parameter YAML reader on any text: as a --params-file document and as
// the value of a -p rule. Refusals are rcl's errors (YamlError); any other
// exception, crash, sanitizer report or hang is a finding.
//
// A document that is accepted must mean the same when its parameters are
// written back as YAML (every scalar quoted or typed explicitly) and read
// again: names, node keys, types and values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "client_layer/arguments.hpp"
#include "fuzz_check.hpp"
#include "yaml_parameters.hpp"

namespace {

using client_layer::ParameterOverrideSet;
namespace yaml_parameters = client_layer::yaml_parameters;

// One code point of valid UTF-8 at `text[at]` (advancing `at`), or nothing.
std::optional<std::uint32_t> next_code_point(const std::string & text, std::size_t & at)
{
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > text.size()) {
    return std::nullopt;
  }
  std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      return std::nullopt;
    }
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return std::nullopt;
  }
  at += length;
  return code;
}

// A double-quoted YAML scalar holding exactly `text`; nothing if `text` is
// not valid UTF-8 (YAML cannot hold it).
std::optional<std::string> quoted(const std::string & text)
{
  std::string out = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const auto code = next_code_point(text, at);
    if (!code) {
      return std::nullopt;
    }
    char escape[16];
    if (*code == '"' || *code == '\\') {
      out += '\\';
      out += static_cast<char>(*code);
      continue;
    }
    if (*code >= 0x20 && *code < 0x7F) {
      out += static_cast<char>(*code);
      continue;
    }
    if (*code < 0x100) {
      std::snprintf(escape, sizeof(escape), "\\x%02X", static_cast<unsigned>(*code));
    } else if (*code < 0x10000) {
      std::snprintf(escape, sizeof(escape), "\\u%04X", static_cast<unsigned>(*code));
    } else {
      std::snprintf(escape, sizeof(escape), "\\U%08X", static_cast<unsigned>(*code));
    }
    out += escape;
  }
  return out + "\"";
}

std::string plain_double(double value)
{
  if (std::isnan(value)) {
    return ".nan";
  }
  if (std::isinf(value)) {
    return value > 0 ? ".inf" : "-.inf";
  }
  char text[40];
  std::snprintf(text, sizeof(text), "%.17g", value);
  std::string out = text;
  // Without a point or exponent the reader would take it for an integer.
  if (out.find_first_of(".e") == std::string::npos) {
    out += ".0";
  }
  return out;
}

template <typename T, typename Format>
std::optional<std::string> flow_sequence(const std::vector<T> & values, Format format)
{
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::optional<std::string> element = format(values[i]);
    if (!element) {
      return std::nullopt;
    }
    out += (i == 0 ? "" : ", ") + *element;
  }
  return out + "]";
}

std::optional<std::string> yaml_value(const rclcpp::ParameterValue & value)
{
  const auto boolean = [](bool b) -> std::optional<std::string> { return b ? "true" : "false"; };
  const auto integer = [](int64_t i) -> std::optional<std::string> { return std::to_string(i); };
  const auto real = [](double d) -> std::optional<std::string> { return plain_double(d); };
  switch (value.get_type()) {
    case rclcpp::PARAMETER_NOT_SET:
      return std::string("[]");
    case rclcpp::PARAMETER_BOOL:
      return boolean(value.get<bool>());
    case rclcpp::PARAMETER_INTEGER:
      return integer(value.get<int64_t>());
    case rclcpp::PARAMETER_DOUBLE:
      return real(value.get<double>());
    case rclcpp::PARAMETER_STRING:
      return quoted(value.get<std::string>());
    case rclcpp::PARAMETER_BOOL_ARRAY:
      return flow_sequence(value.get<std::vector<bool>>(), boolean);
    case rclcpp::PARAMETER_INTEGER_ARRAY:
      return flow_sequence(value.get<std::vector<int64_t>>(), integer);
    case rclcpp::PARAMETER_DOUBLE_ARRAY:
      return flow_sequence(value.get<std::vector<double>>(), real);
    case rclcpp::PARAMETER_STRING_ARRAY:
      return flow_sequence(value.get<std::vector<std::string>>(), quoted);
    default:
      fuzz::fail("a parameter file gave a value of type " + rclcpp::to_string(value.get_type()));
  }
}

// The parameters as one YAML document: every node key and name quoted, so
// that nested maps and flattened names read back the same.
std::optional<std::string> yaml_document(const ParameterOverrideSet & set)
{
  std::string out;
  for (const auto & [node_key, parameters] : set.nodes) {
    const auto key = quoted(node_key);
    if (!key) {
      return std::nullopt;
    }
    out += *key + ":\n  ros__parameters:\n";
    for (const auto & [name, value] : parameters) {
      const auto quoted_name = quoted(name);
      const auto text = yaml_value(value);
      if (!quoted_name || !text) {
        return std::nullopt;
      }
      out += "    " + *quoted_name + ": " + *text + "\n";
    }
  }
  return out;
}

bool same_value(const rclcpp::ParameterValue & a, const rclcpp::ParameterValue & b)
{
  if (a.get_type() == rclcpp::PARAMETER_DOUBLE && b.get_type() == rclcpp::PARAMETER_DOUBLE &&
      std::isnan(a.get<double>()) && std::isnan(b.get<double>())) {
    return true;
  }
  if (a.get_type() == rclcpp::PARAMETER_DOUBLE_ARRAY &&
      b.get_type() == rclcpp::PARAMETER_DOUBLE_ARRAY) {
    const auto & x = a.get<std::vector<double>>();
    const auto & y = b.get<std::vector<double>>();
    if (x.size() != y.size()) {
      return false;
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!(x[i] == y[i] || (std::isnan(x[i]) && std::isnan(y[i])))) {
        return false;
      }
    }
    return true;
  }
  return a == b;
}

void check_written_back(const ParameterOverrideSet & parsed)
{
  const std::optional<std::string> document = yaml_document(parsed);
  if (!document) {
    return;  // a string that is not UTF-8 cannot be written back as YAML
  }
  ParameterOverrideSet again;
  try {
    yaml_parameters::parse_document(*document, again);
  } catch (const yaml_parameters::YamlError & error) {
    fuzz::fail(
        std::string("written back, the parameters are refused: ") + error.what() + "\n" +
        *document);
  }
  fuzz::check(again.nodes.size() == parsed.nodes.size(), "node keys differ:\n", *document);
  for (std::size_t n = 0; n < parsed.nodes.size(); ++n) {
    const auto & [key, parameters] = parsed.nodes[n];
    const auto & [key_again, parameters_again] = again.nodes[n];
    fuzz::check(key == key_again, "node key '", key, "' read back as '", key_again, "'");
    fuzz::check(parameters.size() == parameters_again.size(), "names differ:\n", *document);
    for (std::size_t p = 0; p < parameters.size(); ++p) {
      fuzz::check(
          parameters[p].first == parameters_again[p].first, "name '", parameters[p].first,
          "' read back as '", parameters_again[p].first, "'");
      fuzz::check(
          same_value(parameters[p].second, parameters_again[p].second), "value of '",
          parameters[p].first, "' read back differently:\n", *document);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  const std::string text(reinterpret_cast<const char *>(data), size);
  ParameterOverrideSet parsed;
  try {
    yaml_parameters::parse_document(text, parsed);
    check_written_back(parsed);
  } catch (const yaml_parameters::YamlError &) {
  }
  try {
    yaml_parameters::parse_value(text);
  } catch (const yaml_parameters::YamlError &) {
  }
  return 0;
}
