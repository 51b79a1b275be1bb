#include "diagnostic_center/contract/parameter_file.hpp"

#include "diagnostic_center/contract/names.hpp"

namespace diagnostic_center::contract {

bool ParametersBlockApplies(std::string_view node_key)
{
  if (node_key == "/**" || node_key == "**") {
    return true;
  }
  const std::size_t slash = node_key.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? node_key : node_key.substr(slash + 1);
  return name == kNodeName || name == "*";
}

}  // namespace diagnostic_center::contract
