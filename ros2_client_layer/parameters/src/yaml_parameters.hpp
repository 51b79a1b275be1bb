// Reading parameter values from YAML the way rcl's YAML parameter parser does.
#ifndef YAML_PARAMETERS_HPP_
#define YAML_PARAMETERS_HPP_

#include <stdexcept>
#include <string>

#include "client_layer/arguments.hpp"
#include "rclcpp/parameter_value.hpp"

namespace client_layer {
namespace yaml_parameters {

/// A YAML document that rcl would reject; what() is rcl's message.
class YamlError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// Type a plain or quoted scalar as rcl does: booleans (y/yes/true/on ... in
/// rcl's spellings), integers (strtol base 0), doubles (strtod, .inf/.nan),
/// otherwise a string; quoted scalars are always strings.
rclcpp::ParameterValue type_scalar(const std::string & text, bool quoted);

/// The value of a `-p name:=value` rule: a scalar or a sequence of scalars of one type.
rclcpp::ParameterValue parse_value(const std::string & yaml_text);

/// Parse a parameter file's text into `out` (node keys joined with '/',
/// nested parameter maps flattened with '.').
void parse_document(const std::string & yaml_text, ParameterOverrideSet & out);

}  // namespace yaml_parameters
}  // namespace client_layer

#endif  // YAML_PARAMETERS_HPP_
