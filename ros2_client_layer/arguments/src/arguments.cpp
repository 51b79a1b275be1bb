#include "client_layer/arguments.hpp"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/error_state.hpp"
#include "client_layer/logging.hpp"
#include "client_layer/names.hpp"
#include "client_layer/yaml_parameters.hpp"
#include "rclcpp/exceptions.hpp"
#include "rule_lexer.hpp"

namespace client_layer {
namespace {

constexpr const char * kRosArgsFlag = "--ros-args";
constexpr const char * kRosArgsEnd = "--";

/// A rule that does not parse; what() is the inner error rcl reports.
class RuleError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

void expect_or_throw(RuleLexer & lexer, Lexeme lexeme, const char * what)
{
  if (!lexer.expect(lexeme)) {
    throw RuleError(
        std::string("Expected ") + what + ", search ended at index " +
        std::to_string(lexer.position()));
  }
}

/// token | "*" | "**" on the match side of a name rule.
void parse_match_token(RuleLexer & lexer)
{
  switch (lexer.peek()) {
    case Lexeme::kToken:
      lexer.accept();
      return;
    case Lexeme::kWildOne:
      throw RuleError("Wildcard '*' is not implemented");
    case Lexeme::kWildMulti:
      throw RuleError("Wildcard '**' is not implemented");
    default:
      throw RuleError("Expecting token or wildcard");
  }
}

/// token | back reference on the replacement side of a name rule.
void parse_replacement_token(RuleLexer & lexer)
{
  switch (lexer.peek()) {
    case Lexeme::kToken:
      lexer.accept();
      return;
    case Lexeme::kBackReference:
      throw RuleError("Backreferences are not implemented");
    default:
      throw RuleError(
          "Expected a name token, search ended at index " + std::to_string(lexer.position()));
  }
}

/// [ "~/" | "/" ] token ( "/" token )* up to `stop`.
std::string parse_name(RuleLexer & lexer, Lexeme stop, void (*parse_token)(RuleLexer &))
{
  const size_t start = lexer.position();
  const std::string_view all = lexer.rest();
  if (lexer.peek() == Lexeme::kTildeSlash || lexer.peek() == Lexeme::kForwardSlash) {
    lexer.accept();
  }
  parse_token(lexer);
  while (lexer.peek() != stop) {
    expect_or_throw(lexer, Lexeme::kForwardSlash, "'/'");
    parse_token(lexer);
  }
  return std::string(all.substr(0, lexer.position() - start));
}

RemapRule parse_remap_rule(const std::string & text)
{
  RuleLexer lexer(text);
  RemapRule rule;
  std::string_view token;
  if (lexer.peek() == Lexeme::kToken && lexer.peek_second() == Lexeme::kColon) {
    lexer.expect(Lexeme::kToken, &token);
    lexer.accept();
    rule.node_name = std::string(token);
  }
  switch (lexer.peek()) {
    case Lexeme::kNode:
      lexer.accept();
      expect_or_throw(lexer, Lexeme::kSeparator, "':='");
      if (!lexer.expect(Lexeme::kToken, &token)) {
        throw RuleError(
            "Node name not remapped to invalid name: '" + std::string(lexer.rest()) + "'");
      }
      rule.kinds = RemapRule::kNodeName;
      rule.replacement = std::string(token);
      break;
    case Lexeme::kNs: {
      lexer.accept();
      expect_or_throw(lexer, Lexeme::kSeparator, "':='");
      const std::string_view ns = lexer.rest();
      if (!lexer.expect(Lexeme::kForwardSlash)) {
        throw RuleError(
            "Namespace not remapped to a fully qualified name (found: " + std::string(ns) + ")");
      }
      while (lexer.expect(Lexeme::kToken) && lexer.expect(Lexeme::kForwardSlash)) {
      }
      if (lexer.peek() != Lexeme::kEof) {
        throw RuleError(
            "Namespace not remapped to a fully qualified name (found: " + std::string(ns) + ")");
      }
      rule.kinds = RemapRule::kNamespace;
      // Kept as written: "/a/b/" passes here, as in rcl, and the node refuses it.
      rule.replacement = std::string(ns);
      break;
    }
    default:
      if (lexer.expect(Lexeme::kUrlService)) {
        rule.kinds = RemapRule::kService;
      } else if (lexer.expect(Lexeme::kUrlTopic)) {
        rule.kinds = RemapRule::kTopic;
      }
      rule.match = parse_name(lexer, Lexeme::kSeparator, parse_match_token);
      expect_or_throw(lexer, Lexeme::kSeparator, "':='");
      rule.replacement = parse_name(lexer, Lexeme::kEof, parse_replacement_token);
      break;
  }
  expect_or_throw(lexer, Lexeme::kEof, "the end of the rule");
  return rule;
}

/// A run of tokens and slashes in a parameter name (between dots).
void parse_param_name_token(RuleLexer & lexer)
{
  const Lexeme first = lexer.peek();
  if (first == Lexeme::kWildOne) {
    throw RuleError("Wildcard '*' is not implemented");
  }
  if (first == Lexeme::kWildMulti) {
    throw RuleError("Wildcard '**' is not implemented");
  }
  if (first != Lexeme::kToken && first != Lexeme::kForwardSlash) {
    throw RuleError("Expecting token or wildcard");
  }
  while (lexer.peek() == Lexeme::kToken || lexer.peek() == Lexeme::kForwardSlash) {
    lexer.accept();
  }
}

void parse_param_rule(const std::string & text, ParameterOverrideSet & overrides)
{
  RuleLexer lexer(text);
  std::string node_name = "/**";
  std::string_view token;
  if (lexer.peek() == Lexeme::kToken && lexer.peek_second() == Lexeme::kColon) {
    lexer.expect(Lexeme::kToken, &token);
    lexer.accept();
    node_name = std::string(token);
  }
  const size_t name_start = lexer.position();
  const std::string_view all = lexer.rest();
  parse_param_name_token(lexer);
  while (lexer.peek() != Lexeme::kSeparator) {
    expect_or_throw(lexer, Lexeme::kDot, "'.'");
    parse_param_name_token(lexer);
  }
  const std::string name(all.substr(0, lexer.position() - name_start));
  lexer.accept();
  try {
    yaml_parameters::parse_value(node_name, name, std::string(lexer.rest()), overrides);
  } catch (const yaml_parameters::YamlError & error) {
    throw RuleError(error.what());
  }
}

void parse_log_level_rule(const std::string & text, LogLevels & levels)
{
  const size_t separator = text.find(":=");
  if (separator == std::string::npos) {
    auto level = logging::severity_from_string(text);
    if (!level) {
      throw RuleError("Argument does not use a valid severity level");
    }
    levels.default_level = *level;
    return;
  }
  if (separator == 0) {
    throw RuleError("Argument has an invalid logger item that name is empty");
  }
  auto level = logging::severity_from_string(text.substr(separator + 2));
  if (!level) {
    throw RuleError("Argument does not use a valid severity level");
  }
  levels.logger_levels.emplace_back(text.substr(0, separator), *level);
}

/// "--enable-<suffix>" / "--disable-<suffix>"; returns whether `arg` was one.
bool parse_disabling_flag(const std::string & arg, const std::string & suffix, bool & disabled)
{
  if (arg == "--enable-" + suffix) {
    disabled = false;
    return true;
  }
  if (arg == "--disable-" + suffix) {
    disabled = true;
    return true;
  }
  return false;
}

[[noreturn]] void throw_invalid_ros_args(const std::string & prefix, const std::string & message)
{
  throw_from_error(kRetInvalidRosArgs, prefix, CLIENT_LAYER_ERROR_STATE(message));
}

/// Parses one flag with a value at argv[i] (and argv[i + 1]); false if argv[i] is not such a flag.
bool parse_flag_with_value(
    const std::vector<std::string> & argv, size_t & i, Arguments & out,
    const std::string & error_prefix)
{
  const std::string & flag = argv[i];
  const bool has_value = i + 1 < argv.size();
  const std::string value = has_value ? argv[i + 1] : std::string();
  auto rule_error = [&](const char * what, const std::string & inner) {
    throw_invalid_ros_args(
        error_prefix,
        std::string("Couldn't parse ") + what + ": '" + flag + " " + value + "'. Error: " + inner);
  };
  if (flag == "-p" || flag == "--param") {
    if (!has_value) {
      throw_invalid_ros_args(
          error_prefix,
          "Couldn't parse trailing " + flag + " flag. No parameter override rule found.");
    }
    try {
      parse_param_rule(value, out.parameter_overrides);
    } catch (const RuleError & error) {
      rule_error("parameter override rule", error.what());
    }
  } else if (flag == "-r" || flag == "--remap") {
    if (!has_value) {
      throw_invalid_ros_args(
          error_prefix, "Couldn't parse trailing " + flag + " flag. No remap rule found.");
    }
    try {
      out.remap_rules.push_back(parse_remap_rule(value));
    } catch (const RuleError & error) {
      rule_error("remap rule", error.what());
    }
  } else if (flag == "--params-file") {
    if (!has_value) {
      throw_invalid_ros_args(
          error_prefix, "Couldn't parse trailing " + flag + " flag. No file path provided.");
    }
    try {
      parse_parameter_file(value, out.parameter_overrides);
    } catch (const rclcpp::exceptions::RCLError & error) {
      rule_error("params file", error.formatted_message);
    }
    out.parameter_files.push_back(value);
  } else if (flag == "--log-level") {
    if (!has_value) {
      throw_invalid_ros_args(
          error_prefix,
          "Couldn't parse trailing log level flag: '" + flag + "'. No log level provided.");
    }
    try {
      parse_log_level_rule(value, out.log_levels);
    } catch (const RuleError & error) {
      rule_error("log level", error.what());
    }
  } else if (flag == "--log-config-file") {
    if (!has_value) {
      throw_invalid_ros_args(
          error_prefix, "Couldn't parse trailing " + flag + " flag. No file path provided.");
    }
    out.external_log_config_file = value;
  } else if (flag == "-e" || flag == "--enclave") {
    if (!has_value) {
      throw_invalid_ros_args(
          error_prefix, "Couldn't parse trailing " + flag + " flag. No enclave path provided.");
    }
    out.enclave = value;
  } else {
    return false;
  }
  ++i;  // the value
  return true;
}

}  // namespace

Arguments parse_arguments(const std::vector<std::string> & argv, const std::string & error_prefix)
{
  Arguments out;
  bool in_ros_args = false;
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string & arg = argv[i];
    if (!in_ros_args) {
      if (arg == kRosArgsFlag) {
        in_ros_args = true;
      } else {
        out.non_ros_args.push_back(arg);
      }
      continue;
    }
    if (arg == kRosArgsFlag) {
      continue;
    }
    if (arg == kRosArgsEnd) {
      in_ros_args = false;
      continue;
    }
    if (parse_flag_with_value(argv, i, out, error_prefix)) {
      continue;
    }
    if (parse_disabling_flag(arg, "stdout-logs", out.log_stdout_disabled) ||
        parse_disabling_flag(arg, "rosout-logs", out.log_rosout_disabled) ||
        parse_disabling_flag(arg, "external-lib-logs", out.log_ext_lib_disabled)) {
      continue;
    }
    out.unknown_ros_args.push_back(arg);
  }
  return out;
}

