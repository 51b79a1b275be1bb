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

"""Parser for the ROS 2 .msg/.srv grammar.

Every problem is reported as a DefinitionError carrying the file and line.
"""

import math
import os
import re

from .definitions import (
    Constant, Field, INTEGER_RANGES, Message, PLACEHOLDER_MEMBER, PRIMITIVE_CPP_TYPES, STRING_TYPES,
    Service, Type)

PACKAGE_NAME = re.compile(r'^[a-z]([a-z0-9_]?[a-z0-9]+)*$')
MESSAGE_NAME = re.compile(r'^[A-Z][A-Za-z0-9]*$')
FIELD_NAME = re.compile(r'^(?!.*__)(?!.*_$)[a-z][a-z0-9_]*$')
CONSTANT_NAME = re.compile(r'^[A-Z]([A-Z0-9_]?[A-Z0-9]+)*$')
TYPE_SPEC = re.compile(
    r'^(?:(?P<package>[A-Za-z0-9_]+)/(?:msg/)?)?'
    r'(?P<base>[A-Za-z][A-Za-z0-9_]*)'
    r'(?:<=(?P<string_bound>[0-9]+))?'
    r'(?:\[(?P<array>(?:<=)?[0-9]*)\])?$')
CONSTANT_LINE = re.compile(r'^(?P<name>[A-Za-z0-9_]+)\s*=\s*(?P<value>.*)$')
SERVICE_SEPARATOR = '---'

CPP_KEYWORDS = frozenset('''
alignas alignof and and_eq asm auto bitand bitor bool break case catch char char16_t char32_t
class compl const constexpr const_cast continue decltype default delete do double dynamic_cast
else enum explicit export extern false float for friend goto if inline int long mutable
namespace new noexcept not not_eq nullptr operator or or_eq private protected public register
reinterpret_cast return short signed sizeof static static_assert static_cast struct switch
template this thread_local throw true try typedef typeid typename union unsigned using virtual
void volatile wchar_t while xor xor_eq'''.split())


class DefinitionError(Exception):
    """An interface definition the generator does not accept."""

    def __init__(self, path, line, message):
        super().__init__('%s:%d: %s' % (path, line, message))


def _opens_quote(text, index):
    """A quote starts a string value only at the start of a token (so "don't" is no string)."""
    return text[index] in '"\'' and (index == 0 or text[index - 1].isspace() or
                                     text[index - 1] in '=[,')


def strip_comment(text):
    """Drop a '#' comment, leaving '#' inside quoted strings alone."""
    quote = None
    escaped = False
    for index, char in enumerate(text):
        if escaped:
            escaped = False
        elif char == '\\' and quote:
            escaped = True
        elif quote:
            if char == quote:
                quote = None
        elif _opens_quote(text, index):
            quote = char
        elif char == '#':
            return text[:index]
    return text


class _Context:
    def __init__(self, path, line):
        self.path = path
        self.line = line

    def error(self, message):
        return DefinitionError(self.path, self.line, message)


def parse_type(spec, ctx):
    match = TYPE_SPEC.match(spec)
    if not match:
        raise ctx.error("invalid type '%s'" % spec)
    package, base = match.group('package'), match.group('base')
    string_bound = match.group('string_bound')
    array = match.group('array')
    type_ = Type(base)
    if package is not None:
        if not PACKAGE_NAME.match(package):
            raise ctx.error("invalid package name '%s' in type '%s'" % (package, spec))
        type_.package = package
    elif base not in PRIMITIVE_CPP_TYPES and base not in STRING_TYPES:
        if not MESSAGE_NAME.match(base):
            raise ctx.error("unknown type '%s'" % base)
        type_.package = ''  # a message of this package, resolved later
    if type_.package is not None and not MESSAGE_NAME.match(base):
        raise ctx.error("invalid message name '%s' in type '%s'" % (base, spec))
    if string_bound is not None:
        if base not in STRING_TYPES or type_.package is not None:
            raise ctx.error("only string and wstring take an upper bound, not '%s'" % base)
        type_.string_bound = int(string_bound)
        if type_.string_bound == 0:
            raise ctx.error("string bound must be positive in '%s'" % spec)
    if array is not None:
        if array == '':
            type_.array = 'unbounded'
        elif array.startswith('<='):
            if array == '<=':
                raise ctx.error("bounded array needs a size in '%s'" % spec)
            type_.array = 'bounded'
            type_.array_size = int(array[2:])
        else:
            type_.array = 'fixed'
            type_.array_size = int(array)
        if type_.array != 'unbounded' and type_.array_size == 0:
            raise ctx.error("array size must be positive in '%s'" % spec)
    return type_


