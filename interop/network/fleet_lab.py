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

"""A fleet in the lab: robots' centres in namespaces on one segment, and what the operator sees.

The fleet test and the fleet benchmark share it. Robots are diagnosis
centres, each in a namespace of its own (/robot1, ...), on lab hosts joined
by one shared segment; the operator host watches them with `diagctl fleet`
(FleetTable, its --watch --json lines) and `diagctl dashboard --fleet` read
by headless Chromium (FleetPage, page_watch.py's lines). Everything runs in
DDS's default configuration: multicast discovery on the segment.
"""

import dataclasses
import json
import os
import shutil
import signal
import subprocess
from typing import Optional

from centre import Centre
import netlab
from netlab import poll

HERE = os.path.dirname(os.path.abspath(__file__))
PAGE_WATCH = os.path.join(HERE, 'page_watch.py')
# Node starts side by side on two busy cores; Chromium's start.
START_TIMEOUT_S = 90.0
COMMAND_TIMEOUT_S = 30.0
MODULE = 'chassis_driver'


@dataclasses.dataclass
class Robot:
    """One robot of the fleet: its centre's namespace, domain, host and build."""

    namespace: str
    domain: int
    host: netlab.Host
    build: object  # builds.Build
    centre: Optional[Centre] = None
    wire: Optional[netlab.Wire] = None

    @property
    def key(self):
        """How the fleet's JSON names a robot: (namespace, domain)."""
        return (self.namespace, self.domain)


def start_centres(robots, fault_ids, log_dir, fault_params=None):
    """Starts every robot's centre side by side, then waits until each has started."""
    for robot in robots:
        label = robot.namespace.strip('/').replace('/', '_')
        robot.centre = Centre(robot.host, robot.build, fault_ids,
                              robot.build.env(log_dir, domain=robot.domain),
                              label=label, namespace=robot.namespace, wait=False,
                              fault_params=fault_params)
    for robot in robots:
        robot.centre.wait_started(START_TIMEOUT_S)


def domains_arg(robots):
    return ','.join(str(d) for d in sorted({robot.domain for robot in robots}))


def has_fleet_command(host, build, env):
    """(True, '') when this diagctl has the fleet command, else (False, why not)."""
    status, out = host.run([build.diagctl, 'fleet', '--help'], env, 'fleet_help',
                           COMMAND_TIMEOUT_S)
    if status == 0:
        return True, ''
    first = out.strip().splitlines()[:1]
    return False, (f'{build.label} diagctl has no fleet command yet '
                   f'(`diagctl fleet --help` exited {status}: {first[0] if first else ""})')


def json_lines(output):
    """Every complete JSON document of a --json output, one per line (log lines skipped)."""
    documents = []
    for line in output.splitlines():
        if line.startswith('{') and line.endswith('}'):
            try:
                documents.append(json.loads(line))
            except json.JSONDecodeError:
                pass
    return documents


def robot_states(document):
    """{(namespace, domain): robot entry} of one fleet snapshot."""
    return {(entry['namespace'], entry['domain']): entry for entry in document['robots']}


def fleet_once(host, build, env, domains, settle_s=3):
    """`diagctl fleet --json` run to its end: its snapshot."""
    status, out = host.run([build.diagctl, 'fleet', '--domains', domains, '--json',
                            '--settle', str(settle_s)], env, f'fleet_once_{build.label}',
                           settle_s + COMMAND_TIMEOUT_S)
    if status != 0:
        raise AssertionError(f'{build.label} diagctl fleet --json exited {status}:\n{out}')
    documents = json_lines(out)
    if len(documents) != 1:
        raise AssertionError(f'diagctl fleet --json printed {len(documents)} documents:\n{out}')
    return documents[0]


