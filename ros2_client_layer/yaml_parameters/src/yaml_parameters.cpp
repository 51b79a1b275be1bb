// Copyright 2026 Corvanta diagnostics team
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.
//
// SPDX-License-Identifier: Apache-2.0

#include "client_layer/yaml_parameters.hpp"

#include <yaml.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "client_layer/names.hpp"
#include "yaml_scalars.hpp"

namespace client_layer {
namespace yaml_parameters {
namespace {

constexpr const char * kParamsKey = "ros__parameters";

/// libyaml's parser over a file or a string; rcl reads both the same way.
class EventSource
{
public:
  EventSource()
  {
    if (yaml_parser_initialize(&parser_) == 0) {
      throw YamlError("Could not initialize the parser");
    }
  }
  ~EventSource() { yaml_parser_delete(&parser_); }
  EventSource(const EventSource &) = delete;
  EventSource & operator=(const EventSource &) = delete;

  void read_file(std::FILE * file) { yaml_parser_set_input_file(&parser_, file); }
  void read_string(const std::string & text)
  {
    yaml_parser_set_input_string(
        &parser_, reinterpret_cast<const unsigned char *>(text.c_str()), std::strlen(text.c_str()));
  }

  /// The next event; false when libyaml cannot go on (bad syntax, bad
  /// encoding, a read error).
  bool next(yaml_event_t & event) { return yaml_parser_parse(&parser_, &event) != 0; }

private:
  yaml_parser_t parser_;
};

/// Owns one libyaml event.
struct Event
{
  yaml_event_t event{};
  ~Event() { yaml_event_delete(&event); }
};

unsigned line_of(const yaml_event_t & event)
{
  return static_cast<unsigned>(event.start_mark.line) + 1u;
}

Scalar scalar_of(const yaml_event_t & event)
{
  Scalar scalar;
  // rcl reads the value as a C string: an escaped NUL ends it.
  scalar.text = reinterpret_cast<const char *>(event.data.scalar.value);
  scalar.length = event.data.scalar.length;
  scalar.quoted = event.data.scalar.style == YAML_SINGLE_QUOTED_SCALAR_STYLE ||
                  event.data.scalar.style == YAML_DOUBLE_QUOTED_SCALAR_STYLE;
  scalar.line = line_of(event);
  return scalar;
}

void check_namespace_part(const std::string & part)
{
  if (auto error = names::validate_namespace(part)) {
    throw YamlError(error->message);
  }
}

/// The namespace of a node-name key, absolute and with its trailing '/',
/// checked one "/part" at a time; "/**" and "/*" parts are wildcards.
void validate_key_namespace(const std::string & ns)
{
  size_t next = ns.find('/', 1);
  if (next == std::string::npos) {
    check_namespace_part(ns);
  }
  for (size_t start = 0; next != std::string::npos; next = ns.find('/', start + 1)) {
    const std::string part = ns.substr(start, next - start);
    if (part == "/") {
      throw YamlError(ns + " contains repeated forward slash");
    }
    if (part != "/**" && part != "/*") {
      check_namespace_part(part);
    }
    start = next;
  }
}

/// rcl's check of a node-name key before ros__parameters: "/**" and "/*"
/// as they are; otherwise [namespace/]name, where the name may be a
/// wildcard ("**" or "*") and everything else must be valid.
void validate_node_key(const std::string & key)
{
  if (key == "/**" || key == "/*") {
    return;
  }
  const size_t separator = key.rfind('/');
  if (separator != std::string::npos) {
    const std::string ns = key.substr(0, separator + 1);
    validate_key_namespace(ns[0] == '/' ? ns : "/" + ns);
  }
  const std::string node_name = separator == std::string::npos ? key : key.substr(separator + 1);
  if (node_name != "*" && node_name != "**") {
    if (auto error = names::validate_node_name(node_name)) {
      throw YamlError(error->message);
    }
  }
}

/// rcl's namespace tracker: the node-name keys above ros__parameters joined
/// with '/', and the parameter-name prefix inside it joined with '.'.
class NamespaceStack
{
public:
  explicit NamespaceStack(const char * separator) : separator_(separator) {}

  void push(const std::string & name)
  {
    if (count_ == 0) {
      text_ = name;
    } else {
      const size_t length = separator_.size();
      const bool ends_with_separator =
          text_.size() >= length && text_.compare(text_.size() - length, length, separator_) == 0;
      text_ += (ends_with_separator ? "" : separator_) + name;
    }
    ++count_;
  }