def _split_list(text, ctx):
    """'[1, "a,b", 3]' -> ['1', '"a,b"', '3']."""
    text = text.strip()
    if not (text.startswith('[') and text.endswith(']')):
        raise ctx.error("array value must be written as [a, b, ...], got '%s'" % text)
    inner = text[1:-1].strip()
    if not inner:
        return []
    items, current, quote, escaped = [], '', None, False
    for char in inner:
        if escaped:
            escaped = False
        elif char == '\\' and quote:
            escaped = True
        elif quote:
            if char == quote:
                quote = None
        elif char in '"\'':
            quote = char
        elif char == ',':
            items.append(current.strip())
            current = ''
            continue
        current += char
    if quote:
        raise ctx.error("unterminated string in '%s'" % text)
    items.append(current.strip())
    if any(item == '' for item in items):
        raise ctx.error("empty element in array value '%s'" % text)
    return items


_ESCAPES = {'n': '\n', 't': '\t', 'r': '\r', '0': '\0', '\\': '\\', '"': '"', "'": "'"}


def _parse_string(text, type_, ctx):
    if len(text) >= 2 and text[0] == text[-1] and text[0] in '"\'':
        quote, body, value, index = text[0], text[1:-1], '', 0
        while index < len(body):
            char = body[index]
            if char == '\\' and index + 1 < len(body):
                value += _ESCAPES.get(body[index + 1], '\\' + body[index + 1])
                index += 2
                continue
            if char == quote:
                raise ctx.error('unescaped %s inside string value %s' % (quote, text))
            value += char
            index += 1
    elif text and text[0] in '"\'':
        raise ctx.error('unterminated string value %s' % text)
    else:
        value = text
    if type_.string_bound is not None:
        length = len(value.encode('utf-8')) if type_.base == 'string' else len(
            value.encode('utf-16-le')) // 2
        if length > type_.string_bound:
            raise ctx.error('string value %s is longer than the bound %d' % (text, type_.string_bound))
    return value


def _parse_scalar(text, type_, ctx):
    base = type_.base
    if base in STRING_TYPES:
        return _parse_string(text, type_, ctx)
    if base == 'bool':
        lowered = text.lower()
        if lowered in ('true', '1'):
            return True
        if lowered in ('false', '0'):
            return False
        raise ctx.error("invalid bool value '%s' (use true or false)" % text)
    if base in ('float32', 'float64'):
        try:
            value = float(text)
        except ValueError:
            raise ctx.error("invalid %s value '%s'" % (base, text)) from None
        if base == 'float32' and math.isfinite(value) and abs(value) > 3.4028234663852886e38:
            raise ctx.error("value '%s' out of range for float32" % text)
        return value
    try:
        value = int(text, 0) if re.match(r'^[+-]?0[xXoObB]', text) else int(text, 10)
    except ValueError:
        raise ctx.error("invalid %s value '%s'" % (base, text)) from None
    low, high = INTEGER_RANGES[base]
    if not low <= value <= high:
        raise ctx.error('value %s out of range for %s [%d, %d]' % (text, base, low, high))
    return value


def parse_value(text, type_, ctx):
    """Parses a default or constant value of the given (non-nested) type."""
    if not type_.is_array():
        return _parse_scalar(text.strip(), type_, ctx)
    items = [_parse_scalar(item, type_.element(), ctx) for item in _split_list(text, ctx)]
    if type_.array == 'fixed' and len(items) != type_.array_size:
        raise ctx.error('array value has %d elements, the type needs exactly %d' % (
            len(items), type_.array_size))
    if type_.array == 'bounded' and len(items) > type_.array_size:
        raise ctx.error('array value has %d elements, the bound is %d' % (
            len(items), type_.array_size))
    return items


def _check_name(pattern, name, what, ctx):
    if not pattern.match(name):
        raise ctx.error("invalid %s name '%s'" % (what, name))
    if name in CPP_KEYWORDS:
        raise ctx.error("%s name '%s' is a C++ keyword" % (what, name))


