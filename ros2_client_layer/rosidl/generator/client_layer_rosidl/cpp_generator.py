# Copyright 2026 Corvanta diagnostics team
#
# Licensed under the Apache License, Version 2.0 (the "License");
# you may not use this file except in compliance with the License.
# You may obtain a copy of the License at
#
#     http://www.apache.org/licenses/LICENSE-2.0
#
# Unless required by applicable law or agreed to in writing, software
# distributed under the License is distributed on an "AS IS" BASIS,
# WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
# See the License for the specific language governing permissions and
# limitations under the License.
#
# SPDX-License-Identifier: Apache-2.0

"""Emits the C++ headers of one interface package, shaped as ROS 2's C++ generator shapes them.

For a message pkg/msg/Name (header stem `name` in snake case):
  pkg/msg/name.hpp                    includes the four below
  pkg/msg/detail/name__struct.hpp     the Name_<ContainerAllocator> template and Name
  pkg/msg/detail/name__builder.hpp    pkg::build<Name>(), setting every member in order
  pkg/msg/detail/name__traits.hpp     to_yaml() and rosidl_generator_traits
  pkg/msg/detail/name__type_support.hpp  client_layer::TypeSupport<Name> (CDR)
Services (pkg/srv/...) get the same four headers holding Name_Request, Name_Response and Name.
"""

import os

from .cpp_literals import scalar_literal
from .definitions import PLACEHOLDER_MEMBER, PRIMITIVE_CPP_TYPES, snake_case

INIT = 'rosidl_runtime_cpp::MessageInitialization'
# The detail headers of one interface, in the order the umbrella header includes them.
PARTS = ('struct', 'builder', 'traits', 'type_support')
REBIND = 'typename std::allocator_traits<ContainerAllocator>::template rebind_alloc<%s>'


def header_path(package, kind, name, part=None):
    stem = snake_case(name)
    if part is None:
        return '%s/%s/%s.hpp' % (package, kind, stem)
    return '%s/%s/detail/%s__%s.hpp' % (package, kind, stem, part)


def guard(path):
    return path.upper().replace('/', '__').replace('.', '_') + '_'


def nested_header(type_, part):
    return header_path(type_.package, 'msg', type_.base, part)


# ---- C++ types -----------------------------------------------------------------

def element_cpp_type(type_, allocator_template=True):
    """C++ type of one element (the member's type when it is not an array)."""
    if type_.is_nested():
        if allocator_template:
            return '%s::msg::%s_<ContainerAllocator>' % (type_.package, type_.base)
        return '%s::msg::%s' % (type_.package, type_.base)
    if type_.base == 'string':
        if not allocator_template:
            return 'std::string'
        return 'std::basic_string<char, std::char_traits<char>, %s>' % (REBIND % 'char')
    if type_.base == 'wstring':
        if not allocator_template:
            return 'std::u16string'
        return 'std::basic_string<char16_t, std::char_traits<char16_t>, %s>' % (REBIND % 'char16_t')
    return PRIMITIVE_CPP_TYPES[type_.base]


def member_cpp_type(type_):
    element = element_cpp_type(type_)
    if type_.array == 'fixed':
        return 'std::array<%s, %d>' % (element, type_.array_size)
    if type_.array == 'unbounded':
        return 'std::vector<%s, %s>' % (element, REBIND % element)
    if type_.array == 'bounded':
        return 'rosidl_runtime_cpp::BoundedVector<%s, %d, %s>' % (
            element, type_.array_size, REBIND % element)
    return element


def zero_literal(type_):
    base = type_.base
    if base == 'bool':
        return 'false'
    if base == 'float32':
        return '0.0f'
    if base == 'float64':
        return '0.0'
    if base == 'string':
        return '""'
    if base == 'wstring':
        return 'u""'
    return '0'


# ---- struct ----------------------------------------------------------------------

def _member_initializers(message, with_allocator):
    inits = []
    for item in message.fields:
        type_ = item.type
        if type_.is_nested() and not type_.is_array():
            inits.append('%s(%s_init)' % (item.name, '_alloc, ' if with_allocator else ''))
        elif with_allocator and (type_.array in ('unbounded', 'bounded') or
                                 (type_.is_string() and not type_.is_array())):
            inits.append('%s(_alloc)' % item.name)
    return inits


