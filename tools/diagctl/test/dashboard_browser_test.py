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
The dashboard in headless Chromium, against the real node.

Starts the node with a fresh record directory and `diagctl dashboard --port 0`,
loads the page in headless Chromium (driven over the DevTools protocol),
replays the raises of the motor-bus cascade, waits until the drawn tree has
the expected shape, clears the root of the chassis chain, waits for the new
shape and for the records table, and saves a screenshot. The page is never
reloaded. Chromium talks to loopback only.

Exit status: 0 passed, 1 failed, 77 skipped (no chromium, outside CI).
"""

import argparse
import base64
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

SKIP = 77
DEADLINE_S = 60.0  # generous: a loaded machine is not a wrong answer

# Loopback only, no background traffic of any kind, runnable as root in CI.
CHROMIUM_FLAGS = [
    '--headless=new', '--no-sandbox', '--no-first-run', '--no-default-browser-check',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-default-apps', '--disable-domain-reliability', '--metrics-recording-only',
    '--no-pings', '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
    '--disable-gpu', '--hide-scrollbars', '--window-size=1280,800',
]

# The tree as drawn: "id(child,child) id", read from the DOM.
TREE_SHAPE_JS = r"""
(() => {
  const tree = document.getElementById('tree');
  if (!tree || tree.dataset.state !== 'ready') return null;
  const walk = (node) => {
    const level = node.dataset.level === 'error' ? '' : '~';
    const kids = [...node.querySelectorAll(':scope > .children > .node')].map(walk);
    return level + node.dataset.faultId + (kids.length ? '(' + kids.join(',') + ')' : '');
  };
  return [...tree.querySelectorAll(':scope > .node')].map(walk).join(' ');
})()
"""

RECORD_ROWS_JS = r"""
[...document.querySelectorAll('#records-table tbody tr')]
    .map((row) => row.dataset.faultId + ':' + row.dataset.status).sort().join(' ')
"""


class Failure(Exception):
    pass


class DevTools:
    """The few DevTools commands the test needs, on one page target."""

    def __init__(self, ws_url):
        import websocket  # python3-websocket
        self._ws = websocket.create_connection(ws_url, timeout=30, suppress_origin=True)
        self._next_id = 0

    def call(self, method, **params):
        self._next_id += 1
        self._ws.send(json.dumps({'id': self._next_id, 'method': method, 'params': params}))
        while True:
            message = json.loads(self._ws.recv())
            if message.get('id') == self._next_id:
                if 'error' in message:
                    raise Failure(f'{method}: {message["error"]}')
                return message.get('result', {})

    def evaluate(self, expression):
        result = self.call('Runtime.evaluate', expression=expression, returnByValue=True)
        if 'exceptionDetails' in result:
            raise Failure(f'page script failed: {result["exceptionDetails"]}')
        return result['result'].get('value')

    def close(self):
        self._ws.close()


class Processes:
    """Every process the test starts, stopped at the end by their own ids."""

    def __init__(self, log_dir):
        self._log_dir = log_dir
        self._started = []

    def start(self, name, argv, **kwargs):
        log = open(os.path.join(self._log_dir, name + '.log'), 'wb')
        process = subprocess.Popen(argv, stderr=log, start_new_session=True, **kwargs)
        self._started.append((name, process, log))
        return process

    def stop_all(self):
        for name, process, log in reversed(self._started):
            if process.poll() is None:
                # The node ends on SIGINT; the others on SIGTERM. Chromium's
                # helpers share its new session's process group.
                sig = signal.SIGINT if name == 'node' else signal.SIGTERM
                try:
                    os.killpg(process.pid, sig)
                    process.wait(timeout=10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    if process.poll() is None:
                        os.killpg(process.pid, signal.SIGKILL)
                        process.wait()
            log.close()


def wait_until(what, probe, expected, deadline_s=DEADLINE_S):
    """Poll probe() until it returns expected; fail naming what it saw last."""
    deadline = time.monotonic() + deadline_s
    seen = None
    while time.monotonic() < deadline:
        seen = probe()
        if seen == expected:
            return seen
        time.sleep(0.1)
    raise Failure(f'{what}: expected {expected!r}, last saw {seen!r}')


def tree_hint(url):
    """Why the drawn tree may not be there: what /api/tree says."""
    try:
        with urllib.request.urlopen(url + 'api/tree', timeout=10) as answer:
            return f'/api/tree: {answer.status}'
    except urllib.error.HTTPError as e:
        return f'/api/tree: {e.code} {e.read().decode(errors="replace")}'


def run_checked(argv, timeout=60):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise Failure(f'{" ".join(argv)} exited {result.returncode}: {result.stderr}')
    return result.stdout


def devtools_page(user_data_dir, chromium):
    """Return the page target's WebSocket URL, once Chromium tells its port."""
    port_file = os.path.join(user_data_dir, 'DevToolsActivePort')
    deadline = time.monotonic() + DEADLINE_S
    while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
        if chromium.poll() is not None:
            raise Failure(f'chromium exited with {chromium.returncode}')
        if time.monotonic() > deadline:
            raise Failure('chromium did not open its DevTools port')
        time.sleep(0.1)
    with open(port_file) as f:
        port = int(f.readline())
    with urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list', timeout=10) as answer:
        targets = json.load(answer)
    pages = [t for t in targets if t.get('type') == 'page']
    if not pages:
        raise Failure('chromium has no page target')
    return pages[0]['webSocketDebuggerUrl']