Arguments parse_arguments(int argc, const char * const * argv, const std::string & error_prefix)
{
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    args.emplace_back(argv[i]);
  }
  return parse_arguments(args, error_prefix);
}

void throw_if_unknown_ros_args(const Arguments & arguments)
{
  if (!arguments.unknown_ros_args.empty()) {
    std::vector<std::string> unknown = arguments.unknown_ros_args;
    throw rclcpp::exceptions::UnknownROSArgsError(std::move(unknown));
  }
}

void parse_parameter_file(const std::string & path, ParameterOverrideSet & out)
{
  // Parse into a copy so that a broken file leaves `out` untouched.
  ParameterOverrideSet parsed = out;
  try {
    yaml_parameters::parse_file(path, parsed);
  } catch (const yaml_parameters::YamlError & error) {
    throw_from_error(kRetError, "", CLIENT_LAYER_ERROR_STATE(error.what()));
  }
  out = std::move(parsed);
}

namespace {

bool is_word_char(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

/// Matches a node-name key against a node's name, where "/**" is any number
/// of "/word" and "/*" exactly one (rclcpp's regex "(/\\w+)*" and "(/\\w+)");
/// every other character stands for itself. Each (key position, name
/// position) pair is decided once, so that many "/**" against a deep
/// namespace cost at most key length x name length x name length steps.
class NodeKeyMatcher
{
public:
  NodeKeyMatcher(const std::string & key, const std::string & name)
      : key_(key), name_(name), known_((key.size() + 1) * (name.size() + 1), kUnknown)
  {
  }

  bool matches() { return matches_from(0, 0); }

private:
  static constexpr signed char kUnknown = -1;

  bool matches_from(size_t k, size_t at)
  {
    signed char & known = known_[k * (name_.size() + 1) + at];
    if (known == kUnknown) {
      known = decide(k, at) ? 1 : 0;
    }
    return known == 1;
  }

  bool decide(size_t k, size_t at)
  {
    if (k == key_.size()) {
      return at == name_.size();
    }
    if (key_.compare(k, 2, "/*") != 0) {
      return at < name_.size() && name_[at] == key_[k] && matches_from(k + 1, at + 1);
    }
    const bool any_number = key_.compare(k, 3, "/**") == 0;
    const size_t after = k + (any_number ? 3 : 2);
    if (any_number && matches_from(after, at)) {
      return true;  // none
    }
    if (at >= name_.size() || name_[at] != '/') {
      return false;
    }
    // One "/word" (any length of it), then the rest, or more words for "/**".
    for (size_t end = at + 1; end < name_.size() && is_word_char(name_[end]); ++end) {
      if (matches_from(any_number ? k : after, end + 1)) {
        return true;
      }
    }
    return false;
  }

  const std::string & key_;
  const std::string & name_;
  std::vector<signed char> known_;
};

/// rclcpp's match of a node-name key against a node: the key made absolute,
/// "/*" standing for one "/token" and "/**" for any number of them.
bool node_key_matches(const std::string & key, const std::string & node_fqn)
{
  const std::string absolute_key = !key.empty() && key[0] == '/' ? key : "/" + key;
  return NodeKeyMatcher(absolute_key, node_fqn).matches();
}

}  // namespace

std::map<std::string, rclcpp::ParameterValue> resolve_parameter_overrides(
    const std::string & node_fqn, const std::vector<rclcpp::Parameter> & parameter_overrides,
    const Arguments * local_args, const Arguments * global_args)
{
  std::map<std::string, rclcpp::ParameterValue> result;
  // Global before local, so that the node's own arguments win.
  for (const Arguments * source : {global_args, local_args}) {
    if (source == nullptr) {
      continue;
    }
    // Every matching key's values are read first (a parameter without a
    // value stops it), then applied in key order: later keys override.
    std::vector<std::pair<std::string, rclcpp::ParameterValue>> values;
    for (const auto & node : source->parameter_overrides.nodes) {
      if (!node_key_matches(node.key, node_fqn)) {
        continue;
      }
      for (const auto & parameter : node.parameters) {
        rclcpp::ParameterValue value = parameter.second.value();
        if (value.get_type() == rclcpp::PARAMETER_NOT_SET) {
          throw rclcpp::exceptions::InvalidParameterValueException("No parameter value set");
        }
        values.emplace_back(parameter.first, std::move(value));
      }
    }
    for (auto & value : values) {
      result[value.first] = std::move(value.second);
    }
  }
  for (const auto & parameter : parameter_overrides) {
    result[parameter.get_name()] = parameter.get_parameter_value();
  }
  return result;
}

void apply_log_levels(const LogLevels & levels)
{
  if (levels.default_level) {
    logging::set_default_level(*levels.default_level);
  }
  for (const auto & logger_level : levels.logger_levels) {
    logging::set_logger_level(logger_level.first, logger_level.second);
  }
}

void apply_logging_arguments(const Arguments & arguments)
{
  apply_log_levels(arguments.log_levels);
  logging::set_console_output_enabled(!arguments.log_stdout_disabled);
  logging::set_rosout_enabled(!arguments.log_rosout_disabled);
}

namespace {

/// rcl's first-match search: local rules, then global rules.
const RemapRule * first_match(
    const Arguments * local_args, const Arguments * global_args, unsigned kind,
    const std::string & node_name, const std::string & node_namespace, const std::string * name)
{
  for (const Arguments * source : {local_args, global_args}) {
    if (source == nullptr) {
      continue;
    }
    for (const RemapRule & rule : source->remap_rules) {
      if ((rule.kinds & kind) == 0) {
        continue;
      }
      if (!rule.node_name.empty() && rule.node_name != node_name) {
        continue;
      }
      if (name == nullptr) {
        return &rule;
      }
      auto expanded_match = names::expand_topic_name(rule.match, node_name, node_namespace);
      if (expanded_match && *expanded_match == *name) {
        return &rule;
      }
    }
  }
  return nullptr;
}

std::string remap_name(
    const Arguments * local_args, const Arguments * global_args, unsigned kind,
    const std::string & expanded_name, const std::string & node_name,
    const std::string & node_namespace)
{
  const RemapRule * rule =
      first_match(local_args, global_args, kind, node_name, node_namespace, &expanded_name);
  if (rule == nullptr) {
    return expanded_name;
  }
  auto replacement = names::expand_topic_name(rule->replacement, node_name, node_namespace);
  return replacement ? *replacement : expanded_name;
}

}  // namespace

std::string remap_node_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & node_name)
{
  const RemapRule * rule =
      first_match(local_args, global_args, RemapRule::kNodeName, node_name, "/", nullptr);
  return rule ? rule->replacement : node_name;
}