def _default_assignment(item):
    type_ = item.type
    if not type_.is_array():
        return 'this->%s = %s;' % (item.name, scalar_literal(item.default, type_.base))
    values = ', '.join(scalar_literal(value, type_.base) for value in item.default)
    if type_.array == 'fixed':
        return 'this->%s = {{%s}};' % (item.name, values)
    return 'this->%s = {%s};' % (item.name, values)


def _zero_assignment(item, with_allocator):
    type_ = item.type
    if type_.array in ('unbounded', 'bounded'):
        return None
    if type_.is_nested():
        if type_.array != 'fixed':
            return None
        args = '_alloc, _init' if with_allocator else '_init'
        return 'this->%s.fill(%s{%s});' % (item.name, element_cpp_type(type_), args)
    if type_.array == 'fixed':
        return 'this->%s.fill(%s);' % (
            item.name, '%s{%s}' % (element_cpp_type(type_), zero_literal(type_))
            if type_.is_string() else zero_literal(type_))
    return 'this->%s = %s;' % (item.name, zero_literal(type_))


def _constructor(message, with_allocator):
    name = message.name + '_'
    lines = []
    params = '%s _init = %s::ALL' % (INIT, INIT)
    if with_allocator:
        params = 'const ContainerAllocator & _alloc, ' + params
    lines.append('  explicit %s(%s)' % (name, params))
    inits = _member_initializers(message, with_allocator)
    if inits:
        lines.append('  : ' + ',\n    '.join(inits))
    lines.append('  {')
    if with_allocator and not inits:
        lines.append('    (void)_alloc;')
    with_defaults = [item for item in message.fields if item.default is not None]
    without_defaults = [item for item in message.fields if item.default is None]
    if with_defaults:
        lines.append('    if (%s::ALL == _init ||' % INIT)
        lines.append('      %s::DEFAULTS_ONLY == _init)' % INIT)
        lines.append('    {')
        lines += ['      ' + _default_assignment(item) for item in with_defaults]
        zeroed = [a for a in (_zero_assignment(item, with_allocator) for item in with_defaults) if a]
        if zeroed:
            lines.append('    } else if (%s::ZERO == _init) {' % INIT)
            lines += ['      ' + assignment for assignment in zeroed]
        lines.append('    }')
    zeroes = [a for a in (_zero_assignment(item, with_allocator) for item in without_defaults) if a]
    if zeroes:
        lines.append('    if (%s::ALL == _init ||' % INIT)
        lines.append('      %s::ZERO == _init)' % INIT)
        lines.append('    {')
        lines += ['      ' + assignment for assignment in zeroes]
        lines.append('    }')
    if not with_defaults and not zeroes:
        lines.append('    (void)_init;')
    lines.append('  }')
    return lines


def _constant_declaration(constant):
    base = constant.type.base
    if base == 'string':
        return '  static const std::string %s;' % constant.name
    if base == 'wstring':
        return '  static const std::u16string %s;' % constant.name
    return '  static constexpr %s %s =\n    %s;' % (
        PRIMITIVE_CPP_TYPES[base], constant.name, scalar_literal(constant.value, base))


def _constant_definitions(message):
    name = message.name + '_'
    lines = []
    numeric = [c for c in message.constants if not c.type.is_string()]
    strings = [c for c in message.constants if c.type.is_string()]
    if numeric:
        lines.append('#if __cplusplus < 201703L')
        lines.append('// static constexpr members need a definition before C++17')
        for constant in numeric:
            lines.append('template<typename ContainerAllocator>')
            lines.append('constexpr %s %s<ContainerAllocator>::%s;' % (
                PRIMITIVE_CPP_TYPES[constant.type.base], name, constant.name))
        lines.append('#endif  // __cplusplus < 201703L')
    for constant in strings:
        cpp_type = 'std::string' if constant.type.base == 'string' else 'std::u16string'
        lines.append('template<typename ContainerAllocator>')
        lines.append('const %s %s<ContainerAllocator>::%s = %s;' % (
            cpp_type, name, constant.name, scalar_literal(constant.value, constant.type.base)))
    return lines


