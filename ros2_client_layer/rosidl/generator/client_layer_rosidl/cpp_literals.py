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

"""C++ spellings of parsed values."""

import math


def _escape_bytes(data):
    out = ''
    for byte in data:
        char = chr(byte)
        if char in '"\\':
            out += '\\' + char
        elif char == '?':
            out += '\\?'  # no trigraphs
        elif 0x20 <= byte < 0x7f:
            out += char
        else:
            out += '\\%03o' % byte  # octal escapes stop after three digits
    return out


def string_literal(value, base):
    if base == 'string':
        return '"%s"' % _escape_bytes(value.encode('utf-8'))
    out = ''
    for char in value:
        code = ord(char)
        if char in '"\\?':
            out += '\\' + char
        elif 0x20 <= code < 0x7f:
            out += char
        elif code < 0x10000:
            out += '\\u%04x' % code if code >= 0xa0 else '\\%03o' % code
        else:
            out += '\\U%08x' % code
    return 'u"%s"' % out


def primitive_literal(value, base):
    if base == 'bool':
        return 'true' if value else 'false'
    if base in ('float32', 'float64'):
        cpp_type = 'float' if base == 'float32' else 'double'
        if math.isnan(value):
            return 'std::numeric_limits<%s>::quiet_NaN()' % cpp_type
        if math.isinf(value):
            sign = '-' if value < 0 else ''
            return '%sstd::numeric_limits<%s>::infinity()' % (sign, cpp_type)
        text = repr(float(value))
        if 'e' not in text and '.' not in text:
            text += '.0'
        return text + ('f' if base == 'float32' else '')
    if base == 'int64':
        if value == -2**63:
            return '(-9223372036854775807ll - 1)'
        return '%dll' % value
    if base == 'uint64':
        return '%dull' % value
    if base == 'int32' and value == -2**31:
        return '(-2147483647 - 1)'
    if base == 'uint32':
        return '%dul' % value
    return '%d' % value


def scalar_literal(value, base):
    if base in ('string', 'wstring'):
        return string_literal(value, base)
    return primitive_literal(value, base)
