#!/usr/bin/env python3
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

"""Generates the C++ headers of one ROS 2 interface package from its .msg/.srv files.

usage: generate_cpp.py --package NAME --output-dir DIR [--dependency PKG ...] FILE...

Definitions it does not accept are reported as `file:line: message` on stderr,
and it exits with status 1 without writing anything.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from client_layer_rosidl import cpp_generator  # noqa: E402
from client_layer_rosidl.definitions import Service  # noqa: E402
from client_layer_rosidl.parser import (  # noqa: E402
    DefinitionError, PACKAGE_NAME, check_containment_cycles, parse_file, resolve_types)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--package', required=True)
    parser.add_argument('--output-dir', required=True)
    parser.add_argument('--dependency', action='append', default=[],
                        help='an interface package whose messages may be used')
    parser.add_argument('--list-outputs', action='store_true',
                        help='print the headers that would be written, one per line, and exit')
    parser.add_argument('files', nargs='+')
    return parser.parse_args(argv)


def write_if_changed(path, text):
    """Leaves unchanged headers alone so that dependents do not rebuild."""
    try:
        with open(path, encoding='utf-8') as handle:
            if handle.read() == text:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(path), exist_ok=True)
    temporary = path + '.tmp'
    with open(temporary, 'w', encoding='utf-8') as handle:
        handle.write(text)
    os.replace(temporary, path)


def main(argv=None):
    args = parse_arguments(argv)
    if not PACKAGE_NAME.match(args.package):
        print("error: invalid package name '%s'" % args.package, file=sys.stderr)
        return 1
    if args.list_outputs:
        for path in args.files:
            stem, extension = os.path.splitext(os.path.basename(path))
            kind = extension[1:]
            for header in cpp_generator.output_paths(args.package, kind, stem):
                print(os.path.join(args.output_dir, header))
        return 0

    interfaces, errors, seen = [], [], {}
    for path in args.files:
        key = os.path.basename(path)
        if key in seen:
            errors.append('%s:0: %s is also given as %s' % (path, key, seen[key]))
            continue
        seen[key] = path
        try:
            interfaces.append(parse_file(args.package, path))
        except DefinitionError as error:
            errors.append(str(error))
    if not errors:
        messages = []
        for interface in interfaces:
            if isinstance(interface, Service):
                messages += [interface.request, interface.response]
            else:
                messages.append(interface)
        try:
            resolve_types(messages, args.package, set(args.dependency))
            check_containment_cycles(messages)
        except DefinitionError as error:
            errors.append(str(error))
    if errors:
        for error in errors:
            print(error, file=sys.stderr)
        return 1

    for interface in interfaces:
        if isinstance(interface, Service):
            headers = cpp_generator.generate_service(interface)
        else:
            headers = cpp_generator.generate_message(interface)
        for relative_path, lines in headers:
            write_if_changed(os.path.join(args.output_dir, relative_path), '\n'.join(lines) + '\n')
    return 0


if __name__ == '__main__':
    sys.exit(main())
