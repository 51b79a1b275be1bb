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

"""Raises from the operator host reach the node whole and in order over a faulty link.

The link between the robot and the operator host goes through link_forwarder:
loss both ways with 40 +- 10 ms of delay, or a 5 s cut. A stream of raises
with distinct fault ids, at a rate DDS's reliability keeps up with, must
come out of the node's fault-record file without duplicates and in the order
sent; every raise either reached the node or is one the node counted lost
(its "module topic ... lost N events" warning). After the cut, the raises
sent once the link is back are answered again.

    python3 link_fault_test.py LinkFaultTest.test_<scenario>     (NODE_BUILD: layer or genuine)
"""

import collections
import os

import builds
from lab_case import LabCase
from lab_case import main
from link_faults import LinkFaults
from link_faults import run_stream

RAISES = 120
RATE_HZ = 10.0
DELAY = {'delay_ms': 40.0, 'jitter_ms': 10.0}
# Raises sent this long after the restore must be answered: time for DDS to
# find the link back and for the node's backlog of answers to drain.
RECOVERED_AFTER_S = 2.0


class LinkFaultTest(LabCase):

    def stream(self, faults):
        build = builds.by_label(os.environ.get('NODE_BUILD', 'layer'))
        result = run_stream(self.lab, build, faults, RAISES, RATE_HZ)
        print(f'{build.label} node: sent {len(result.sent)}, answered {len(result.answered)}, '
              f'recorded {len(result.recorded)}, counted lost {result.lost}; '
              f'forwarder {result.forwarder}')
        self.assertEqual(len(result.sent), RAISES, 'raise_stream sent the whole run')
        self.assertRecordedOnceInOrderOrCountedLost(result)
        return result

    def assertRecordedOnceInOrderOrCountedLost(self, result):
        twice = [i for i, n in collections.Counter(result.recorded).items() if n > 1]
        self.assertEqual(twice, [], 'recorded more than once')
        self.assertEqual(result.recorded, sorted(result.recorded), 'recorded out of order')
        self.assertEqual(len(result.sent) - len(result.recorded), result.lost,
                         'every raise recorded or counted lost by the node')

    def assertForwarderDid(self, result, counter):
        for direction in ('a_to_b', 'b_to_a'):
            self.assertGreater(result.forwarder[direction][counter], 0,
                               f'the forwarder {counter} no frame {direction}')

    def test_loss_10_percent(self):
        result = self.stream(LinkFaults(loss=0.1, **DELAY))
        self.assertForwarderDid(result, 'lost')

    def test_loss_30_percent(self):
        result = self.stream(LinkFaults(loss=0.3, **DELAY))
        self.assertForwarderDid(result, 'lost')

    def test_cut_for_5_s(self):
        result = self.stream(LinkFaults(cut_after_s=3.0, cut_for_s=5.0, **DELAY))
        self.assertForwarderDid(result, 'cut')
        recovered_from = result.restored_ns + int(RECOVERED_AFTER_S * 1e9)
        later = [i for i, sent in result.sent.items() if sent >= recovered_from]
        self.assertTrue(later, 'raises sent after the link came back')
        self.assertEqual([i for i in later if i not in result.answered], [],
                         'unanswered after the link came back')
        self.assertEqual([i for i in later if i not in result.recorded], [],
                         'not recorded after the link came back')


if __name__ == '__main__':
    main()
