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

"""Fifty robots watched from one operator host: what diagctl fleet and its page cost and lag.

BENCH_HOSTS lab hosts (5) on one segment run BENCH_PER_HOST (10) layer-built
centres each, /robot01 on, domain 0; the operator host runs
`diagctl fleet --watch --json` and `diagctl dashboard --fleet`, whose page
headless Chromium reads (interop/network/fleet_lab.py). Printed, beside
their aims (never asserted): the centres' start, the time until every robot
shows in the table and in the page, the fleet process's idle CPU and RSS,
and the latency from a raise to the table and to the page (p50, p99) over
BENCH_RAISERS (10) robots raising BENCH_RAISES_EACH (10) faults each, one
every 2 s, longer than the table's period, so that each raise is the newest
for a while. A raise is stamped by raise_stream as it is sent; a table line
by its own "time"; the page by when page_watch.py saw its DOM change (read
every 50 ms). Beside them, raise -> ExceptionHandle of the same raises: the
lab's own path at this size.

Until diagctl has the fleet command, only the centres' start and
raise -> ExceptionHandle are measured and the fleet figures are reported as
not measured, saying why. Run through run.sh, as root.
"""

import os
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'interop', 'network'))

import builds  # noqa: E402
from fleet_lab import chromium_missing  # noqa: E402
from fleet_lab import FleetDashboard  # noqa: E402
from fleet_lab import FleetPage  # noqa: E402
from fleet_lab import FleetTable  # noqa: E402
from fleet_lab import has_fleet_command  # noqa: E402
from fleet_lab import json_lines  # noqa: E402
from fleet_lab import Robot  # noqa: E402
from fleet_lab import robot_states  # noqa: E402
from fleet_lab import start_centres  # noqa: E402
from link_faults import parse_stream_output  # noqa: E402
import netlab  # noqa: E402

HOSTS = int(os.environ.get('BENCH_HOSTS', '5'))
PER_HOST = int(os.environ.get('BENCH_PER_HOST', '10'))
RAISERS = int(os.environ.get('BENCH_RAISERS', '10'))
RAISES_EACH = int(os.environ.get('BENCH_RAISES_EACH', '10'))
RAISE_RATE_HZ = 0.5
IDLE_S = float(os.environ.get('BENCH_IDLE_S', '20'))
PROBE_ID, FIRST_ID = 2999, 3000
VISIBLE_TIMEOUT_S = 120.0
CLOCK_TICKS = os.sysconf('SC_CLK_TCK')


def aim(text):
    return f'(aim: {text})'


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def cpu_seconds(pid):
    with open(f'/proc/{pid}/stat') as stat:
        fields = stat.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime + stime


def memory_kib(pid):
    """{'VmRSS': kiB, 'VmHWM': kiB (peak RSS)} of a process."""
    with open(f'/proc/{pid}/status') as status:
        return {line.split(':')[0]: int(line.split()[1]) for line in status
                if line.startswith(('VmRSS:', 'VmHWM:'))}


def make_fleet(lab, log_dir):
    segment = lab.segment('floor')
    operator = lab.host('operator')
    segment.attach(operator)
    layer = builds.layer()
    robots = []
    for host_number in range(1, HOSTS + 1):
        host = lab.host(f'rack{host_number}')
        segment.attach(host)
        for _ in range(PER_HOST):
            robots.append(Robot(f'/robot{len(robots) + 1:02d}', 0, host, layer))
    ids = [PROBE_ID, *range(FIRST_ID, FIRST_ID + RAISES_EACH)]
    started = time.monotonic()
    start_centres(robots, ids, log_dir)
    print(f'centres: {len(robots)} on {HOSTS} hosts, all started in '
          f'{time.monotonic() - started:.1f} s', flush=True)
    return operator, layer, robots


def all_visible(keys):
    return lambda seen: keys <= set(seen) and all(
        seen[key]['state'] == 'ok' for key in keys)


def time_until_visible(view, keys, started):
    wait = view.wait_for if isinstance(view, FleetTable) else view.wait_for_rows
    try:
        wait(all_visible(keys), 'every robot ok', VISIBLE_TIMEOUT_S)
    except AssertionError as missing:
        return f'not within {VISIBLE_TIMEOUT_S:.0f} s ({missing})'
    return f'{time.monotonic() - started:.1f} s'


def idle_figures(pid):
    before = cpu_seconds(pid)
    time.sleep(IDLE_S)
    busy = cpu_seconds(pid) - before
    memory = memory_kib(pid)
    return (f'{100.0 * busy / IDLE_S:.1f} % of a core over {IDLE_S:.0f} s {aim("under 5 %")}; '
            f'RSS idle {memory["VmRSS"] / 1024:.1f} MiB, peak {memory["VmHWM"] / 1024:.1f} MiB '
            f'{aim("under 100 MB idle")}')


