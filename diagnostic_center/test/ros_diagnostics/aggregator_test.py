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
The ROS diagnostic_aggregator reads the diagnosis centre on the shipped analyzer configuration.

The centre (CENTRE, either build) runs on its example configuration; the genuine aggregator
on config/diagnostic_aggregator.yaml (AGGREGATOR_CONFIG). The test raises and clears faults as
a module would and reads /diagnostics_agg: the paths and levels of root causes and
consequences, OK after the clears, Stale once the centre is gone.
"""

import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from ament_index_python.packages import get_package_prefix
from corvanta_protocol.msg import DiagnosticEvent
from diagnostic_msgs.msg import DiagnosticArray
import rclpy
from rclpy.executors import SingleThreadedExecutor
from rclpy.qos import QoSProfile

# Generous: CI shares two cores between several test runs.
DEADLINE_S = 30.0
OK, WARN, ERROR, STALE = 0, 1, 2, 3
CENTRE_PATH = '/Robot/Diagnosis centre'


def level_of(status):
    return status.level if isinstance(status.level, int) else ord(status.level)


class AggregatorTest(unittest.TestCase):

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix='aggregator_')
        self.addCleanup(self.directory.cleanup)
        self.centre = self._start(
            'centre', os.environ['CENTRE'], '--params-file', os.environ['CENTRE_PARAMETERS'],
            '-p', 'fault_record_dir:=' + os.path.join(self.directory.name, 'records'))
        aggregator = os.path.join(
            get_package_prefix('diagnostic_aggregator'), 'lib', 'diagnostic_aggregator',
            'aggregator_node')
        self._start('aggregator', aggregator, '--params-file', os.environ['AGGREGATOR_CONFIG'])

        rclpy.init()
        self.addCleanup(rclpy.shutdown)
        self.node = rclpy.create_node('aggregator_test_module')
        self.events = self.node.create_publisher(
            DiagnosticEvent, 'chassis_driver_diag_topic', QoSProfile(depth=10))
        self.lock = threading.Lock()
        self.aggregate = {}
        self.node.create_subscription(
            DiagnosticArray, '/diagnostics_agg', self._on_aggregate, QoSProfile(depth=10))
        self.executor = SingleThreadedExecutor()
        self.executor.add_node(self.node)
        self.spinner = threading.Thread(target=self.executor.spin, daemon=True)
        self.spinner.start()
        self.addCleanup(self._stop_spinning)

    def _start(self, name, executable, *arguments):
        log = open(os.path.join(self.directory.name, name + '.log'), 'w')
        self.addCleanup(log.close)
        process = subprocess.Popen(
            [executable, '--ros-args', *arguments], stdout=log, stderr=subprocess.STDOUT,
            start_new_session=True)
        self.addCleanup(self._stop, process, name)
        return process

    def _stop(self, process, name):
        if process.poll() is None:
            process.send_signal(signal.SIGINT)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        with open(os.path.join(self.directory.name, name + '.log')) as log:
            sys.stderr.write(f'--- {name} log (last lines)\n' + ''.join(log.readlines()[-30:]))

    def _stop_spinning(self):
        self.executor.shutdown()
        self.spinner.join(timeout=5)

    def _on_aggregate(self, array):
        # Only the centre's part, by path: (level, message).
        view = {status.name: (level_of(status), status.message) for status in array.status
                if status.name.startswith(CENTRE_PATH)}
        with self.lock:
            self.aggregate = view

    def wait_for(self, what, condition):
        end = time.monotonic() + DEADLINE_S
        while time.monotonic() < end:
            with self.lock:
                if condition(self.aggregate):
                    return
            time.sleep(0.1)
        with self.lock:
            self.fail(f'{what}: not within {DEADLINE_S:.0f} s (last aggregate {self.aggregate})')

    def send(self, fault_id, status):
        event = DiagnosticEvent()
        event.fault_id = fault_id
        event.status = status
        event.event_msg = 'from the aggregator test'
        event.stamp = self.node.get_clock().now().to_msg()
        self.events.publish(event)

    def test_failures_levels_recovery_and_staleness(self):
        self.wait_for('the centre with no failure', lambda agg: agg.get(CENTRE_PATH) == (OK, 'OK'))
        end = time.monotonic() + DEADLINE_S
        while self.events.get_subscription_count() == 0:
            self.assertLess(time.monotonic(), end, 'the centre never subscribed')
            time.sleep(0.1)

        # 1002 first, then its root cause 1001: 1002 hangs below it.
        self.send(1002, DiagnosticEvent.STATUS_PRESENT)
        self.send(1001, DiagnosticEvent.STATUS_PRESENT)
        failing = {
            CENTRE_PATH: (ERROR, 'Error'),
            CENTRE_PATH + '/diagnostic_center': (ERROR, '1 root cause, 1 consequence'),
            CENTRE_PATH + '/1001': (ERROR, 'chassis motor bus lost'),
            CENTRE_PATH + '/1002': (WARN, 'chassis odometry stalled'),
        }
        self.wait_for('a root cause and its consequence', lambda agg: agg == failing)
        # Beyond the analyzer's timeout: the centre's repeats keep the failures fresh.
        time.sleep(4.0)
        with self.lock:
            self.assertEqual(self.aggregate, failing)

        self.send(1001, DiagnosticEvent.STATUS_PASSED)
        self.send(1002, DiagnosticEvent.STATUS_PASSED)
        self.wait_for('OK after the clears', lambda agg: agg == {
            CENTRE_PATH: (OK, 'OK'),
            CENTRE_PATH + '/diagnostic_center': (OK, 'no failure'),
        })

        self.centre.send_signal(signal.SIGINT)
        self.centre.wait(timeout=10)
        self.wait_for('Stale once the centre is gone',
                      lambda agg: agg.get(CENTRE_PATH) == (STALE, 'Stale'))


if __name__ == '__main__':
    unittest.main()