def _is_placeholder_only(message):
    return [f.name for f in message.fields] == [PLACEHOLDER_MEMBER]


def _struct(message):
    pkg, kind, name = message.package, message.interface_kind, message.name
    tname = name + '_'
    deprecated = 'DEPRECATED__%s__%s__%s' % (pkg, kind, name)
    out = []
    out.append('#ifndef _WIN32')
    out.append('# define %s __attribute__((deprecated))' % deprecated)
    out.append('#else')
    out.append('# define %s __declspec(deprecated)' % deprecated)
    out.append('#endif')
    out.append('')
    out.append('namespace %s' % pkg)
    out.append('{')
    out.append('')
    out.append('namespace %s' % kind)
    out.append('{')
    out.append('')
    out.append('// message struct')
    out.append('template<class ContainerAllocator>')
    out.append('struct %s' % tname)
    out.append('{')
    out.append('  using Type = %s<ContainerAllocator>;' % tname)
    out.append('')
    out += _constructor(message, with_allocator=False)
    out.append('')
    out += _constructor(message, with_allocator=True)
    out.append('')
    out.append('  // field types and members')
    for item in message.fields:
        out.append('  using _%s_type =' % item.name)
        out.append('    %s;' % member_cpp_type(item.type))
        out.append('  _%s_type %s;' % (item.name, item.name))
    out.append('')
    out.append('  // setters for named parameter idiom')
    for item in [] if _is_placeholder_only(message) else message.fields:
        out.append('  Type & set__%s(' % item.name)
        out.append('    const %s & _arg)' % member_cpp_type(item.type))
        out.append('  {')
        out.append('    this->%s = _arg;' % item.name)
        out.append('    return *this;')
        out.append('  }')
    if message.constants:
        out.append('')
        out.append('  // constant declarations')
        out += [_constant_declaration(constant) for constant in message.constants]
    out.append('')
    out.append('  // pointer types')
    out.append('  using RawPtr =')
    out.append('    %s::%s::%s<ContainerAllocator> *;' % (pkg, kind, tname))
    out.append('  using ConstRawPtr =')
    out.append('    const %s::%s::%s<ContainerAllocator> *;' % (pkg, kind, tname))
    out.append('  using SharedPtr =')
    out.append('    std::shared_ptr<%s::%s::%s<ContainerAllocator>>;' % (pkg, kind, tname))
    out.append('  using ConstSharedPtr =')
    out.append('    std::shared_ptr<%s::%s::%s<ContainerAllocator> const>;' % (pkg, kind, tname))
    out.append('')
    out.append('  template<typename Deleter = std::default_delete<')
    out.append('      %s::%s::%s<ContainerAllocator>>>' % (pkg, kind, tname))
    out.append('  using UniquePtrWithDeleter =')
    out.append('    std::unique_ptr<%s::%s::%s<ContainerAllocator>, Deleter>;' % (pkg, kind, tname))
    out.append('')
    out.append('  using UniquePtr = UniquePtrWithDeleter<>;')
    out.append('')
    out.append('  template<typename Deleter = std::default_delete<')
    out.append('      %s::%s::%s<ContainerAllocator>>>' % (pkg, kind, tname))
    out.append('  using ConstUniquePtrWithDeleter =')
    out.append('    std::unique_ptr<%s::%s::%s<ContainerAllocator> const, Deleter>;' % (
        pkg, kind, tname))
    out.append('  using ConstUniquePtr = ConstUniquePtrWithDeleter<>;')
    out.append('')
    out.append('  using WeakPtr =')
    out.append('    std::weak_ptr<%s::%s::%s<ContainerAllocator>>;' % (pkg, kind, tname))
    out.append('  using ConstWeakPtr =')
    out.append('    std::weak_ptr<%s::%s::%s<ContainerAllocator> const>;' % (pkg, kind, tname))
    out.append('')
    out.append('  // pointer types similar to ROS 1, use SharedPtr / ConstSharedPtr instead')
    out.append('  // NOTE: Can\'t use \'using\' here because GNU C++ can\'t parse attributes properly')
    out.append('  typedef %s' % deprecated)
    out.append('    std::shared_ptr<%s::%s::%s<ContainerAllocator>>' % (pkg, kind, tname))
    out.append('    Ptr;')
    out.append('  typedef %s' % deprecated)
    out.append('    std::shared_ptr<%s::%s::%s<ContainerAllocator> const>' % (pkg, kind, tname))
    out.append('    ConstPtr;')
    out.append('')
    out.append('  // comparison operators')
    out.append('  bool operator==(const %s & other) const' % tname)
    out.append('  {')
    for item in message.fields:
        out.append('    if (this->%s != other.%s) {' % (item.name, item.name))
        out.append('      return false;')
        out.append('    }')
    out.append('    return true;')
    out.append('  }')
    out.append('  bool operator!=(const %s & other) const' % tname)
    out.append('  {')
    out.append('    return !this->operator==(other);')
    out.append('  }')
    out.append('};  // struct %s' % tname)
    out.append('')
    out.append('// alias to use template instance with default allocator')
    out.append('using %s =' % name)
    out.append('  %s::%s::%s<std::allocator<void>>;' % (pkg, kind, tname))
    out.append('')
    definitions = _constant_definitions(message)
    if definitions:
        out.append('// constant definitions')
        out += definitions
        out.append('')
    out.append('}  // namespace %s' % kind)
    out.append('')
    out.append('}  // namespace %s' % pkg)
    return out


