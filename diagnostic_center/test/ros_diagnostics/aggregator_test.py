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
consequences, OK after the clears, Stale once the centre is gone. A second case runs two
centres in /robot1 and /robot2 with the aggregator on the fleet example
(config/diagnostic_aggregator_fleet.yaml, beside AGGREGATOR_CONFIG): each robot's failures
appear under its own path only.
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
FLEET_PATH = '/Fleet'


def level_of(status):
    return status.level if isinstance(status.level, int) else ord(status.level)


class AggregatorCase(unittest.TestCase):
    """Centres in NAMESPACES, the aggregator on CONFIG, the part of the aggregate under PATH."""

    NAMESPACES = ['/']
    CONFIG = os.environ['AGGREGATOR_CONFIG']
    PATH = CENTRE_PATH

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix='aggregator_')
        self.addCleanup(self.directory.cleanup)
        self.centres = {}
        for namespace in self.NAMESPACES:
            name = 'centre' + namespace.replace('/', '_')
            remap = ['-r', '__ns:=' + namespace] if namespace != '/' else []
            self.centres[namespace] = self._start(
                name, os.environ['CENTRE'], '--params-file', os.environ['CENTRE_PARAMETERS'],
                *remap, '-p', 'fault_record_dir:=' + os.path.join(self.directory.name, name))
        aggregator = os.path.join(
            get_package_prefix('diagnostic_aggregator'), 'lib', 'diagnostic_aggregator',
            'aggregator_node')
        self._start('aggregator', aggregator, '--params-file', self.CONFIG)

        rclpy.init()
        self.addCleanup(rclpy.shutdown)
        self.node = rclpy.create_node('aggregator_test_module')
        self.events = {
            namespace: self.node.create_publisher(
                DiagnosticEvent, namespace.rstrip('/') + '/chassis_driver_diag_topic',
                QoSProfile(depth=10))
            for namespace in self.NAMESPACES}
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
                if status.name.startswith(self.PATH)}
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

    def send(self, fault_id, status, namespace='/'):
        event = DiagnosticEvent()
        event.fault_id = fault_id
        event.status = status
        event.event_msg = 'from the aggregator test'
        event.stamp = self.node.get_clock().now().to_msg()
        self.events[namespace].publish(event)

    def wait_for_subscribers(self):
        end = time.monotonic() + DEADLINE_S
        for namespace, events in self.events.items():
            while events.get_subscription_count() == 0:
                self.assertLess(
                    time.monotonic(), end, f'the centre in {namespace} never subscribed')
                time.sleep(0.1)


class AggregatorTest(AggregatorCase):

    def test_failures_levels_recovery_and_staleness(self):
        self.wait_for('the centre with no failure', lambda agg: agg.get(CENTRE_PATH) == (OK, 'OK'))
        self.wait_for_subscribers()

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

        self.centres['/'].send_signal(signal.SIGINT)
        self.centres['/'].wait(timeout=10)
        self.wait_for('Stale once the centre is gone',
                      lambda agg: agg.get(CENTRE_PATH) == (STALE, 'Stale'))


class FleetAggregatorTest(AggregatorCase):

    NAMESPACES = ['/robot1', '/robot2']
    CONFIG = os.path.join(
        os.path.dirname(os.environ['AGGREGATOR_CONFIG']), 'diagnostic_aggregator_fleet.yaml')
    PATH = FLEET_PATH

    def test_each_robot_under_its_own_path(self):
        robot1, robot2 = FLEET_PATH + '/robot1', FLEET_PATH + '/robot2'
        quiet = {
            robot1: (OK, 'OK'), robot1 + '/diagnostic_center': (OK, 'no failure'),
            robot2: (OK, 'OK'), robot2 + '/diagnostic_center': (OK, 'no failure'),
        }
        self.wait_for('both centres with no failure',
                      lambda agg: {k: v for k, v in agg.items() if k != FLEET_PATH} == quiet)
        self.wait_for_subscribers()

        self.send(1001, DiagnosticEvent.STATUS_PRESENT, '/robot2')
        self.wait_for('robot2 failing alone', lambda agg: {
            k: v for k, v in agg.items() if k != FLEET_PATH} == {
                **quiet,
                robot2: (ERROR, 'Error'),
                robot2 + '/diagnostic_center': (ERROR, '1 root cause, 0 consequences'),
                robot2 + '/1001': (ERROR, 'chassis motor bus lost'),
        })

        self.centres['/robot1'].send_signal(signal.SIGINT)
        self.centres['/robot1'].wait(timeout=10)
        self.wait_for('robot1 Stale once its centre is gone, robot2 still failing',
                      lambda agg: agg.get(robot1) == (STALE, 'Stale')
                      and agg.get(robot2 + '/1001') == (ERROR, 'chassis motor bus lost'))


if __name__ == '__main__':
    unittest.main()
