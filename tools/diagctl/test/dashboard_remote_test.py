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
The dashboard served beyond loopback, end to end, in a network namespace of its own.

Run as root, the test re-runs itself under `unshare --net` (skipped, 77, otherwise) and gives
the namespace an address in 10.231.0.0/16 on a veth pair, so that nothing is reachable from
outside. diagctl (DIAGCTL) refuses that address without TLS and a token, and serves it with
them: HTTPS only, 401 without the token, 200 with it, the cookie after /?token=.
"""

import http.client
import os
import re
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

ADDRESS = '10.231.7.1'
INSIDE = 'DASHBOARD_REMOTE_TEST_INSIDE'
DEADLINE_S = 30.0
SKIPPED = 77


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class DashboardRemoteTest(unittest.TestCase):

    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix='dashboard_remote_')
        self.addCleanup(shutil.rmtree, self.directory, True)
        self.cert = os.path.join(self.directory, 'cert.pem')
        self.key = os.path.join(self.directory, 'key.pem')
        run('openssl', 'req', '-x509', '-newkey', 'ec', '-pkeyopt',
            'ec_paramgen_curve:prime256v1', '-nodes', '-days', '2', '-subj', '/CN=robot',
            '-addext', f'subjectAltName=IP:{ADDRESS}', '-keyout', self.key, '-out', self.cert)
        self.token = 'remote-dashboard-test-token-0123456789'
        self.token_file = os.path.join(self.directory, 'token')
        with open(os.open(self.token_file, os.O_WRONLY | os.O_CREAT, 0o600), 'w') as token:
            token.write(self.token + '\n')

    def diagctl(self, *arguments):
        return [os.environ['DIAGCTL'], 'dashboard', '--bind', ADDRESS, '--port', '0',
                *arguments]

    def serve(self):
        log = open(os.path.join(self.directory, 'dashboard.log'), 'w+')
        self.addCleanup(log.close)
        process = subprocess.Popen(
            self.diagctl('--tls-cert', self.cert, '--tls-key', self.key,
                         '--token-file', self.token_file),
            stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self.addCleanup(self.stop, process)
        end = time.monotonic() + DEADLINE_S
        while time.monotonic() < end:
            log.seek(0)
            found = re.search(r'dashboard: https://([0-9.]+):(\d+)/', log.read())
            if found:
                self.assertEqual(found.group(1), ADDRESS)
                return int(found.group(2))
            self.assertIsNone(process.poll(), 'the dashboard ended')
            time.sleep(0.1)
        self.fail('the dashboard printed no https address')

    def stop(self, process):
        if process.poll() is None:
            process.send_signal(signal.SIGINT)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()

    def get(self, port, path, headers=None):
        context = ssl.create_default_context(cafile=self.cert)
        connection = http.client.HTTPSConnection(ADDRESS, port, context=context, timeout=10)
        connection.request('GET', path, headers=headers or {})
        answer = connection.getresponse()
        result = (answer.status, dict(answer.getheaders()), answer.read().decode())
        connection.close()
        return result

    def test_beyond_loopback_only_over_tls_with_the_token(self):
        refused = subprocess.run(self.diagctl(), stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True, timeout=DEADLINE_S)
        self.assertEqual(refused.returncode, 2, refused.stdout)
        self.assertIn('needs TLS and an access token', refused.stdout)

        port = self.serve()
        status, _, body = self.get(port, '/api/current')
        self.assertEqual(status, 401, body)
        status, _, body = self.get(port, '/api/current',
                                   {'Authorization': 'Bearer ' + self.token})
        self.assertEqual(status, 200, body)
        status, headers, _ = self.get(port, '/?token=' + self.token)
        self.assertEqual(status, 303)
        self.assertEqual(headers.get('Location'), '/')
        cookie = headers.get('Set-Cookie', '').split(';')[0]
        status, _, body = self.get(port, '/', {'Cookie': cookie})
        self.assertEqual(status, 200)
        self.assertIn('<html', body.lower())

        # Plain HTTP to the same port gets no page.
        plain = http.client.HTTPConnection(ADDRESS, port, timeout=10)
        with self.assertRaises((http.client.HTTPException, OSError)):
            plain.request('GET', '/api/current')
            plain.getresponse()
        plain.close()


def enter_namespace():
    """Re-run this script in a network namespace of its own; return its exit status."""
    if os.geteuid() != 0 or not shutil.which('unshare') or not shutil.which('ip'):
        print('skipped: needs root, unshare and ip for a network namespace of its own')
        return SKIPPED
    script = ('set -e; ip link set lo up; ip link add v0 type veth peer name v1; '
              f'ip addr add {ADDRESS}/24 dev v0; ip link set v0 up; ip link set v1 up; '
              'exec "$0" -u "$1"')
    return subprocess.run(['unshare', '--net', 'bash', '-c', script, sys.executable,
                           os.path.abspath(__file__)],
                          env=dict(os.environ, **{INSIDE: '1'})).returncode


if __name__ == '__main__':
    if os.environ.get(INSIDE) != '1':
        sys.exit(enter_namespace())
    unittest.main()
