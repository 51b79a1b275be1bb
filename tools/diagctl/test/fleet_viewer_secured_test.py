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

"""
A fleet viewer in the enclave /diagctl_fleet reads a namespaced centre and can raise nothing.

The keystore is made by genuine sros2 (`ros2 security`, from SROS2_ENV_SH or PATH; skipped,
77, without it) on the shipped policies: the centre's and diagctl's with their profiles moved
to /robot3, the viewer's as shipped. The centre (CENTRE) runs in /robot3; diagctl (DIAGCTL)
raises a fault there in its own enclave; the viewer, `diagctl dashboard` in /diagctl_fleet,
shows it. The viewer's own raise and query are refused by DDS Security.
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.join(HERE, '..', '..', '..')
CENTRE_POLICY = os.path.join(
    REPO, 'diagnostic_center/config/security/diagnostic_center.policy.xml')
DIAGCTL_POLICY = os.path.join(HERE, '..', 'config/security/diagctl.policy.xml')
VIEWER_POLICY = os.path.join(HERE, '..', 'config/security/diagctl_fleet.policy.xml')
CENTRE_PARAMETERS = os.path.join(REPO, 'diagnostic_center/config/diagnostic_center.yaml')
NAMESPACE = '/robot3'
DEADLINE_S = 30.0
SKIPPED = 77


def sros2_command():
    """Return `ros2 security` through SROS2_ENV_SH, or from PATH; None without either."""
    env_sh = os.environ.get('SROS2_ENV_SH', '')
    if env_sh and os.path.exists(env_sh):
        return ['bash', '-c', 'source "$0" >/dev/null 2>&1; exec ros2 security "$@"', env_sh]
    if shutil.which('ros2'):
        return ['ros2', 'security']
    return None


class FleetViewerSecuredTest(unittest.TestCase):

    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix='fleet_viewer_')
        self.addCleanup(shutil.rmtree, self.directory, True)
        self.keystore = os.path.join(self.directory, 'keystore')
        self.make_keystore()

    def moved_policy(self, source, enclave):
        """Write a shipped policy with its profile moved to NAMESPACE; return its path."""
        with open(source) as policy:
            text = policy.read()
        self.assertIn('ns="/"', text)
        path = os.path.join(self.directory, enclave.strip('/') + '.policy.xml')
        with open(path, 'w') as moved:
            moved.write(text.replace('ns="/"', f'ns="{NAMESPACE}"'))
        return path

    def make_keystore(self):
        policies = {
            '/diagnostic_center': self.moved_policy(CENTRE_POLICY, '/diagnostic_center'),
            '/diagctl': self.moved_policy(DIAGCTL_POLICY, '/diagctl'),
            '/diagctl_fleet': VIEWER_POLICY,
        }
        commands = [['create_keystore', self.keystore]]
        commands += [['create_enclave', self.keystore, enclave] for enclave in policies]
        commands += [['create_permission', self.keystore, enclave, policy]
                     for enclave, policy in policies.items()]
        for command in commands:
            done = subprocess.run(SROS2 + command, stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT, text=True, timeout=120)
            self.assertEqual(done.returncode, 0, f'ros2 security {command[0]}:\n{done.stdout}')

    def env(self, enclave):
        env = dict(os.environ, ROS_SECURITY_KEYSTORE=self.keystore, ROS_SECURITY_ENABLE='true',
                   ROS_SECURITY_STRATEGY='Enforce', ROS_SECURITY_ENCLAVE_OVERRIDE=enclave,
                   ROS_LOG_DIR=os.path.join(self.directory, 'ros_log'))
        return env

    def start(self, name, command, enclave):
        log = open(os.path.join(self.directory, name + '.log'), 'w+')
        self.addCleanup(log.close)
        process = subprocess.Popen(command, env=self.env(enclave), stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
        self.addCleanup(self.stop, process, name, log)
        return process, log

    def stop(self, process, name, log):
        if process.poll() is None:
            process.send_signal(signal.SIGINT)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        log.seek(0)
        sys.stderr.write(f'--- {name} log (last lines)\n' + ''.join(log.readlines()[-20:]))

    def diagctl(self, enclave, *arguments):
        done = subprocess.run([os.environ['DIAGCTL'], '-n', NAMESPACE, *arguments],
                              env=self.env(enclave), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=DEADLINE_S + 30)
        return done.returncode, done.stdout

    def dashboard_url(self, log):
        end = time.monotonic() + DEADLINE_S
        while time.monotonic() < end:
            log.seek(0)
            found = re.search(r'dashboard: (http://\S+)', log.read())
            if found:
                return found.group(1)
            time.sleep(0.1)
        self.fail('the viewer printed no address')

    def current_failures(self, url):
        with urllib.request.urlopen(url + 'api/current', timeout=10) as answer:
            return [failure['fault_id'] for failure in json.load(answer)['failures']]

    def wait_for_failures(self, url, expected):
        end = time.monotonic() + DEADLINE_S
        seen = None
        while time.monotonic() < end:
            seen = self.current_failures(url)
            if seen == expected:
                return
            time.sleep(0.2)
        self.fail(f'the viewer shows {seen}, not {expected}')

    def test_the_viewer_reads_a_namespaced_centre_and_raises_nothing(self):
        self.start('centre', [os.environ['CENTRE'], '--ros-args', '-r', f'__ns:={NAMESPACE}',
                              '--params-file', CENTRE_PARAMETERS, '-p',
                              'fault_record_dir:=' + os.path.join(self.directory, 'records')],
                   '/diagnostic_center')
        _, viewer_log = self.start(
            'viewer', [os.environ['DIAGCTL'], '-n', NAMESPACE, 'dashboard', '--port', '0'],
            '/diagctl_fleet')
        url = self.dashboard_url(viewer_log)

        status, out = self.diagctl('/diagctl', 'raise', 'chassis_driver', '1001', 'secured',
                                   '--timeout', str(DEADLINE_S))
        self.assertEqual(status, 0, out)
        self.wait_for_failures(url, [1001])

        # The viewer's own raise and query: no publisher, no client.
        status, out = self.diagctl('/diagctl_fleet', 'raise', 'chassis_driver', '1002',
                                   '--timeout', '3')
        self.assertNotEqual(status, 0, out)
        self.assertIn('could not create publisher', out)
        status, out = self.diagctl('/diagctl_fleet', 'query', '--timeout', '3')
        self.assertNotEqual(status, 0, out)
        # The centre still has the one failure: nothing of the viewer's came through.
        time.sleep(2.0)
        self.assertEqual(self.current_failures(url), [1001])


if __name__ == '__main__':
    SROS2 = sros2_command()
    if SROS2 is None or not os.path.exists(VIEWER_POLICY) or not os.path.exists(CENTRE_POLICY):
        print('skipped: no ros2 security (SROS2_ENV_SH or ros2 on PATH) or no policies')
        sys.exit(SKIPPED)
    unittest.main()
