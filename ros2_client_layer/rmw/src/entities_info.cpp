#include "entities_info.hpp"

#include <algorithm>

namespace client_layer::rmw::detail {
namespace {

// Little-endian plain CDR, aligned relative to the end of the encapsulation
// header.
class LittleEndianCdr
{
public:
  explicit LittleEndianCdr(std::vector<std::uint8_t> & out) : out_(out)
  {
    out_.assign({0x00, 0x01, 0x00, 0x00});
  }
  void write_u32(std::uint32_t value)
  {
    out_.resize(4 + ((out_.size() - 4 + 3) & ~std::size_t{3}), 0);
    for (int i = 0; i < 4; i++) {
      out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }
  void write_string(const std::string & value)
  {
    write_u32(static_cast<std::uint32_t>(value.size() + 1));
    out_.insert(out_.end(), value.begin(), value.end());
    out_.push_back(0);
  }
  // rmw_dds_common/msg/Gid: char[24], the GUID zero-padded.
  void write_gid(const Guid & guid)
  {
    const auto gid = guid.to_gid();
    out_.insert(out_.end(), gid.begin(), gid.end());
  }
  void write_gids(const std::vector<Guid> & guids)
  {
    write_u32(static_cast<std::uint32_t>(guids.size()));
    for (const Guid & guid : guids) {
      write_gid(guid);
    }
  }

private:
  std::vector<std::uint8_t> & out_;
};

}  // namespace

EntitiesInfo::Node * EntitiesInfo::find(
    const std::string & node_namespace, const std::string & node_name)
{
  auto it = std::find_if(nodes_.begin(), nodes_.end(), [&](const Node & node) {
    return node.node_namespace == node_namespace && node.node_name == node_name;
  });
  return it == nodes_.end() ? nullptr : &*it;
}

bool EntitiesInfo::add_node(const std::string & node_namespace, const std::string & node_name)
{
  nodes_.push_back(Node{node_namespace, node_name, {}, {}});
  return true;
}

bool EntitiesInfo::remove_node(const std::string & node_namespace, const std::string & node_name)
{
  Node * node = find(node_namespace, node_name);
  if (node == nullptr) {
    return false;
  }
  nodes_.erase(nodes_.begin() + (node - nodes_.data()));
  return true;
}

bool EntitiesInfo::add_endpoint(
    const std::string & node_namespace, const std::string & node_name, const Guid & endpoint,
    bool is_reader)
{
  Node * node = find(node_namespace, node_name);
  if (node == nullptr) {
    return false;
  }
  (is_reader ? node->readers : node->writers).push_back(endpoint);
  return true;
}

bool EntitiesInfo::remove_endpoint(
    const std::string & node_namespace, const std::string & node_name, const Guid & endpoint,
    bool is_reader)
{
  Node * node = find(node_namespace, node_name);
  if (node == nullptr) {
    return false;
  }
  auto & guids = is_reader ? node->readers : node->writers;
  auto it = std::find(guids.begin(), guids.end(), endpoint);
  if (it == guids.end()) {
    return false;
  }
  guids.erase(it);
  return true;
}

std::vector<std::uint8_t> EntitiesInfo::serialize() const
{
  std::vector<std::uint8_t> sample;
  LittleEndianCdr cdr(sample);
  cdr.write_gid(participant_);
  cdr.write_u32(static_cast<std::uint32_t>(nodes_.size()));
  for (const Node & node : nodes_) {
    cdr.write_string(node.node_namespace);
    cdr.write_string(node.node_name);
    cdr.write_gids(node.readers);
    cdr.write_gids(node.writers);
  }
  return sample;
}

}  // namespace client_layer::rmw::detail