def parse_message_lines(package, kind, name, lines, path, first_line=1):
    """Parses the lines of a .msg file (or one half of a .srv file)."""
    message = Message(package, kind, name, path=path)
    names = set()
    for offset, raw in enumerate(lines):
        ctx = _Context(path, first_line + offset)
        line = strip_comment(raw).strip()
        if not line:
            continue
        parts = line.split(None, 1)
        if len(parts) < 2:
            raise ctx.error("expected '<type> <name>', got '%s'" % line)
        type_spec, rest = parts
        type_ = parse_type(type_spec, ctx)
        constant = CONSTANT_LINE.match(rest)
        if constant:
            const_name = constant.group('name')
            _check_name(CONSTANT_NAME, const_name, 'constant', ctx)
            if type_.is_nested() or type_.is_array():
                raise ctx.error("constant '%s' must have a primitive or string type" % const_name)
            if not constant.group('value').strip():
                raise ctx.error("constant '%s' has no value" % const_name)
            value = parse_value(constant.group('value'), type_, ctx)
            item = Constant(type_, const_name, value, ctx.line)
            message.constants.append(item)
        else:
            field_parts = rest.split(None, 1)
            field_name = field_parts[0]
            _check_name(FIELD_NAME, field_name, 'field', ctx)
            default = None
            if len(field_parts) == 2:
                if type_.is_nested():
                    raise ctx.error("field '%s' of message type cannot have a default value" %
                                    field_name)
                default = parse_value(field_parts[1], type_, ctx)
            item = Field(type_, field_name, default, ctx.line)
            message.fields.append(item)
        if item.name in names:
            raise ctx.error("'%s' is defined twice" % item.name)
        names.add(item.name)
    if not message.fields:
        # ROS 2 gives an empty structure one placeholder member, on the wire too.
        message.fields.append(Field(Type('uint8'), PLACEHOLDER_MEMBER))
    return message


def _read_lines(path):
    try:
        with open(path, 'rb') as handle:
            data = handle.read()
    except OSError as error:
        raise DefinitionError(path, 0, 'cannot read file: %s' % error.strerror) from None
    try:
        text = data.decode('utf-8')
    except UnicodeDecodeError as error:
        line = data[:error.start].count(b'\n') + 1
        raise DefinitionError(path, line, 'file is not valid UTF-8') from None
    return text.splitlines()


def parse_file(package, path):
    """Parses one .msg or .srv file; returns a Message or a Service."""
    stem, extension = os.path.splitext(os.path.basename(path))
    if extension not in ('.msg', '.srv'):
        raise DefinitionError(path, 0, "unsupported interface file type '%s' (.msg or .srv)" %
                              extension)
    if not MESSAGE_NAME.match(stem):
        raise DefinitionError(path, 0, "invalid interface name '%s' (must be CamelCase)" % stem)
    lines = _read_lines(path)
    if extension == '.msg':
        return parse_message_lines(package, 'msg', stem, lines, path)
    separators = [index for index, line in enumerate(lines)
                  if strip_comment(line).strip() == SERVICE_SEPARATOR]
    if len(separators) != 1:
        line = separators[1] + 1 if separators else len(lines)
        raise DefinitionError(path, line, "a service needs exactly one '---' separator, found %d" %
                              len(separators))
    split = separators[0]
    request = parse_message_lines(package, 'srv', stem + '_Request', lines[:split], path)
    response = parse_message_lines(package, 'srv', stem + '_Response', lines[split + 1:], path,
                                   first_line=split + 2)
    return Service(package, stem, request, response, path)


def resolve_types(messages, package, dependencies):
    """Checks nested types: same-package names must exist, other packages be dependencies."""
    local = {m.name for m in messages if m.interface_kind == 'msg'}
    for message in messages:
        for item in message.fields:
            type_ = item.type
            if not type_.is_nested():
                continue
            ctx = _Context(message.path, item.line)
            if type_.package in ('', package):
                type_.package = package
                if type_.base not in local:
                    raise ctx.error("unknown type '%s': no %s.msg in package '%s'" % (
                        type_.base, type_.base, package))
                if message.interface_kind == 'msg' and type_.base == message.name:
                    raise ctx.error("message '%s' cannot contain itself" % message.name)
            elif type_.package not in dependencies:
                raise ctx.error("type '%s/%s' is from package '%s', which is not a dependency" % (
                    type_.package, type_.base, type_.package))


def check_containment_cycles(messages):
    """Rejects messages of this package that contain each other (A has a B, B has an A)."""
    by_name = {m.name: m for m in messages if m.interface_kind == 'msg'}
    state = {}  # name -> 'visiting' | 'done'

    def visit(message, chain):
        state[message.name] = 'visiting'
        for item in message.fields:
            type_ = item.type
            if not type_.is_nested() or type_.base not in by_name or \
                    type_.package != message.package:
                continue
            if state.get(type_.base) == 'visiting':
                cycle = ' -> '.join(chain + [message.name, type_.base])
                raise DefinitionError(message.path, item.line,
                                      'messages contain each other: %s' % cycle)
            if type_.base not in state:
                visit(by_name[type_.base], chain + [message.name])
        state[message.name] = 'done'

    for message in by_name.values():
        if message.name not in state:
            visit(message, [])
