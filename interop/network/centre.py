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

"""The diagnosis centre on a lab host: its fault table, its start, its records and its losses."""

import json
import os
import re

from netlab import poll

NODE = '/diagnostic_center'
# Generous: a node start on two busy cores, Python start-ups of the ros2 CLI.
START_TIMEOUT_S = 60.0
RECORD_LINE = re.compile(
    r'^\S+ fault_id : (-?\d+), fault_desc : .*?, status : (fault|passed), event_msg : (.*)$')
# What the node logs when events of a module topic never reached it.
LOST_LINE = re.compile(r'module topic (\S+) lost (\d+) events \((\d+) since start\)')


def write_fault_table(path, fault_ids, record_dir, namespace='/', fault_params=None):
    """A parameter file configuring every id as a fault, recorded every second.

    Each id is its own root cause unless fault_params ({name: value}, e.g.
    {'1002_root_cause': 1001}) says otherwise.
    """
    # A node in a namespace matches only a key naming its full name.
    key = NODE.lstrip('/') if namespace == '/' else f'{namespace}{NODE}'
    with open(path, 'w') as params:
        params.write(f'{key}:\n  ros__parameters:\n')
        params.write(f"    diag_event_list: [{', '.join(map(str, fault_ids))}]\n")
        params.write(f"    fault_record_dir: '{record_dir}'\n")
        params.write('    fault_record_refresh_space: 1\n')
        for name, value in (fault_params or {}).items():
            params.write(f'    {name}: {json.dumps(value)}\n')


class Centre:
    """The node of one build on a host, started on a fault table of its own.

    Started in `namespace` when one is given; with wait=False the caller
    calls wait_started() later, so that many centres start side by side.
    """

    def __init__(self, host, build, fault_ids, env, label='node', ros_args=(), namespace='/',
                 wait=True, fault_params=None):
        directory = host.lab.directory
        self.build = build
        self.namespace = namespace
        self.record_dir = os.path.join(directory, f'{label}_records')
        params = os.path.join(directory, f'{label}_params.yaml')
        write_fault_table(params, fault_ids, self.record_dir, namespace, fault_params)
        if namespace != '/':
            ros_args = ['-r', f'__ns:={namespace}', *ros_args]
        self.process = host.spawn(
            [build.node, '--ros-args', '--params-file', params, *ros_args], env, label)
        if wait:
            self.wait_started()

    def wait_started(self, timeout_s=START_TIMEOUT_S):
        self.process.wait_for_output(
            lambda out: 'fault recorder file path' in out,
            f'{self.build.label} node {self.namespace} started', timeout_s)

    def log(self):
        return self.process.output()

    def records(self):
        """(fault_id, status, event_msg) of every record line, in the order written."""
        records = []
        if not os.path.isdir(self.record_dir):
            return records
        for name in sorted(os.listdir(self.record_dir)):
            with open(os.path.join(self.record_dir, name), errors='replace') as lines:
                for line in lines:
                    match = RECORD_LINE.match(line.rstrip('\n'))
                    if match:
                        records.append((int(match[1]), match[2], match[3]))
        return records

    def wait_for_record(self, fault_id, timeout_s):
        """Waits until the record of fault_id is written (the node writes every second)."""
        poll(lambda: any(record[0] == fault_id for record in self.records()),
             f'a record of fault {fault_id}', timeout_s)

    def lost_events(self):
        """{module topic (no leading slash): events counted lost}; none logged is none lost."""
        return lost_events(self.log())

    def stop(self):
        """SIGTERM: the node writes the records it was handed, then kills itself."""
        return self.process.stop()


def lost_events(log):
    """{topic without its leading slash: the last count since start} of a node's log."""
    totals = {}
    for topic, _, since_start in LOST_LINE.findall(log):
        topic = topic.lstrip('/')
        totals[topic] = max(totals.get(topic, 0), int(since_start))
    return totals