def _nested_types(messages):
    seen, result = set(), []
    for message in messages:
        for item in message.fields:
            key = (item.type.package, item.type.base)
            if item.type.is_nested() and key not in seen:
                seen.add(key)
                result.append(item.type)
    return result


def _includes(paths):
    return ['#include "%s"' % path for path in paths]


def struct_header(messages, service_name=None):
    """messages: [msg] or [request, response] for a service."""
    first = messages[0]
    path = header_path(first.package, first.interface_kind, service_name or first.name, 'struct')
    out = ['// generated from %s' % ', '.join(sorted({os.path.basename(m.path) for m in messages})),
           '// with the client layer\'s rosidl C++ generator: do not edit',
           '', '#ifndef ' + guard(path), '#define ' + guard(path), '']
    out += ['#include <algorithm>', '#include <array>', '#include <cstdint>', '#include <limits>',
            '#include <memory>', '#include <string>', '#include <vector>', '',
            '#include "rosidl_runtime_cpp/bounded_vector.hpp"',
            '#include "rosidl_runtime_cpp/message_initialization.hpp"', '']
    nested = [nested_header(t, 'struct') for t in _nested_types(messages)
              if not (t.package == first.package and first.interface_kind == 'msg' and
                      t.base == first.name)]
    if nested:
        out.append('// Include directives for member types')
        out += _includes(nested)
        out.append('')
    for message in messages:
        out += _struct(message)
        out.append('')
    if service_name:
        pkg = first.package
        out += ['namespace %s' % pkg, '{', '', 'namespace srv', '{', '',
                'struct %s' % service_name, '{',
                '  using Request = %s::srv::%s_Request;' % (pkg, service_name),
                '  using Response = %s::srv::%s_Response;' % (pkg, service_name),
                '};', '', '}  // namespace srv', '', '}  // namespace %s' % pkg, '']
    out.append('#endif  // ' + guard(path))
    return path, out


# ---- traits ----------------------------------------------------------------------

def _yaml_value_call(type_, expression):
    if type_.base == 'byte' and not type_.is_nested():
        return 'rosidl_generator_traits::character_value_to_yaml(%s, out);' % expression
    return 'rosidl_generator_traits::value_to_yaml(%s, out);' % expression


