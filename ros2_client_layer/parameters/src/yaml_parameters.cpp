#include "yaml_parameters.hpp"

#include <yaml-cpp/yaml.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "client_layer/names.hpp"

namespace client_layer {
namespace yaml_parameters {
namespace {

constexpr const char * kParamsKey = "ros__parameters";

std::string at_line(const char * what, const YAML::Mark & mark)
{
  return std::string(what) + " at line " + std::to_string(mark.line + 1);
}

bool is_one_of(const std::string & text, std::initializer_list<const char *> words)
{
  for (const char * word : words) {
    if (text == word) {
      return true;
    }
  }
  return false;
}

/// yaml-cpp turns "~", "null" and an absent value into null nodes and drops the
/// text; rcl keeps "~"/"null" as strings and rejects an absent value.
std::string null_node_text(const YAML::Node & node, const std::string & source)
{
  const YAML::Mark mark = node.Mark();
  if (mark.pos < 0 || static_cast<size_t>(mark.pos) >= source.size()) {
    return std::string();
  }
  size_t end = static_cast<size_t>(mark.pos);
  while (end < source.size() && std::strchr(" \t\r\n,]}#", source[end]) == nullptr) {
    ++end;
  }
  std::string text = source.substr(static_cast<size_t>(mark.pos), end - mark.pos);
  return is_one_of(text, {"~", "null", "Null", "NULL"}) ? text : std::string();
}

enum class ElementType
{
  kUnknown,
  kBool,
  kInteger,
  kDouble,
  kString
};

ElementType element_type(const rclcpp::ParameterValue & value)
{
  switch (value.get_type()) {
    case rclcpp::PARAMETER_BOOL:
      return ElementType::kBool;
    case rclcpp::PARAMETER_INTEGER:
      return ElementType::kInteger;
    case rclcpp::PARAMETER_DOUBLE:
      return ElementType::kDouble;
    default:
      return ElementType::kString;
  }
}

const char * element_type_name(ElementType type)
{
  switch (type) {
    case ElementType::kBool:
      return "bool";
    case ElementType::kInteger:
      return "integer";
    case ElementType::kDouble:
      return "double";
    default:
      return "string";
  }
}

rclcpp::ParameterValue scalar_value(const YAML::Node & node, const std::string & source)
{
  if (node.IsNull()) {
    const std::string text = null_node_text(node, source);
    if (text.empty()) {
      throw YamlError(at_line("No value", node.Mark()));
    }
    return rclcpp::ParameterValue(text);
  }
  const bool quoted = node.Tag() == "!";
  if (!quoted && node.Scalar().empty()) {
    throw YamlError(at_line("No value", node.Mark()));
  }
  return type_scalar(node.Scalar(), quoted);
}

rclcpp::ParameterValue sequence_value(const YAML::Node & node, const std::string & source)
{
  ElementType sequence_type = ElementType::kUnknown;
  std::vector<bool> bools;
  std::vector<int64_t> integers;
  std::vector<double> doubles;
  std::vector<std::string> strings;
  for (const YAML::Node & element : node) {
    if (!element.IsScalar() && !element.IsNull()) {
      throw YamlError(at_line("Sequences can only hold scalar values. Error", element.Mark()));
    }
    const rclcpp::ParameterValue value = scalar_value(element, source);
    const ElementType type = element_type(value);
    if (sequence_type == ElementType::kUnknown) {
      sequence_type = type;
    } else if (type != sequence_type) {
      throw YamlError(
          std::string("Sequence should be of same type. Value type '") + element_type_name(type) +
          "' do not belong at line_num " + std::to_string(element.Mark().line + 1));
    }
    switch (type) {
      case ElementType::kBool:
        bools.push_back(value.get<bool>());
        break;
      case ElementType::kInteger:
        integers.push_back(value.get<int64_t>());
        break;
      case ElementType::kDouble:
        doubles.push_back(value.get<double>());
        break;
      default:
        strings.push_back(value.get<std::string>());
        break;
    }
  }
  switch (sequence_type) {
    case ElementType::kBool:
      return rclcpp::ParameterValue(bools);
    case ElementType::kInteger:
      return rclcpp::ParameterValue(integers);
    case ElementType::kDouble:
      return rclcpp::ParameterValue(doubles);
    case ElementType::kString:
      return rclcpp::ParameterValue(strings);
    default:
      // rcl records the name of an empty sequence without any value.
      return rclcpp::ParameterValue();
  }
}

rclcpp::ParameterValue node_value(const YAML::Node & node, const std::string & source)
{
  if (node.IsSequence()) {
    return sequence_value(node, source);
  }
  if (node.IsMap()) {
    throw YamlError("Unknown YAML event");
  }
  return scalar_value(node, source);
}

YAML::Node load(const std::string & text)
{
  try {
    return YAML::Load(text);
  } catch (const YAML::Exception & error) {
    // rcl gives the line and no more detail.
    throw YamlError("Error parsing a event near line " + std::to_string(error.mark.line + 1));
  }
}

/// rcl's check of a node-name key: "/**", or [namespace/]name with "*" wildcards.
void validate_node_key(const std::string & key)
{
  if (key == "/**") {
    return;
  }
  const size_t separator = key.rfind('/');
  const std::string node_name = separator == std::string::npos ? key : key.substr(separator + 1);
  if (separator != std::string::npos) {
    std::string ns = key.substr(0, separator);
    if (ns.empty() || ns[0] != '/') {
      ns = "/" + ns;
    }
    if (ns != "/**") {
      if (auto ns_error = names::validate_namespace(ns)) {
        throw YamlError(ns_error->message);
      }
    }
  }
  if (node_name != "*") {
    if (auto name_error = names::validate_node_name(node_name)) {
      throw YamlError(name_error->message);
    }
  }
}

void read_parameters(
    const YAML::Node & map, const std::string & node_key, const std::string & prefix,
    const std::string & source, ParameterOverrideSet & out)
{
  for (const auto & entry : map) {
    const std::string key = entry.first.Scalar();
    if (key.empty()) {
      throw YamlError(at_line("No key", entry.first.Mark()));
    }
    const std::string name = prefix.empty() ? key : prefix + "." + key;
    if (entry.second.IsMap()) {
      read_parameters(entry.second, node_key, name, source, out);
    } else {
      out.set(node_key, name, node_value(entry.second, source));
    }
  }
}

void read_node_level(
    const YAML::Node & map, const std::string & node_path, const std::string & source,
    ParameterOverrideSet & out)
{
  for (const auto & entry : map) {
    if (!entry.first.IsScalar() || entry.first.Scalar().empty()) {
      if (entry.first.IsSequence()) {
        throw YamlError(at_line("Sequences cannot be key", entry.first.Mark()));
      }
      throw YamlError(at_line("No key", entry.first.Mark()));
    }
    const std::string key = entry.first.Scalar();
    const YAML::Node & value = entry.second;
    if (key.compare(0, std::strlen(kParamsKey), kParamsKey) == 0) {
      if (node_path.empty()) {
        throw YamlError(
            std::string("There are no node names before ") + kParamsKey + " at line " +
            std::to_string(entry.first.Mark().line + 1));
      }
      validate_node_key(node_path);
      if (value.IsMap()) {
        read_parameters(value, node_path, "", source, out);
      } else if (!value.IsNull()) {
        throw YamlError(
            std::string("Cannot have a value before ") + kParamsKey + " at line " +
            std::to_string(value.Mark().line + 1));
      }
      continue;
    }
    const std::string path = node_path.empty() ? key : node_path + "/" + key;
    if (value.IsMap()) {
      read_node_level(value, path, source, out);
    } else if (value.IsSequence()) {
      throw YamlError(
          "Sequences can only be values and not keys in params. Error at line " +
          std::to_string(value.Mark().line + 1));
    } else if (!value.IsNull()) {
      throw YamlError(
          std::string("Cannot have a value before ") + kParamsKey + " at line " +
          std::to_string(value.Mark().line + 1));
    }
  }
}

}  // namespace

rclcpp::ParameterValue type_scalar(const std::string & text, bool quoted)
{
  if (quoted) {
    return rclcpp::ParameterValue(text);
  }
  if (is_one_of(text, {"Y", "y", "yes", "Yes", "YES", "true", "True", "TRUE", "on", "On", "ON"})) {
    return rclcpp::ParameterValue(true);
  }
  if (is_one_of(
          text, {"N", "n", "no", "No", "NO", "false", "False", "FALSE", "off", "Off", "OFF"})) {
    return rclcpp::ParameterValue(false);
  }
  const char * begin = text.c_str();
  char * end = nullptr;
  errno = 0;
  const long long integer = std::strtoll(begin, &end, 0);
  if (errno == 0 && end != begin && *begin != '\0' && *end == '\0') {
    return rclcpp::ParameterValue(static_cast<int64_t>(integer));
  }
  errno = 0;
  double number;
  if (is_one_of(
          text, {".nan", ".NaN", ".NAN", ".inf", ".Inf", ".INF", "+.inf", "+.Inf", "+.INF", "-.inf",
                 "-.Inf", "-.INF"})) {
    const char * letters = begin;
    while (!std::isalpha(static_cast<unsigned char>(*letters))) {
      ++letters;
    }
    number = std::strtod(letters, &end);
    if (*begin == '-') {
      number = -number;
    }
  } else {
    number = std::strtod(begin, &end);
  }
  if (errno == 0 && end != begin && *begin != '\0' && *end == '\0') {
    return rclcpp::ParameterValue(number);
  }
  return rclcpp::ParameterValue(text);
}

rclcpp::ParameterValue parse_value(const std::string & yaml_text)
{
  if (yaml_text.empty()) {
    throw YamlError("No value");
  }
  return node_value(load(yaml_text), yaml_text);
}

void parse_document(const std::string & yaml_text, ParameterOverrideSet & out)
{
  const YAML::Node root = load(yaml_text);
  if (root.IsSequence()) {
    throw YamlError(at_line("Sequences cannot be key", root.Mark()));
  }
  if (!root.IsMap()) {
    return;  // an empty document (or a lone scalar) holds no parameters
  }
  read_node_level(root, "", yaml_text, out);
}

}  // namespace yaml_parameters
}  // namespace client_layer
