#include "node_names.hpp"

#include "client_layer/names.hpp"

namespace client_layer {

NodeNames::NodeNames(
    const std::string & node_name, const std::string & namespace_,
    const rclcpp::NodeOptions & options, std::shared_ptr<const Arguments> global_arguments)
{
  names::check_node_name_and_namespace(node_name, namespace_);
  if (!options.arguments().empty()) {
    auto local = std::make_shared<Arguments>(
        parse_arguments(options.arguments(), "failed to parse arguments"));
    throw_if_unknown_ros_args(*local);
    local_ = std::move(local);
  }
  if (options.use_global_arguments()) {
    global_ = std::move(global_arguments);
  }
  name_ = remap_node_name(local_.get(), global_.get(), node_name);
  namespace__ =
      remap_namespace(local_.get(), global_.get(), name_, names::normalize_namespace(namespace_));
}

std::string NodeNames::resolve(const std::string & name, bool is_service, bool only_expand) const
{
  const std::string expanded =
      names::expand_topic_or_service_name(name, name_, namespace__, is_service);
  if (only_expand) {
    return expanded;
  }
  return is_service ? remap_service_name(local_.get(), global_.get(), expanded, name_, namespace__)
                    : remap_topic_name(local_.get(), global_.get(), expanded, name_, namespace__);
}

}  // namespace client_layer