class FleetTable:
    """`diagctl fleet --watch --json` on the operator host: its newest snapshot."""

    def __init__(self, host, build, env, domains):
        self.process = host.spawn([build.diagctl, 'fleet', '--domains', domains, '--watch',
                                   '--json'], env, 'fleet_watch')

    def snapshots(self):
        return json_lines(self.process.output())

    def states_of(self, key, since=0.0):
        """The robot's states in the snapshots from `since` (unix s) on, repeats folded."""
        return _folded([robot_states(snapshot).get(key, {}).get('state')
                        for snapshot in self.snapshots() if snapshot['time'] >= since])

    def latest(self):
        snapshots = self.snapshots()
        if not snapshots and not self.process.alive():
            raise AssertionError(f'diagctl fleet --watch ended:\n{self.process.output()}')
        return robot_states(snapshots[-1]) if snapshots else {}

    def wait_for(self, accept, what, timeout_s):
        """The newest {key: entry} once accept() holds for it."""
        return poll(lambda: _accepted(self.latest(), accept), f'table: {what}', timeout_s)

    def stop(self):
        return self.process.stop(signal.SIGINT)


class FleetDashboard:
    """`diagctl dashboard --fleet` on the operator host, and its address."""

    def __init__(self, host, build, env, domains):
        self.process = host.spawn([build.diagctl, 'dashboard', '--fleet', '--domains', domains,
                                   '--port', '0'], env, 'fleet_dashboard')
        first = self.process.wait_for_output(
            lambda out: 'http://' in out, 'the fleet dashboard\'s address', COMMAND_TIMEOUT_S)
        self.url = next(word for word in first.split() if word.startswith('http://'))


class FleetPage:
    """A dashboard page in Chromium on the operator host (page_watch.py): what it shows."""

    def __init__(self, host, url, read, work_dir, screenshot=os.devnull, click_robot=None):
        os.makedirs(work_dir, exist_ok=True)
        click = ['--click-robot', click_robot] if click_robot else []
        # The browser test's DevTools client needs the system Python's websocket.
        self.process = host.spawn(
            ['/usr/bin/python3', PAGE_WATCH, '--url', url, '--read', read, '--work', work_dir,
             '--screenshot', screenshot, *click], dict(os.environ, PYTHONPATH=HERE),
            f'page_{read}')
        self.screenshot_path = screenshot
        self._screenshots = 0
        loaded = f'clicked {click_robot}' if click_robot else 'page loaded'
        self.process.wait_for_output(lambda out: loaded in out, loaded, START_TIMEOUT_S)

    def seen(self):
        """[(unix time s, what the page showed)] in the order seen."""
        readings = []
        for line in self.process.output().splitlines():
            if line.startswith('seen '):
                _, when, shown = line.split(' ', 2)
                readings.append((float(when), json.loads(shown)))
        return readings

    def states_of(self, key, since=0.0):
        """The robot's states in the page's readings from `since` (unix s) on, repeats folded."""
        return _folded([_row_states(shown).get(key) for when, shown in self.seen()
                        if when >= since])

    def latest(self):
        readings = self.seen()
        if not readings and not self.process.alive():
            raise AssertionError(f'page_watch ended:\n{self.process.output()}')
        return readings[-1][1] if readings else None

    def rows(self):
        """{(namespace, domain): row} of the fleet page's newest reading."""
        return _rows(self.latest())

    def wait_for_rows(self, accept, what, timeout_s):
        return poll(lambda: _accepted(self.rows(), accept), f'page: {what}', timeout_s)

    def screenshot(self):
        """Saves the page as it is now; returns the path."""
        self._screenshots += 1
        wanted = self._screenshots
        self.process.send_signal(signal.SIGUSR1)
        self.process.wait_for_output(
            lambda out: out.count(f'screenshot {self.screenshot_path}') >= wanted,
            'the screenshot', COMMAND_TIMEOUT_S)
        return self.screenshot_path


def _rows(shown):
    return {(row['robot'], int(row['domain'])): row for row in shown or []}


def _row_states(shown):
    return {key: row['state'] for key, row in _rows(shown).items()}


def _folded(states):
    """States with consecutive repeats folded into one."""
    return [state for i, state in enumerate(states) if i == 0 or state != states[i - 1]]


def _accepted(value, accept):
    return value if value and accept(value) else None


def chromium_missing():
    """Why the page cannot be read here, or None."""
    if shutil.which('chromium') is None:
        return 'chromium not found (apt-get install chromium)'
    probe = subprocess.run(['/usr/bin/python3', '-c', 'import websocket'], capture_output=True)
    if probe.returncode != 0:
        return "the system Python lacks websocket (apt-get install python3-websocket)"
    return None