std::string remap_namespace(
    const Arguments * local_args, const Arguments * global_args, const std::string & node_name,
    const std::string & node_namespace)
{
  const RemapRule * rule = first_match(
      local_args, global_args, RemapRule::kNamespace, node_name, node_namespace, nullptr);
  return rule ? rule->replacement : node_namespace;
}

std::string remap_topic_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & expanded_name,
    const std::string & node_name, const std::string & node_namespace)
{
  return remap_name(
      local_args, global_args, RemapRule::kTopic, expanded_name, node_name, node_namespace);
}

std::string remap_service_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & expanded_name,
    const std::string & node_name, const std::string & node_namespace)
{
  return remap_name(
      local_args, global_args, RemapRule::kService, expanded_name, node_name, node_namespace);
}

NodeIdentity resolve_node_identity(
    const std::string & node_name, const std::string & node_namespace, const Arguments * local_args,
    const Arguments * global_args)
{
  names::check_node_name_and_namespace(node_name, node_namespace);
  NodeIdentity node;
  node.name = remap_node_name(local_args, global_args, node_name);
  node.namespace_ = remap_namespace(
      local_args, global_args, node.name, names::normalize_namespace(node_namespace));
  node.fully_qualified_name = names::fully_qualified_name(node.name, node.namespace_);
  node.logger_name = logging::node_logger_name(node.name, node.namespace_);
  return node;
}

std::string resolve_topic_or_service_name(
    const std::string & name, const NodeIdentity & node, bool is_service,
    const Arguments * local_args, const Arguments * global_args)
{
  const std::string expanded =
      names::expand_topic_or_service_name(name, node.name, node.namespace_, is_service);
  return is_service
             ? remap_service_name(local_args, global_args, expanded, node.name, node.namespace_)
             : remap_topic_name(local_args, global_args, expanded, node.name, node.namespace_);
}

}  // namespace client_layer
