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

"""The node's end-to-end benchmarks on two builds of the same source, side by side.

Runs node_e2e_bench against the layer-built node and the node built on genuine
ROS 2 Humble in alternation (A B A B ..., BENCH_ROUNDS rounds, default 3), so
that both see the same minutes of this machine's drifting speed, and prints
the median of each figure for both builds and their ratio.

    python3 bench/node_e2e/side_by_side.py [build dir]

The build dir (default: build) must have been configured with
HUMBLE_WORKSPACE (bash scripts/test.sh does that), which generates
interop/genuine_diagnostic_center, the genuine node's launcher. The benchmark
process itself is layer-built in both cases; only the node differs.
Environment: BENCH_ROUNDS, IDLE_SECONDS (10), LATENCY_SAMPLES (300),
THROUGHPUT_SECONDS (3), ROS_DOMAIN_ID (98). FLOOD=1 and SOAK=1 add the load
runs to every round, as in run.sh (FLOOD_EVENTS, FLOOD_RATE, SOAK_SECONDS,
SOAK_RATE); a soak round takes its full duration for each build.
"""

import os
import re
import statistics
import subprocess
import sys

FIGURES = [
    # (key, label, unit, pattern, better)
    ('idle', 'idle CPU', '% of a core', r'idle_cpu: .*?: ([\d.]+) % of one core', 'lower'),
    ('wakeups', 'idle wake-ups', 'per s', r'idle_wakeups: ([\d.]+) per s', 'lower'),
    ('floor', 'idle floor: one bare wake-up per 10 ms', '% of a core',
     r'idle_floor: .*?: ([\d.]+) %', 'lower'),
    ('rss_idle', 'max RSS, idle', 'MiB', r'max_rss: idle: ([\d.]+) MiB', 'lower'),
    ('p50', 'raise -> ExceptionHandle p50', 'ms', r'latency: .*p50 ([\d.]+) ms', 'lower'),
    ('p99', 'raise -> ExceptionHandle p99', 'ms', r'latency: .*p99 ([\d.]+) ms', 'lower'),
    ('max', 'raise -> ExceptionHandle max', 'ms', r'latency: .*max ([\d.]+) ms', 'lower'),
    ('rate', 'highest lossless event rate', 'events/s',
     r'highest sustained rate .*?: (\d+) events/s', 'higher'),
    ('rss_load', 'max RSS, after throughput', 'MiB', r'max_rss: after throughput: ([\d.]+) MiB',
     'lower'),
]
for _run in ('flood', 'soak'):
    FIGURES += [
        (f'{_run}_lost', f'{_run}: events lost', 'events', rf'{_run}: received .*: lost (\d+)',
         'lower'),
        (f'{_run}_unanswered', f'{_run}: raises unanswered', 'raises',
         rf'{_run}: handled raises .*unanswered (\d+)', 'lower'),
        (f'{_run}_surplus', f'{_run}: answers beyond one per raise', 'answers',
         rf'{_run}: handled raises .*answered more than once (\d+)', 'lower'),
        (f'{_run}_cpu', f'{_run}: node CPU', '% of a core',
         rf'{_run}: node CPU .*?, (\d+) % of one core', 'lower'),
        (f'{_run}_peak', f'{_run}: peak RSS', 'MiB',
         rf'{_run}: node RSS before .*peak ([\d.]+) MiB', 'lower'),
        (f'{_run}_plateau', f'{_run}: plateau RSS', 'MiB',
         rf'{_run}: node RSS plateau ([\d.]+) MiB', 'lower'),
    ]


def run_bench(bench, node, mode, *arguments):
    env = dict(os.environ, DIAGNOSTIC_CENTER_EXECUTABLE=node)
    env.setdefault('ROS_DOMAIN_ID', '98')
    done = subprocess.run([bench, mode, *arguments], env=env, capture_output=True, text=True,
                          timeout=900 + float(os.environ.get('SOAK_SECONDS', '600')))
    if done.returncode != 0:
        sys.stderr.write(done.stdout + done.stderr)
        raise SystemExit(f'{bench} {mode} failed for {node}')
    return done.stdout


def parse(output):
    figures = {}
    for key, _, _, pattern, _ in FIGURES:
        match = re.search(pattern, output)
        if match:
            figures[key] = float(match.group(1))
    return figures


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else 'build'
    bench = os.path.join(build, 'bench/node_e2e/node_e2e_bench')
    nodes = {
        'layer': os.path.abspath(os.path.join(build, 'diagnostic_center/diagnostic_center')),
        'genuine': os.path.abspath(os.path.join(build, 'interop/genuine_diagnostic_center')),
    }
    for path in [bench] + list(nodes.values()):
        if not os.access(path, os.X_OK):
            raise SystemExit(f'missing {path}: build with bash scripts/test.sh (or configure '
                             'with -DHUMBLE_WORKSPACE=... -DHUMBLE_ENV_SH=...) first')
    rounds = int(os.environ.get('BENCH_ROUNDS', '3'))
    modes = [('idle', os.environ.get('IDLE_SECONDS', '10')),
             ('latency', os.environ.get('LATENCY_SAMPLES', '300')),
             ('throughput', os.environ.get('THROUGHPUT_SECONDS', '3'))]
    if os.environ.get('FLOOD') == '1':
        modes.append(('flood', os.environ.get('FLOOD_EVENTS', '1000000'),
                      os.environ.get('FLOOD_RATE', '40000')))
    if os.environ.get('SOAK') == '1':
        modes.append(('soak', os.environ.get('SOAK_SECONDS', '600'),
                      os.environ.get('SOAK_RATE', '1000')))
    results = {name: {key: [] for key, *_ in FIGURES} for name in nodes}
    for round_index in range(rounds):
        for name, node in nodes.items():
            output = ''.join(run_bench(bench, node, *mode) for mode in modes)
            figures = parse(output)
            print(f'round {round_index + 1} {name:7}: ' +
                  ', '.join(f'{key} {value:g}' for key, value in figures.items()), flush=True)
            for key, value in figures.items():
                results[name][key].append(value)

    print(f'\nmedians of {rounds} rounds (A B alternation)')
    print(f'| figure | unit | layer | genuine | layer / genuine |')
    print('|---|---|---|---|---|')
    for key, label, unit, _, better in FIGURES:
        layer = results['layer'][key]
        genuine = results['genuine'][key]
        if not layer or not genuine:
            continue
        a, b = statistics.median(layer), statistics.median(genuine)
        ratio = f'{a / b:.2f} ({better} is better)' if b else 'n/a'
        print(f'| {label} | {unit} | {a:g} | {b:g} | {ratio} |')


if __name__ == '__main__':
    main()