def _flow_member(item, last):
    type_, name = item.type, item.name
    out = ['  // member: %s' % name, '  {']
    if not type_.is_array():
        out.append('    out << "%s: ";' % name)
        if type_.is_nested():
            out.append('    to_flow_style_yaml(msg.%s, out);' % name)
        else:
            out.append('    ' + _yaml_value_call(type_, 'msg.%s' % name))
    else:
        out.append('    if (msg.%s.size() == 0) {' % name)
        out.append('      out << "%s: []";' % name)
        out.append('    } else {')
        out.append('      out << "%s: [";' % name)
        out.append('      size_t pending_items = msg.%s.size();' % name)
        out.append('      for (auto item : msg.%s) {' % name)
        if type_.is_nested():
            out.append('        to_flow_style_yaml(item, out);')
        else:
            out.append('        ' + _yaml_value_call(type_, 'item'))
        out.append('        if (--pending_items > 0) {')
        out.append('          out << ", ";')
        out.append('        }')
        out.append('      }')
        out.append('      out << "]";')
        out.append('    }')
    if not last:
        out.append('    out << ", ";')
    out.append('  }')
    return out


def _block_member(item):
    type_, name = item.type, item.name
    indent = ['    if (indentation > 0) {', '      out << std::string(indentation, \' \');', '    }']
    out = ['  // member: %s' % name, '  {'] + indent
    if not type_.is_array():
        if type_.is_nested():
            out.append('    out << "%s:\\n";' % name)
            out.append('    to_block_style_yaml(msg.%s, out, indentation + 2);' % name)
        else:
            out.append('    out << "%s: ";' % name)
            out.append('    ' + _yaml_value_call(type_, 'msg.%s' % name))
            out.append('    out << "\\n";')
    else:
        out.append('    if (msg.%s.size() == 0) {' % name)
        out.append('      out << "%s: []\\n";' % name)
        out.append('    } else {')
        out.append('      out << "%s:\\n";' % name)
        out.append('      for (auto item : msg.%s) {' % name)
        out.append('        if (indentation > 0) {')
        out.append('          out << std::string(indentation, \' \');')
        out.append('        }')
        if type_.is_nested():
            out.append('        out << "-\\n";')
            out.append('        to_block_style_yaml(item, out, indentation + 2);')
        else:
            out.append('        out << "- ";')
            out.append('        ' + _yaml_value_call(type_, 'item'))
            out.append('        out << "\\n";')
        out.append('      }')
        out.append('    }')
    out.append('  }')
    return out


def _size_trait(message, trait):
    """has_fixed_size / has_bounded_size of a message, as a base-class expression."""
    nested = []
    for item in message.fields:
        type_ = item.type
        if type_.array == 'unbounded':
            return 'std::false_type'
        if type_.array == 'bounded' and trait == 'has_fixed_size':
            return 'std::false_type'
        if type_.is_string():
            if trait == 'has_fixed_size' or type_.string_bound is None:
                return 'std::false_type'
        if type_.is_nested():
            nested.append('%s<%s::msg::%s>::value' % (trait, type_.package, type_.base))
    if not nested:
        return 'std::true_type'
    unique = list(dict.fromkeys(nested))
    return 'std::integral_constant<bool, %s>' % ' && '.join(unique)


