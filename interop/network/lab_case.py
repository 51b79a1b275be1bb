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

"""What every test across hosts shares: a lab of its own, its logs when it fails, its main."""

import glob
import os
import shutil
import sys
import tempfile
import unittest

import netlab

# Lines of each log shown for a failed test.
LOG_TAIL_LINES = 60


class LabCase(unittest.TestCase):
    """A test with a scratch directory and a lab in it, both gone when it ends."""

    maxDiff = None

    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix='netlab_')
        self.lab = netlab.Lab(self.directory)
        self.addCleanup(self.lab.close)

    def run(self, result=None):
        result = result or self.defaultTestResult()
        problems = len(result.failures) + len(result.errors)
        super().run(result)
        directory = getattr(self, 'directory', None)
        if directory is None:
            return result
        if len(result.failures) + len(result.errors) > problems:
            show_logs(directory)
        shutil.rmtree(directory, ignore_errors=True)
        return result

    def log_dir(self):
        return os.path.join(self.directory, 'ros_log')


def show_logs(directory):
    for path in sorted(glob.glob(os.path.join(directory, '*.log'))):
        with open(path, errors='replace') as log:
            lines = log.readlines()
        sys.stderr.write(f'--- {os.path.basename(path)} (last {LOG_TAIL_LINES} lines)\n')
        sys.stderr.writelines(lines[-LOG_TAIL_LINES:])
    sys.stderr.write('---\n')


def main():
    """Skips without a lab; bounds the run below ctest's TIMEOUT; runs the tests named.

    A run whose tests passed but skipped some of their checks ends as
    skipped (SKIP_RETURN_CODE), so that ctest shows what is left unchecked.
    """
    netlab.require_lab()
    netlab.install_deadline(int(os.environ.get('NETLAB_DEADLINE_S', '240')))
    result = unittest.main(module='__main__', verbosity=2, exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    if result.skipped:
        netlab.skip('; '.join(reason for _, reason in result.skipped))
