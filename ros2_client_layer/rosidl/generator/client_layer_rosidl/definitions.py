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

"""The parsed form of interface definitions: types, fields, constants, messages."""

from dataclasses import dataclass, field
from typing import List, Optional

# msg type -> C++ type (outside of any container).
PRIMITIVE_CPP_TYPES = {
    'bool': 'bool',
    'byte': 'unsigned char',
    'char': 'uint8_t',
    'float32': 'float',
    'float64': 'double',
    'int8': 'int8_t',
    'uint8': 'uint8_t',
    'int16': 'int16_t',
    'uint16': 'uint16_t',
    'int32': 'int32_t',
    'uint32': 'uint32_t',
    'int64': 'int64_t',
    'uint64': 'uint64_t',
}
STRING_TYPES = ('string', 'wstring')

# The member ROS 2 gives a structure that has none of its own.
PLACEHOLDER_MEMBER = 'structure_needs_at_least_one_member'

# Inclusive value ranges of the integer types.
INTEGER_RANGES = {
    'byte': (0, 255),
    'char': (0, 255),
    'int8': (-2**7, 2**7 - 1),
    'uint8': (0, 2**8 - 1),
    'int16': (-2**15, 2**15 - 1),
    'uint16': (0, 2**16 - 1),
    'int32': (-2**31, 2**31 - 1),
    'uint32': (0, 2**32 - 1),
    'int64': (-2**63, 2**63 - 1),
    'uint64': (0, 2**64 - 1),
}


@dataclass
class Type:
    """A member type: a primitive, a string or a nested message, possibly in an array."""

    base: str                     # primitive or string name, or the nested message name
    package: Optional[str] = None  # set for nested messages only
    string_bound: Optional[int] = None
    array: Optional[str] = None   # None, 'fixed', 'unbounded' or 'bounded'
    array_size: Optional[int] = None

    def is_primitive(self):
        return self.package is None and self.base in PRIMITIVE_CPP_TYPES

    def is_string(self):
        return self.package is None and self.base in STRING_TYPES

    def is_nested(self):
        return self.package is not None

    def is_array(self):
        return self.array is not None

    def element(self):
        return Type(self.base, self.package, self.string_bound)


@dataclass
class Field:
    type: Type
    name: str
    default: object = None  # Python value (a list for arrays), None when absent
    line: int = 0


@dataclass
class Constant:
    type: Type
    name: str
    value: object
    line: int = 0


@dataclass
class Message:
    package: str
    interface_kind: str  # 'msg' or 'srv'
    name: str            # e.g. 'Time' or 'SetBool_Request'
    fields: List[Field] = field(default_factory=list)
    constants: List[Constant] = field(default_factory=list)
    path: str = ''


@dataclass
class Service:
    package: str
    name: str
    request: Message
    response: Message
    path: str = ''


def snake_case(name):
    """CamelCase -> snake_case, as ROS 2 names its generated headers."""
    import re
    name = re.sub(r'(.)([A-Z][a-z]+)', r'\1_\2', name)
    name = re.sub(r'([a-z0-9])([A-Z])', r'\1_\2', name)
    return name.lower()