def _message_traits(message):
    pkg, kind, name = message.package, message.interface_kind, message.name
    full = '%s::%s::%s' % (pkg, kind, name)
    out = ['namespace %s' % pkg, '{', '', 'namespace %s' % kind, '{', '']
    out.append('inline void to_flow_style_yaml(')
    out.append('  const %s & msg,' % name)
    out.append('  std::ostream & out)')
    out.append('{')
    out.append('  out << "{";')
    for index, item in enumerate(message.fields):
        out += _flow_member(item, index == len(message.fields) - 1)
    out.append('  out << "}";')
    out.append('}  // NOLINT(readability/fn_size)')
    out.append('')
    out.append('inline void to_block_style_yaml(')
    out.append('  const %s & msg,' % name)
    out.append('  std::ostream & out, size_t indentation = 0)')
    out.append('{')
    for item in message.fields:
        out += _block_member(item)
    out.append('}  // NOLINT(readability/fn_size)')
    out.append('')
    out.append('inline std::string to_yaml(const %s & msg, bool use_flow_style = false)' % name)
    out.append('{')
    out.append('  std::ostringstream out;')
    out.append('  if (use_flow_style) {')
    out.append('    to_flow_style_yaml(msg, out);')
    out.append('  } else {')
    out.append('    to_block_style_yaml(msg, out);')
    out.append('  }')
    out.append('  return out.str();')
    out.append('}')
    out.append('')
    out.append('}  // namespace %s' % kind)
    out.append('')
    out.append('}  // namespace %s' % pkg)
    out.append('')
    out.append('namespace rosidl_generator_traits')
    out.append('{')
    out.append('')
    out.append('[[deprecated("use %s::%s::to_block_style_yaml() instead")]]' % (pkg, kind))
    out.append('inline void to_yaml(')
    out.append('  const %s & msg,' % full)
    out.append('  std::ostream & out, size_t indentation = 0)')
    out.append('{')
    out.append('  %s::%s::to_block_style_yaml(msg, out, indentation);' % (pkg, kind))
    out.append('}')
    out.append('')
    out.append('[[deprecated("use %s::%s::to_yaml() instead")]]' % (pkg, kind))
    out.append('inline std::string to_yaml(const %s & msg)' % full)
    out.append('{')
    out.append('  return %s::%s::to_yaml(msg);' % (pkg, kind))
    out.append('}')
    out.append('')
    out.append('template<>')
    out.append('inline const char * data_type<%s>()' % full)
    out.append('{')
    out.append('  return "%s";' % full)
    out.append('}')
    out.append('')
    out.append('template<>')
    out.append('inline const char * name<%s>()' % full)
    out.append('{')
    out.append('  return "%s/%s/%s";' % (pkg, kind, name))
    out.append('}')
    out.append('')
    for trait in ('has_fixed_size', 'has_bounded_size'):
        out.append('template<>')
        out.append('struct %s<%s>' % (trait, full))
        out.append('  : %s {};' % _size_trait(message, trait))
        out.append('')
    out.append('template<>')
    out.append('struct is_message<%s>' % full)
    out.append('  : std::true_type {};')
    out.append('')
    if kind == 'srv':
        which = 'is_service_request' if name.endswith('_Request') else 'is_service_response'
        out.append('template<>')
        out.append('struct %s<%s>' % (which, full))
        out.append('  : std::true_type {};')
        out.append('')
    out.append('}  // namespace rosidl_generator_traits')
    return out


def _service_traits(service):
    pkg, name = service.package, service.name
    full = '%s::srv::%s' % (pkg, name)
    out = ['namespace rosidl_generator_traits', '{', '']
    out += ['template<>', 'inline const char * data_type<%s>()' % full, '{',
            '  return "%s";' % full, '}', '']
    out += ['template<>', 'inline const char * name<%s>()' % full, '{',
            '  return "%s/srv/%s";' % (pkg, name), '}', '']
    for trait in ('has_fixed_size', 'has_bounded_size'):
        out += ['template<>', 'struct %s<%s>' % (trait, full),
                '  : std::integral_constant<',
                '    bool,',
                '    %s<%s_Request>::value &&' % (trait, full),
                '    %s<%s_Response>::value>' % (trait, full),
                '{', '};', '']
    out += ['template<>', 'struct is_service<%s>' % full, '  : std::true_type', '{', '};', '']
    out.append('}  // namespace rosidl_generator_traits')
    return out


def traits_header(messages, service=None):
    first = messages[0]
    stem_name = service.name if service else first.name
    path = header_path(first.package, first.interface_kind, stem_name, 'traits')
    out = ['// generated with the client layer\'s rosidl C++ generator: do not edit', '',
           '#ifndef ' + guard(path), '#define ' + guard(path), '',
           '#include <cstddef>', '#include <cstdint>', '#include <ostream>', '#include <sstream>',
           '#include <string>', '#include <type_traits>', '',
           '#include "%s"' % header_path(first.package, first.interface_kind, stem_name, 'struct'),
           '#include "rosidl_runtime_cpp/traits.hpp"', '']
    nested = [nested_header(t, 'traits') for t in _nested_types(messages)]
    if nested:
        out.append('// Include directives for member types')
        out += _includes(nested)
        out.append('')
    for message in messages:
        # Members of other packages find their writers by argument-dependent lookup.
        out += _message_traits(message)
        out.append('')
    if service:
        out += _service_traits(service)
        out.append('')
    out.append('#endif  // ' + guard(path))
    return path, out


