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

"""Raise -> ExceptionHandle across a link with loss, delay and a cut: both builds of the node.

For each link condition, the layer-built and then the genuine-built node run
on the robot host of a fresh lab, behind link_forwarder, and the same
layer-built raise_stream raises BENCH_RAISES distinct faults at BENCH_RATE
from the operator host (interop/network/link_faults.py). Printed per run:
the latency from a raise to its ExceptionHandle on the operator host (p50,
p99, over the answered raises), raises unanswered, events the node counted
lost, raises missing from its records, and after the cut the time from the
link's restore to the first answer. Run through run.sh, as root.
"""

import os
import statistics
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..', 'interop', 'network'))

import builds  # noqa: E402
from link_faults import LinkFaults  # noqa: E402
from link_faults import run_stream  # noqa: E402
import netlab  # noqa: E402

DELAY = {'delay_ms': 40.0, 'jitter_ms': 10.0}
CONDITIONS = [
    ('0 % loss', LinkFaults()),
    ('10 % loss, 40+-10 ms', LinkFaults(loss=0.1, **DELAY)),
    ('30 % loss, 40+-10 ms', LinkFaults(loss=0.3, **DELAY)),
    ('5 s cut, 40+-10 ms', LinkFaults(cut_after_s=3.0, cut_for_s=5.0, **DELAY)),
]
COLUMNS = ['link', 'node', 'raises', 'unanswered', 'p50 ms', 'p99 ms', 'lost (node)',
           'not recorded', 'recovery s']


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def figures(name, label, faults, result):
    latencies_ms = [(result.answered[i] - sent) / 1e6 for i, sent in result.sent.items()
                    if i in result.answered]
    row = {'link': name, 'node': label, 'raises': len(result.sent),
           'unanswered': len(result.sent) - len(result.answered),
           'lost (node)': result.lost, 'not recorded': len(result.sent) - len(result.recorded),
           'p50 ms': '-', 'p99 ms': '-', 'recovery s': '-'}
    if faults.cut_after_s is None and latencies_ms:
        row['p50 ms'] = f'{statistics.median(latencies_ms):.1f}'
        row['p99 ms'] = f'{percentile(latencies_ms, 0.99):.1f}'
    if result.restored_ns is not None:
        after = [t for t in result.answered.values() if t > result.restored_ns]
        if after:
            row['recovery s'] = f'{(min(after) - result.restored_ns) / 1e9:.2f}'
    return row


def print_table(rows):
    widths = [max(len(column), *(len(str(row[column])) for row in rows)) for column in COLUMNS]
    print('  '.join(column.ljust(width) for column, width in zip(COLUMNS, widths)))
    for row in rows:
        print('  '.join(str(row[column]).ljust(width) for column, width in zip(COLUMNS, widths)))


def main():
    if os.geteuid() != 0:
        sys.exit('bench/network: needs root (network namespaces)')
    raises = int(os.environ.get('BENCH_RAISES', '300'))
    rate = float(os.environ.get('BENCH_RATE', '20'))
    print(f'{raises} raises at {rate:g}/s per run, operator side: layer-built raise_stream')
    rows = []
    for name, faults in CONDITIONS:
        for build in (builds.layer(), builds.genuine()):
            with tempfile.TemporaryDirectory(prefix='netlab_bench_') as directory:
                with netlab.Lab(directory) as lab:
                    result = run_stream(lab, build, faults, raises, rate)
            rows.append(figures(name, build.label, faults, result))
            print(f'  done: {name}, {build.label}', file=sys.stderr, flush=True)
    print_table(rows)


if __name__ == '__main__':
    main()