  /// Drops everything from the last separator on (the whole text at depth one).
  void pop()
  {
    if (count_ == 0) {
      return;
    }
    if (count_ == 1) {
      text_.clear();
    } else {
      const size_t last = text_.rfind(separator_);
      if (last != std::string::npos) {
        text_.resize(last);
      }
    }
    --count_;
  }

  void replace(const std::string & text, uint32_t count)
  {
    text_ = text;
    count_ = count;
  }

  const std::string & text() const { return text_; }
  uint32_t count() const { return count_; }

private:
  std::string separator_;
  std::string text_;
  uint32_t count_ = 0;
};

/// rcl's parse_file_events: one pass over the events of every document.
class FileReader
{
public:
  explicit FileReader(ParameterOverrideSet & out) : out_(out) {}

  void read(EventSource & source)
  {
    uint32_t line = 0;
    for (bool done = false; !done;) {
      Event event;
      if (!source.next(event.event)) {
        throw YamlError("Error parsing a event near line " + std::to_string(line));
      }
      line = line_of(event.event);
      done = handle(event.event, line);
    }
  }

private:
  enum MapLevel : uint32_t
  {
    kNodeNameLevel = 1,
    kParamsLevel = 2,
  };

  /// Returns true at the end of the stream.
  bool handle(const yaml_event_t & event, uint32_t line)
  {
    switch (event.type) {
      case YAML_STREAM_END_EVENT:
        return true;
      case YAML_SCALAR_EVENT:
        on_scalar(event, line);
        break;
      case YAML_SEQUENCE_START_EVENT:
        on_sequence_start(line);
        break;
      case YAML_SEQUENCE_END_EVENT:
        in_sequence_ = false;
        is_key_ = true;
        break;
      case YAML_MAPPING_START_EVENT:
        on_mapping_start();
        break;
      case YAML_MAPPING_END_EVENT:
        on_mapping_end();
        break;
      case YAML_ALIAS_EVENT:
        // Never expanded: an alias can make a small file arbitrarily large.
        throw YamlError("Will not support aliasing at line " + std::to_string(line) + "\n");
      case YAML_STREAM_START_EVENT:
      case YAML_DOCUMENT_START_EVENT:
      case YAML_DOCUMENT_END_EVENT:
        break;
      case YAML_NO_EVENT:
        throw YamlError("Received an empty event at line " + std::to_string(line));
      default:
        throw YamlError("Unknown YAML event at line " + std::to_string(line));
    }
    return false;
  }

  void on_scalar(const yaml_event_t & event, uint32_t line)
  {
    if (is_key_) {
      on_key(scalar_of(event));
      is_key_ = false;
      return;
    }
    if (map_level_ < kParamsLevel || out_.nodes.empty() ||
        out_.nodes[node_index_].parameters.empty()) {
      throw YamlError(
          std::string("Cannot have a value before ") + kParamsKey + " at line " +
          std::to_string(line));
    }
    auto & parameters = out_.nodes[node_index_].parameters;
    // rcl writes to the slot of the current parameter index; one past the
    // node's parameters (left from another node) is a slot nobody reads.
    if (parameter_index_ < parameters.size()) {
      store_scalar(
          scalar_of(event), in_sequence_, sequence_type_, parameters[parameter_index_].second);
    } else {
      OverrideValue unread;
      store_scalar(scalar_of(event), in_sequence_, sequence_type_, unread);
    }
    if (!in_sequence_) {
      is_key_ = true;
    }
  }

  void on_sequence_start(uint32_t line)
  {
    if (is_key_) {
      throw YamlError("Sequences cannot be key at line " + std::to_string(line));
    }
    if (map_level_ < kParamsLevel) {
      throw YamlError(
          "Sequences can only be values and not keys in params. Error at line " +
          std::to_string(line) + "\n");
    }
    in_sequence_ = true;
    sequence_type_ = ElementType::kUnknown;
  }

  void on_mapping_start()
  {
    ++map_depth_;
    is_new_map_ = true;
    is_key_ = true;
    // The map right under ros__parameters holds names, not a name prefix.
    if (map_level_ == kParamsLevel && map_depth_ - (node_ns_.count() + 1u) == 2u) {
      is_new_map_ = false;
    }
  }

  void on_mapping_end()
  {
    if (map_level_ == kParamsLevel) {
      if (parameter_ns_.count() > 0) {
        parameter_ns_.pop();
      } else {
        map_level_ = kNodeNameLevel;
      }
    } else if (map_level_ == kNodeNameLevel && map_depth_ == node_ns_.count() + 1u) {
      node_ns_.pop();
    }
    --map_depth_;
  }