# ---- builder -------------------------------------------------------------------

def _builder_classes(message):
    """Init_<Name>_<member> classes: build<Name>().a(1).b(2) sets every member in order."""
    pkg, kind, name = message.package, message.interface_kind, message.name
    full = '::%s::%s::%s' % (pkg, kind, name)
    fields = message.fields
    out = []
    for index in reversed(range(len(fields))):
        item = fields[index]
        cls = 'Init_%s_%s' % (name, item.name)
        first = index == 0
        out.append('class %s' % cls)
        out.append('{')
        out.append('public:')
        if first:
            out.append('  %s()' % cls)
            out.append('  : msg_(::rosidl_runtime_cpp::MessageInitialization::SKIP)')
            out.append('  {}')
        else:
            out.append('  explicit %s(%s & msg)' % (cls, full))
            out.append('  : msg_(msg)')
            out.append('  {}')
        if index == len(fields) - 1:
            out.append('  %s %s(%s::_%s_type arg)' % (full, item.name, full, item.name))
            out.append('  {')
            out.append('    msg_.%s = std::move(arg);' % item.name)
            out.append('    return std::move(msg_);')
            out.append('  }')
        else:
            following = 'Init_%s_%s' % (name, fields[index + 1].name)
            out.append('  %s %s(%s::_%s_type arg)' % (following, item.name, full, item.name))
            out.append('  {')
            out.append('    msg_.%s = std::move(arg);' % item.name)
            out.append('    return %s(msg_);' % following)
            out.append('  }')
        out.append('')
        out.append('private:')
        out.append('  %s msg_;' % full)
        out.append('};')
        out.append('')
    return out


def _builder(message):
    pkg, kind, name = message.package, message.interface_kind, message.name
    full = '::%s::%s::%s' % (pkg, kind, name)
    out = ['namespace %s' % pkg, '{', '', 'namespace %s' % kind, '{', '']
    placeholder = _is_placeholder_only(message)
    if not placeholder:
        out += ['namespace builder', '{', '']
        out += _builder_classes(message)
        out += ['}  // namespace builder', '']
    out += ['}  // namespace %s' % kind, '', 'template<typename MessageType>', 'auto build();', '',
            'template<>', 'inline', 'auto build<%s>()' % full, '{']
    if placeholder:
        out.append('  return %s(::rosidl_runtime_cpp::MessageInitialization::ZERO);' % full)
    else:
        out.append('  return %s::%s::builder::Init_%s_%s();' % (
            pkg, kind, name, message.fields[0].name))
    out += ['}', '', '}  // namespace %s' % pkg]
    return out


def builder_header(messages, service_name=None):
    first = messages[0]
    stem_name = service_name or first.name
    path = header_path(first.package, first.interface_kind, stem_name, 'builder')
    out = ['// generated with the client layer\'s rosidl C++ generator: do not edit', '',
           '#ifndef ' + guard(path), '#define ' + guard(path), '',
           '#include <algorithm>', '#include <utility>', '',
           '#include "%s"' % header_path(first.package, first.interface_kind, stem_name, 'struct'),
           '#include "rosidl_runtime_cpp/message_initialization.hpp"', '']
    for message in messages:
        out += _builder(message)
        out.append('')
    out.append('#endif  // ' + guard(path))
    return path, out


# ---- type support ------------------------------------------------------------

def _member_type_default_allocator(type_):
    element = element_cpp_type(type_, allocator_template=False)
    if type_.array == 'fixed':
        return 'std::array<%s, %d>' % (element, type_.array_size)
    if type_.array == 'unbounded':
        return 'std::vector<%s>' % element
    if type_.array == 'bounded':
        return 'rosidl_runtime_cpp::BoundedVector<%s, %d>' % (element, type_.array_size)
    return element


