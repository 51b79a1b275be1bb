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

"""The generator on valid and invalid interface definitions.

Invalid definitions must fail with `file:line: message` and write nothing.
"""

import contextlib
import io
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'generator'))

import generate_cpp  # noqa: E402


class GeneratorTest(unittest.TestCase):

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.root = self.directory.name
        self.output = os.path.join(self.root, 'out')

    def tearDown(self):
        self.directory.cleanup()

    def write(self, name, text, mode='w'):
        path = os.path.join(self.root, name)
        with open(path, mode) as handle:
            handle.write(text)
        return path

    def run_generator(self, paths, dependencies=('builtin_interfaces',)):
        stderr = io.StringIO()
        arguments = ['--package', 'test_pkg', '--output-dir', self.output]
        for dependency in dependencies:
            arguments += ['--dependency', dependency]
        with contextlib.redirect_stderr(stderr):
            status = generate_cpp.main(arguments + list(paths))
        return status, stderr.getvalue()

    def assert_rejected(self, text, line, fragment, name='Bad.msg'):
        path = self.write(name, text)
        status, stderr = self.run_generator([path])
        self.assertEqual(status, 1, stderr)
        self.assertTrue(stderr.startswith('%s:%d: ' % (path, line)), stderr)
        self.assertIn(fragment, stderr)
        self.assertFalse(os.path.exists(self.output), 'nothing may be written on error')

    def test_the_whole_grammar_is_accepted(self):
        interfaces = os.path.join(HERE, '..', '..', 'interfaces', 'test', 'test_interfaces')
        paths = [os.path.join(interfaces, 'msg', name) for name in (
            'AllTypes.msg', 'Nested.msg', 'Empty.msg')]
        paths.append(os.path.join(interfaces, 'srv', 'Trigger.srv'))
        status, stderr = self.run_generator(paths)
        self.assertEqual(status, 0, stderr)
        for header in ('msg/all_types.hpp', 'msg/detail/all_types__struct.hpp',
                       'msg/detail/all_types__traits.hpp', 'msg/detail/all_types__type_support.hpp',
                       'srv/trigger.hpp', 'srv/detail/trigger__struct.hpp'):
            self.assertTrue(os.path.exists(os.path.join(self.output, 'test_pkg', header)), header)

    def test_field_errors_name_file_and_line(self):
        cases = [
            ('int32 ok\nfoo32 x\n', 2, "unknown type 'foo32'"),
            ('# c\n\nint32 Bad\n', 3, "invalid field name 'Bad'"),
            ('int32 double__underscore\n', 1, 'invalid field name'),
            ('int32 trailing_\n', 1, 'invalid field name'),
            ('int32 class\n', 1, 'C++ keyword'),
            ('int32\n', 1, "expected '<type> <name>'"),
            ('int32 x\nint64 x\n', 2, "'x' is defined twice"),
            ('int8 x 128\n', 1, 'out of range for int8'),
            ('uint64 x -1\n', 1, 'out of range for uint64'),
            ('byte x 256\n', 1, 'out of range for byte'),
            ('int32 x 1.5\n', 1, "invalid int32 value '1.5'"),
            ('float64 x abc\n', 1, "invalid float64 value 'abc'"),
            ('bool x maybe\n', 1, "invalid bool value 'maybe'"),
            ('string s "abc\n', 1, 'unterminated string'),
            ('string<=2 s "abc"\n', 1, 'longer than the bound 2'),
            ('int32[2] a [1]\n', 1, 'exactly 2'),
            ('int32[<=1] a [1, 2]\n', 1, 'the bound is 1'),
            ('int32[] a 1, 2\n', 1, 'must be written as [a, b, ...]'),
            ('int32[] a [1,,2]\n', 1, 'empty element'),
            ('int32[<=] a\n', 1, 'bounded array needs a size'),
            ('int32[0] a\n', 1, 'array size must be positive'),
            ('string<=0 s\n', 1, 'string bound must be positive'),
            ('int32<=5 x\n', 1, 'only string and wstring take an upper bound'),
            ('int32[x] a\n', 1, "invalid type 'int32[x]'"),
            ('builtin_interfaces/Time t 5\n', 1, 'cannot have a default value'),
        ]
        for text, line, fragment in cases:
            with self.subTest(text=text):
                self.assert_rejected(text, line, fragment)

    def test_constant_errors_name_file_and_line(self):
        cases = [
            ('int32 lower=1\n', 1, "invalid constant name 'lower'"),
            ('int32[] VALUES=[1]\n', 1, 'must have a primitive or string type'),
            ('builtin_interfaces/Time NOW=0\n', 1, 'must have a primitive or string type'),
            ('int32 EMPTY=\n', 1, "constant 'EMPTY' has no value"),
            ('uint8 BIG=300\n', 1, 'out of range for uint8'),
        ]
        for text, line, fragment in cases:
            with self.subTest(text=text):
                self.assert_rejected(text, line, fragment)

    def test_type_reference_errors(self):
        self.assert_rejected('int32 a\nMissing m\n', 2, "unknown type 'Missing'")
        self.assert_rejected('other_pkg/Thing t\n', 1, "'other_pkg', which is not a dependency")
        self.assert_rejected('Bad b\n', 1, "message 'Bad' cannot contain itself")

    def test_messages_containing_each_other_are_rejected(self):
        first = self.write('First.msg', 'Second s\n')
        second = self.write('Second.msg', 'int32 a\nFirst[] f\n')
        status, stderr = self.run_generator([first, second])
        self.assertEqual(status, 1)
        self.assertIn('messages contain each other', stderr)
        self.assertRegex(stderr, r'(First|Second)\.msg:[12]: ')

    def test_service_separator_errors(self):
        self.assert_rejected('int32 a\n', 1, "exactly one '---'", name='NoSeparator.srv')
        self.assert_rejected('int32 a\n---\n---\nint32 b\n', 3, "exactly one '---'",
                             name='TwoSeparators.srv')
        # Lines of the response are counted from the top of the file.
        self.assert_rejected('int32 a\n---\nint32 b\nfoo c\n', 4, "unknown type 'foo'",
                             name='BadResponse.srv')

    def test_file_level_errors(self):
        self.assert_rejected('int32 a\n', 0, "invalid interface name 'lower_case'",
                             name='lower_case.msg')
        self.assert_rejected('int32 a\n', 0, "unsupported interface file type '.action'",
                             name='Move.action')
        path = self.write('Latin1.msg', b'int32 a\n# caf\xe9\n', mode='wb')
        status, stderr = self.run_generator([path])
        self.assertEqual(status, 1)
        self.assertTrue(stderr.startswith('%s:2: file is not valid UTF-8' % path), stderr)

    def test_comments_end_at_quotes_only_when_quotes_open_a_value(self):
        sys.path.insert(0, os.path.join(HERE, '..', 'generator'))
        from client_layer_rosidl.parser import strip_comment
        self.assertEqual(strip_comment('string s "a # b" # c'), 'string s "a # b" ')
        self.assertEqual(strip_comment("int32 x  # it's a comment"), 'int32 x  ')
        self.assertEqual(strip_comment("string s don't # c"), "string s don't ")
        self.assertEqual(strip_comment('string S="x\\"#y" # c'), 'string S="x\\"#y" ')

    def test_an_interface_given_twice_is_rejected(self):
        first = self.write('Twice.msg', 'int32 a\n')
        os.mkdir(os.path.join(self.root, 'other'))
        second = self.write(os.path.join('other', 'Twice.msg'), 'int32 b\n')
        status, stderr = self.run_generator([first, second])
        self.assertEqual(status, 1)
        self.assertTrue(stderr.startswith('%s:0: Twice.msg is also given as %s' % (second, first)),
                        stderr)

    def test_every_error_of_a_run_is_reported(self):
        first = self.write('First.msg', 'foo a\n')
        second = self.write('Second.msg', 'int32 b\nint32 B\n')
        status, stderr = self.run_generator([first, second])
        self.assertEqual(status, 1)
        self.assertIn('%s:1: ' % first, stderr)
        self.assertIn('%s:2: ' % second, stderr)


if __name__ == '__main__':
    unittest.main()