def run(args, work):
    procs = Processes(work)
    records = os.path.join(work, 'records')
    try:
        procs.start('node', [args.node, '--ros-args', '--params-file', args.params,
                             '-p', f'fault_record_dir:={records}'])
        run_checked([args.diagctl, 'query', '--timeout', '30'], timeout=60)

        dashboard = procs.start('dashboard', [args.diagctl, 'dashboard', '--port', '0',
                                              '--params', args.params, records],
                                stdout=subprocess.PIPE, text=True)
        first_line = dashboard.stdout.readline().strip()
        if not first_line.startswith('dashboard: http://127.0.0.1:'):
            raise Failure(f'dashboard printed {first_line!r} first')
        url = first_line.split(' ', 1)[1]

        profile = os.path.join(work, 'chromium-profile')
        chromium = procs.start('chromium', [args.chromium, *CHROMIUM_FLAGS,
                                            f'--user-data-dir={profile}',
                                            '--remote-debugging-port=0', 'about:blank'])
        page = DevTools(devtools_page(profile, chromium))
        page.call('Emulation.setDeviceMetricsOverride', width=1280, height=800,
                  deviceScaleFactor=1, mobile=False)
        page.call('Page.enable')
        page.call('Page.navigate', url=url)
        wait_until('page loaded', lambda: page.evaluate(
            "document.readyState === 'complete' && !!document.getElementById('tree')"), True)
        page.evaluate('window.__not_reloaded = true')

        run_checked([args.diagctl, 'replay', args.scenario], timeout=120)
        try:
            wait_until('tree after the raises', lambda: page.evaluate(TREE_SHAPE_JS),
                       '1001(~1002(~1003)) 1101 1203')
        except Failure as e:
            raise Failure(f'{e} ({tree_hint(url)})') from None
        wait_until('current failures', lambda: page.evaluate(
            "[...document.querySelectorAll('#current li[data-fault-id]')]"
            ".map((li) => li.dataset.faultId).sort().join(' ')"), '1001 1002 1003 1101 1203')

        run_checked(
            [args.diagctl, 'clear', 'chassis_driver', '1001', 'motor bus: all drives answer'])
        wait_until('tree after clearing 1001', lambda: page.evaluate(TREE_SHAPE_JS),
                   '1002(~1003) 1101 1203')
        wait_until('records table', lambda: page.evaluate(RECORD_ROWS_JS),
                   '1001:fault 1001:passed 1002:fault 1003:fault 1101:fault 1203:fault')
        wait_until('timeline marks', lambda: page.evaluate(
            "document.querySelectorAll('#timeline polygon.raise').length + ' raises, ' + "
            "document.querySelectorAll('#timeline polygon.clear').length + ' clears'"),
            '5 raises, 1 clears')
        shown = "document.querySelectorAll('#exceptions li[data-fault-id]').length > 0"
        if not page.evaluate(shown):
            raise Failure('no exception-handle request shown')
        if page.evaluate('window.__not_reloaded') is not True:
            raise Failure('the page was reloaded')

        shot = page.call('Page.captureScreenshot', format='png')
        path = os.path.join(args.out, 'dashboard.png')
        with open(path, 'wb') as f:
            f.write(base64.b64decode(shot['data']))
        print(f'screenshot: {path}')

        # The filters go to the server as the records command takes them.
        def apply_filter(ids, status, since=''):
            page.evaluate(f"""(() => {{
              const form = document.getElementById('record-filter');
              form.elements.id.value = {json.dumps(ids)};
              form.elements.status.value = {json.dumps(status)};
              form.elements.since.value = {json.dumps(since)};
              form.requestSubmit();
            }})()""")
        apply_filter('1001, 1203', 'fault')
        wait_until('records filtered by id and status', lambda: page.evaluate(RECORD_ROWS_JS),
                   '1001:fault 1203:fault')
        apply_filter('', '', '2100-01-01T00:00')
        wait_until('records since a future time', lambda: page.evaluate(RECORD_ROWS_JS), '')
        apply_filter('12abc', '')
        wait_until('a bad fault id', lambda: page.evaluate(
            "document.getElementById('records-status').textContent"),
            'id: not a 32-bit fault id: "12abc"')
        page.close()
    finally:
        procs.stop_all()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--diagctl', required=True)
    parser.add_argument('--node', required=True)
    parser.add_argument('--params', required=True)
    parser.add_argument('--scenario', required=True)
    parser.add_argument('--out', required=True, help='output directory (screenshot, logs)')
    parser.add_argument('--chromium', default=shutil.which('chromium'))
    args = parser.parse_args()

    if not args.chromium:
        if os.environ.get('CI') == 'true':
            print('FAIL: chromium not found, and CI must run this test', file=sys.stderr)
            return 1
        print('SKIP: chromium not found (apt-get install chromium)')
        return SKIP
    os.makedirs(args.out, exist_ok=True)
    work = tempfile.mkdtemp(prefix='run-', dir=args.out)
    try:
        run(args, work)
    except (Failure, subprocess.TimeoutExpired) as e:
        print(f'FAIL: {e}\nlogs: {work}', file=sys.stderr)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print('PASS')
    return 0


if __name__ == '__main__':
    sys.exit(main())