def run_raises(operator, layer, robots, log_dir):
    """RAISERS robots raise at once: ({(namespace, id): sent unix s}, {...: answered unix s})."""
    raisers = robots[::max(1, len(robots) // RAISERS)][:RAISERS]
    streams = [(robot, operator.spawn(
        [builds.raise_stream(), '--namespace', robot.namespace, '--first-id', str(FIRST_ID),
         '--count', str(RAISES_EACH), '--probe-id', str(PROBE_ID), '--rate', str(RAISE_RATE_HZ),
         '--answer-wait', '5'], layer.env(log_dir), 'raise_stream')) for robot in raisers]
    sent, answered = {}, {}
    for robot, stream in streams:
        if stream.wait(VISIBLE_TIMEOUT_S + RAISES_EACH / RAISE_RATE_HZ) is None:
            raise AssertionError(f'raise_stream of {robot.namespace} still running')
        sent_ns, answered_ns = parse_stream_output(stream.output())
        sent.update({(robot.namespace, i): ns / 1e9 for i, ns in sent_ns.items()})
        answered.update({(robot.namespace, i): ns / 1e9 for i, ns in answered_ns.items()})
    return sent, answered


def table_seen(table):
    """{(namespace, newest raise id): unix s of the first line showing it}."""
    seen = {}
    for document in json_lines(table.process.output()):
        for key, entry in robot_states(document).items():
            newest = entry.get('newest_raise')
            if newest:
                seen.setdefault((key[0], newest['fault_id']), document['time'])
    return seen


def page_seen(page):
    seen = {}
    for when, rows in page.seen():
        for row in rows or []:
            for fault_id in range(FIRST_ID, FIRST_ID + RAISES_EACH):
                if str(fault_id) in row['text']:
                    seen.setdefault((row['robot'], fault_id), when)
    return seen


def latency_line(name, sent, seen, aim_text='p99 under 500 ms'):
    latencies_ms = [(seen[key] - at) * 1000.0 for key, at in sent.items() if key in seen]
    if not latencies_ms:
        return f'{name}: no raise seen of {len(sent)}'
    line = (f'{name}: {len(latencies_ms)} of {len(sent)} raises seen, '
            f'p50 {statistics.median(latencies_ms):.0f} ms, '
            f'p99 {percentile(latencies_ms, 0.99):.0f} ms')
    return f'{line} {aim(aim_text)}' if aim_text else line


def measure_fleet(lab, operator, layer, robots, log_dir):
    env = layer.env(log_dir)
    keys = {robot.key for robot in robots}
    started = time.monotonic()
    table = FleetTable(operator, layer, env, '0')
    print(f'table: all {len(robots)} ok after {time_until_visible(table, keys, started)} '
          f'{aim("within 10 s")}', flush=True)
    page = None
    missing = chromium_missing()
    if missing:
        print(f'page: not measured: {missing}')
    else:
        started = time.monotonic()
        dashboard = FleetDashboard(operator, layer, env, '0')
        page = FleetPage(operator, dashboard.url, 'fleet', os.path.join(lab.directory, 'page'))
        print(f'page: all {len(robots)} ok after {time_until_visible(page, keys, started)} '
              f'(Chromium\'s start included) {aim("within 10 s")}', flush=True)
    print(f'diagctl fleet --watch, idle: {idle_figures(table.process.pid)}', flush=True)
    if page is not None:
        print(f'diagctl dashboard --fleet, idle: {idle_figures(dashboard.process.pid)}')
    sent, answered = run_raises(operator, layer, robots, log_dir)
    time.sleep(3.0)  # the last raises reach the views
    print(latency_line('raise -> ExceptionHandle', sent, answered, aim_text=None))
    print(latency_line('raise -> table', sent, table_seen(table)))
    if page is not None:
        print(latency_line('raise -> page', sent, page_seen(page)))
    memory = memory_kib(table.process.pid)
    print(f'diagctl fleet --watch, after the raises: RSS {memory["VmRSS"] / 1024:.1f} MiB, '
          f'peak {memory["VmHWM"] / 1024:.1f} MiB')


def main():
    netlab.require_lab()
    directory = tempfile.mkdtemp(prefix='fleet_bench_')
    log_dir = os.path.join(directory, 'ros_log')
    with netlab.Lab(directory) as lab:
        operator, layer, robots = make_fleet(lab, log_dir)
        available, why_not = has_fleet_command(operator, layer, layer.env(log_dir))
        if available:
            measure_fleet(lab, operator, layer, robots, log_dir)
        else:
            # The lab's own raise path at this size, the fleet views' reference.
            sent, answered = run_raises(operator, layer, robots, log_dir)
            print(latency_line('raise -> ExceptionHandle', sent, answered, aim_text=None))
            print(f'fleet figures: not measured: {why_not}')
    print(f'logs: {directory}')


if __name__ == '__main__':
    main()
