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

"""A stream of raises from the operator host to the node on the robot, through a faulty link.

The robot and the operator host are joined through a wire namespace where
link_forwarder loses and delays frames and may cut the link for a while.
The node gets a fault table of its own (the probe id and one id per raise);
raise_stream raises every id once, at a steady rate, and times the answers.
What comes back, StreamResult, holds everything the tests check and the
benchmark prints: when each raise went out and was answered, the order in
which the node recorded them, what it counted lost, and what the forwarder did.
"""

import dataclasses
import time
from typing import Optional

import builds
from centre import Centre

FIRST_ID = 10000
MODULE_TOPIC = 'chassis_driver_diag_topic'
# The start: two node starts, discovery through a slow link, the probe's answer.
READY_TIMEOUT_S = 90.0
# After the last raise: how long raise_stream waits for the answers, and how
# long the node may take to write the last records.
ANSWER_WAIT_S = 5.0
RECORD_WAIT_S = 20.0


@dataclasses.dataclass(frozen=True)
class LinkFaults:
    """What the forwarder does to the link: loss both ways, delay +- jitter, one cut."""

    loss: float = 0.0
    delay_ms: float = 0.0
    jitter_ms: float = 0.0
    cut_after_s: Optional[float] = None  # after the stream's start
    cut_for_s: float = 0.0

    def forwarder_args(self):
        return ['--loss', str(self.loss), '--delay-ms', str(self.delay_ms),
                '--jitter-ms', str(self.jitter_ms)]


@dataclasses.dataclass
class StreamResult:
    sent: dict  # fault id -> wall-clock ns it was raised
    answered: dict  # fault id -> wall-clock ns its first ExceptionHandle came
    recorded: list  # the run's fault ids in the order the node recorded them
    lost: int  # events of the stream's topic the node counted lost
    forwarder: dict  # link_forwarder's counters per direction
    restored_ns: Optional[int]  # when the cut ended


def parse_stream_output(output):
    """raise_stream's lines: ({id: sent ns}, {id: answered ns})."""
    sent, answered = {}, {}
    for line in output.splitlines():
        fields = line.split()
        if len(fields) == 4 and fields[0] == 'raise':
            fault_id = int(fields[1])
            sent[fault_id] = int(fields[2])
            if fields[3] != '-':
                answered[fault_id] = int(fields[3])
    return sent, answered


def run_stream(lab, node_build, faults, count, rate_hz):
    """Runs one stream on a fresh pair of hosts of `lab`; the lab's close() removes them."""
    robot, operator = lab.host('robot'), lab.host('operator')
    wire = lab.join_through_wire(robot, operator, builds.link_forwarder(),
                                 faults.forwarder_args())
    log_dir = f'{lab.directory}/ros_log'
    ids = list(range(FIRST_ID, FIRST_ID + count))
    centre = Centre(robot, node_build, [FIRST_ID - 1, *ids], node_build.env(log_dir))
    stream = operator.spawn(
        [builds.raise_stream(), '--first-id', str(FIRST_ID), '--count', str(count),
         '--rate', str(rate_hz), '--topic', MODULE_TOPIC, '--answer-wait', str(ANSWER_WAIT_S)],
        builds.layer().env(log_dir), 'raise_stream')
    stream.wait_for_output(lambda out: 'ready' in out.split(), 'raise_stream ready',
                           READY_TIMEOUT_S)
    restored_ns = cut_once(wire, faults) if faults.cut_after_s is not None else None

    run_s = count / rate_hz + ANSWER_WAIT_S + 30.0
    if stream.wait(run_s) is None:
        raise AssertionError(f'raise_stream still running after {run_s:.0f} s')
    sent, answered = parse_stream_output(stream.output())
    # The last raise recorded, or given up on: the checks then tell what is missing.
    try:
        centre.wait_for_record(ids[-1], RECORD_WAIT_S)
    except AssertionError:
        pass
    centre.stop()
    recorded = [record[0] for record in centre.records() if record[0] in sent]
    lost = centre.lost_events().get(MODULE_TOPIC, 0)
    return StreamResult(sent, answered, recorded, lost, wire.counters(), restored_ns)


def cut_once(wire, faults):
    """Cuts the link cut_after_s into the stream for cut_for_s; returns when it came back."""
    time.sleep(faults.cut_after_s)
    wire.cut()
    time.sleep(faults.cut_for_s)
    # Taken before the signal: the forwarder acts on it at once, while its
    # confirmation is only read at the next poll.
    restored_ns = time.time_ns()
    wire.restore()
    return restored_ns