def _type_support_specialisation(message):
    pkg, kind, name = message.package, message.interface_kind, message.name
    full = '%s::%s::%s' % (pkg, kind, name)
    out = ['template<>', 'struct TypeSupport<%s>' % full, '{']
    out.append('  static constexpr const char * dds_type_name()')
    out.append('  {')
    out.append('    return "%s::%s::dds_::%s_";' % (pkg, kind, name))
    out.append('  }')
    out.append('  static constexpr const char * ros_type_name()')
    out.append('  {')
    out.append('    return "%s/%s/%s";' % (pkg, kind, name))
    out.append('  }')
    out.append('')
    out.append('  // The least number of bytes a sample takes on the wire, padding aside.')
    out.append('  static constexpr std::size_t min_wire_size =')
    sizes = ['MinWireSize<%s>::value' % _member_type_default_allocator(item.type)
             for item in message.fields]
    out.append('    ' + ' +\n    '.join(sizes) + ';')
    out.append('')
    out.append('  static void serialize(CdrWriter & writer, const %s & message)' % full)
    out.append('  {')
    for item in message.fields:
        out.append('    serialize_field(writer, message.%s);' % item.name)
    out.append('  }')
    out.append('')
    out.append('  static bool deserialize(CdrReader & reader, %s & message)' % full)
    out.append('  {')
    calls = []
    for item in message.fields:
        bound = item.type.string_bound
        if bound is not None:
            calls.append('deserialize_field(reader, message.%s, %d)' % (item.name, bound))
        else:
            calls.append('deserialize_field(reader, message.%s)' % item.name)
    out.append('    return ' + ' &&\n      '.join(calls) + ';')
    out.append('  }')
    out.append('};')
    return out


def type_support_header(messages, service=None):
    first = messages[0]
    stem_name = service.name if service else first.name
    path = header_path(first.package, first.interface_kind, stem_name, 'type_support')
    out = ['// generated with the client layer\'s rosidl C++ generator: do not edit',
           '// CDR encoding of the types below as ROS 2 puts them on DDS.', '',
           '#ifndef ' + guard(path), '#define ' + guard(path), '',
           '#include "client_layer/field_serialization.hpp"',
           '#include "client_layer/type_support.hpp"',
           '#include "%s"' % header_path(first.package, first.interface_kind, stem_name, 'struct'),
           '']
    nested = [nested_header(t, 'type_support') for t in _nested_types(messages)]
    if nested:
        out += _includes(nested)
        out.append('')
    out += ['namespace client_layer', '{', '']
    for message in messages:
        out += _type_support_specialisation(message)
        out.append('')
    if service:
        full = '%s::srv::%s' % (service.package, service.name)
        out += ['template<>', 'struct ServiceTypeSupport<%s>' % full, '{',
                '  using Request = %s_Request;' % full,
                '  using Response = %s_Response;' % full,
                '  static constexpr const char * ros_type_name()', '  {',
                '    return "%s/srv/%s";' % (service.package, service.name), '  }',
                '};', '']
    out += ['}  // namespace client_layer', '', '#endif  // ' + guard(path)]
    return path, out


def umbrella_header(package, kind, name):
    path = header_path(package, kind, name)
    out = ['// generated with the client layer\'s rosidl C++ generator: do not edit', '',
           '#ifndef ' + guard(path), '#define ' + guard(path), '']
    for part in PARTS:
        out.append('#include "%s"' % header_path(package, kind, name, part))
    out += ['', '#endif  // ' + guard(path)]
    return path, out


def generate_message(message):
    yield struct_header([message])
    yield builder_header([message])
    yield traits_header([message])
    yield type_support_header([message])
    yield umbrella_header(message.package, 'msg', message.name)


def generate_service(service):
    messages = [service.request, service.response]
    yield struct_header(messages, service.name)
    yield builder_header(messages, service.name)
    yield traits_header(messages, service)
    yield type_support_header(messages, service)
    yield umbrella_header(service.package, 'srv', service.name)


def output_paths(package, kind, name):
    return [header_path(package, kind, name, part) for part in PARTS] + [
        header_path(package, kind, name)]
