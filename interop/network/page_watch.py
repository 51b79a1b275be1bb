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

"""A dashboard page in headless Chromium on a lab host, what it shows printed as it changes.

    page_watch.py --url URL --read fleet|tree --work DIR [--click-robot NS]
                  [--screenshot PNG] [--chromium PATH]

Runs on the host whose loopback serves the page (the test's own process
cannot reach another namespace's 127.0.0.1). Loads the page once, never
reloads it, and reads its DOM every POLL_S; each time the reading changes it
prints one line `seen <unix time s> <JSON>`:
  fleet  [{"robot", "domain", "state", "text"}] of every `tr[data-robot]` row
  tree   the drawn diagnosis tree, "id(child,...) ..." ("~" marks a warning)
With --click-robot, the row of that robot is clicked once the page shows it,
and the page it opens (in the same tab or a new one) is the one read.
SIGUSR1 saves a screenshot to --screenshot and prints `screenshot <path>`;
SIGTERM ends Chromium and the watcher. Needs /usr/bin/python3's websocket.
"""

import argparse
import base64
import json
import os
import shutil
import signal
import subprocess
import sys
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'tools', 'diagctl', 'test'))
import dashboard_browser_test as browser  # noqa: E402  the DevTools client and flags
import netlab  # noqa: E402

POLL_S = 0.05
WIDTH, HEIGHT = 1200, 800

READERS = {
    'fleet': r"""
[...document.querySelectorAll('tr[data-robot]')].map((row) => ({
  robot: row.dataset.robot, domain: row.dataset.domain, state: row.dataset.state,
  text: row.textContent.replace(/\s+/g, ' ').trim()}))
""",
    'tree': browser.TREE_SHAPE_JS,
}


class Watch:
    """Chromium with one page, read over the DevTools protocol."""

    def __init__(self, args):
        self.args = args
        self.screenshot_wanted = False
        self.ending = False
        self.profile = profile = os.path.join(args.work, 'chromium-profile')
        flags = [f for f in browser.CHROMIUM_FLAGS if not f.startswith('--window-size')]
        self.chromium = subprocess.Popen(
            [args.chromium, *flags, f'--window-size={WIDTH},{HEIGHT}',
             f'--user-data-dir={profile}', '--remote-debugging-port=0', 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(args.work, 'chromium.log'), 'w'),
            preexec_fn=netlab._die_with_parent)
        self.page = browser.DevTools(browser.devtools_page(profile, self.chromium))

    def open(self):
        self.page.call('Emulation.setDeviceMetricsOverride', width=WIDTH, height=HEIGHT,
                       deviceScaleFactor=1, mobile=False)
        self.page.call('Page.enable')
        self.page.call('Page.navigate', url=self.args.url)
        browser.wait_until('page loaded', lambda: self.page.evaluate(
            "document.readyState === 'complete'"), True)
        print('page loaded', flush=True)

    def click_robot(self, robot):
        """Clicks the robot's row; follows the page it opens."""
        row = f"document.querySelector('tr[data-robot=\"' + {json.dumps(robot)} + '\"]')"
        browser.wait_until(f'the row of {robot}', lambda: self.page.evaluate(f'!!{row}'), True)
        before = {target['id'] for target in self.page_targets()}
        # As a user's click (a page it opens in a new tab is not blocked as a
        # popup), on the row's link if it has one, else on the row itself.
        self.page.call('Runtime.evaluate', userGesture=True,
                       expression=f"(({row}).querySelector('a') || {row}).click()")
        time.sleep(1.0)  # a new tab, if the click opens one, is listed by then
        opened = [t for t in self.page_targets() if t['id'] not in before]
        if opened:
            self.page.close()
            self.page = browser.DevTools(opened[0]['webSocketDebuggerUrl'])
        browser.wait_until('the opened page loaded', lambda: self.page.evaluate(
            "document.readyState === 'complete'"), True)
        print(f"clicked {robot}: {self.page.evaluate('location.href')}", flush=True)

    def page_targets(self):
        with open(os.path.join(self.profile, 'DevToolsActivePort')) as port_file:
            port = int(port_file.readline())
        with urllib.request.urlopen(f'http://127.0.0.1:{port}/json/list', timeout=10) as answer:
            return [target for target in json.load(answer) if target.get('type') == 'page']

    def run(self):
        last = None
        while not self.ending:
            seen = self.page.evaluate(READERS[self.args.read])
            if seen != last:
                print(f'seen {time.time():.3f} {json.dumps(seen)}', flush=True)
                last = seen
            if self.screenshot_wanted:
                self.screenshot_wanted = False
                self.save_screenshot()
            time.sleep(POLL_S)

    def save_screenshot(self):
        shot = self.page.call('Page.captureScreenshot', format='png')
        with open(self.args.screenshot, 'wb') as png:
            png.write(base64.b64decode(shot['data']))
        print(f'screenshot {self.args.screenshot}', flush=True)

    def close(self):
        if self.chromium.poll() is None:
            self.chromium.terminate()
            try:
                self.chromium.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.chromium.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--url', required=True)
    parser.add_argument('--read', choices=sorted(READERS), required=True)
    parser.add_argument('--work', required=True, help='directory for the profile and log')
    parser.add_argument('--click-robot', help='open this robot from its row first')
    parser.add_argument('--screenshot', default=os.devnull)
    parser.add_argument('--chromium', default=shutil.which('chromium'))
    args = parser.parse_args()
    if not args.chromium:
        print('page_watch: chromium not found', file=sys.stderr)
        return 2
    os.makedirs(args.work, exist_ok=True)
    watch = Watch(args)

    def want_screenshot(*_):
        watch.screenshot_wanted = True

    def end(*_):
        watch.ending = True
    signal.signal(signal.SIGUSR1, want_screenshot)
    signal.signal(signal.SIGTERM, end)
    try:
        watch.open()
        if args.click_robot:
            watch.click_robot(args.click_robot)
        watch.run()
    except browser.Failure as failure:
        print(f'page_watch: {failure}', file=sys.stderr, flush=True)
        return 1
    finally:
        watch.close()
    return 0


if __name__ == '__main__':
    sys.exit(main())