  void on_key(const Scalar & key)
  {
    if (key.length == 0) {
      throw YamlError("No key at line " + std::to_string(key.line));
    }
    if (map_level_ == kNodeNameLevel) {
      on_node_level_key(key);
    } else {
      on_parameter_key(key);
    }
  }

  void on_node_level_key(const Scalar & key)
  {
    if (key.text.compare(0, std::strlen(kParamsKey), kParamsKey) != 0) {
      node_ns_.push(key.text);
      return;
    }
    if (node_ns_.count() == 0) {
      throw YamlError(
          std::string("There are no node names before ") + kParamsKey + " at line " +
          std::to_string(key.line));
    }
    validate_node_key(node_ns_.text());
    node_index_ = out_.find_node(node_ns_.text());
    node_ns_.pop();
    map_level_ = kParamsLevel;
  }

  void on_parameter_key(const Scalar & key)
  {
    auto & parameters = out_.nodes[node_index_].parameters;
    if (is_new_map_) {
      // The key before this map is the prefix of the names inside it.
      if (parameter_index_ >= parameters.size()) {
        throw YamlError(
            "Internal error creating param namespace at line " + std::to_string(key.line));
      }
      parameter_ns_.replace(parameters[parameter_index_].first, parameter_ns_.count() + 1u);
      is_new_map_ = false;
    }
    if (parameter_ns_.count() == 0) {
      parameter_index_ = out_.find_parameter(node_index_, key.text);
      return;
    }
    // As rcl does: take (or add) the entry named after the prefix and rename it.
    parameter_index_ = out_.find_parameter(node_index_, parameter_ns_.text());
    out_.rename_parameter(node_index_, parameter_index_, parameter_ns_.text() + "." + key.text);
  }

  ParameterOverrideSet & out_;
  NamespaceStack node_ns_{"/"};
  NamespaceStack parameter_ns_{"."};
  bool is_key_ = true;
  bool in_sequence_ = false;
  bool is_new_map_ = false;
  ElementType sequence_type_ = ElementType::kUnknown;
  uint32_t map_level_ = kNodeNameLevel;
  uint32_t map_depth_ = 0;
  size_t node_index_ = 0;
  size_t parameter_index_ = 0;
};

/// rcl_parse_value_events: scalars and sequences of scalars, nothing else.
void read_value(EventSource & source, OverrideValue & value)
{
  bool in_sequence = false;
  ElementType sequence_type = ElementType::kUnknown;
  for (bool done = false; !done;) {
    Event event;
    if (!source.next(event.event)) {
      throw YamlError("Error parsing an event");
    }
    switch (event.event.type) {
      case YAML_STREAM_END_EVENT:
        done = true;
        break;
      case YAML_SCALAR_EVENT:
        store_scalar(scalar_of(event.event), in_sequence, sequence_type, value);
        break;
      case YAML_SEQUENCE_START_EVENT:
        in_sequence = true;
        sequence_type = ElementType::kUnknown;
        break;
      case YAML_SEQUENCE_END_EVENT:
        in_sequence = false;
        break;
      case YAML_STREAM_START_EVENT:
      case YAML_DOCUMENT_START_EVENT:
      case YAML_DOCUMENT_END_EVENT:
        break;
      case YAML_NO_EVENT:
        throw YamlError("Received an empty event");
      default:
        throw YamlError("Unknown YAML event");
    }
  }
}

struct FileCloser
{
  void operator()(std::FILE * file) const { std::fclose(file); }
};

}  // namespace

void parse_file(const std::string & path, ParameterOverrideSet & out)
{
  EventSource source;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "re"));
  if (!file) {
    // rcl's words, without the path: the message that wraps this names it.
    throw YamlError("Error opening YAML file");
  }
  source.read_file(file.get());
  FileReader(out).read(source);
}

void parse_value(
    const std::string & node_key, const std::string & name, const std::string & yaml_text,
    ParameterOverrideSet & out)
{
  if (yaml_text.empty()) {
    throw YamlError("No value");
  }
  const size_t node_index = out.find_node(node_key);
  const size_t parameter_index = out.find_parameter(node_index, name);
  EventSource source;
  source.read_string(yaml_text);
  read_value(source, out.nodes[node_index].parameters[parameter_index].second);
}

}  // namespace yaml_parameters
}  // namespace client_layer
