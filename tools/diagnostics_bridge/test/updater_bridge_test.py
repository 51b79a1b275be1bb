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
Drivers that report through diagnostic_updater feed the diagnosis centre through the bridge.

Two updater nodes (the genuine Python diagnostic_updater) change their levels; the centre's
exception handles, diagnosis tree and fault records follow, with the root causes its
configuration gives. The centre and the bridge are the executables named by CENTRE and BRIDGE
(either build); this process runs on genuine rclpy.
"""

import glob
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from corvanta_protocol.msg import DiagnosisTree, ExceptionHandle
from diagnostic_msgs.msg import DiagnosticStatus
import diagnostic_updater
import rclpy
from rclpy.executors import SingleThreadedExecutor
from rclpy.qos import DurabilityPolicy, QoSProfile, ReliabilityPolicy

# Generous: CI shares two cores between several test runs.
DEADLINE_S = 30.0

CENTRE_PARAMETERS = """\
/**/diagnostic_center:
  ros__parameters:
    diag_event_list: [3101, 3102]
    3101_description: "drive motor over temperature"
    3102_description: "lidar scan rate low"
    3102_root_cause: 3101
    3102_root_cause_time_dis: 600000
    fault_record_refresh_space: 1
    fault_record_dir: "{record_dir}"
"""

MAPPINGS = """\
mappings:
  - fault_id: 3101
    topic: chassis_driver_diag_topic
    name: "motor_driver: Motor temperature"
    hardware_id_pattern: "motor_(left|right)"
  - fault_id: 3102
    topic: sensor_proxy_diag_topic
    name_pattern: "lidar_driver: .* scan rate"
    warn: raise
"""


class Updater:
    """A driver node whose one diagnostic task reports the level it is given."""

    def __init__(self, node_name, task, hardware_id):
        self.node = rclpy.create_node(node_name)
        self.level = DiagnosticStatus.OK
        self.message = 'fine'
        self.updater = diagnostic_updater.Updater(self.node, period=0.5)
        self.updater.setHardwareID(hardware_id)
        self.updater.add(task, self._report)

    def _report(self, stat):
        stat.summary(self.level, self.message)
        return stat

    def report(self, level, message):
        self.level = level
        self.message = message
        self.updater.force_update()


class UpdaterBridgeTest(unittest.TestCase):

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix='updater_bridge_')
        self.addCleanup(self.directory.cleanup)
        work = self.directory.name
        self.record_dir = os.path.join(work, 'records')
        parameters = os.path.join(work, 'centre.yaml')
        with open(parameters, 'w') as out:
            out.write(CENTRE_PARAMETERS.format(record_dir=self.record_dir))
        mappings = os.path.join(work, 'mappings.yaml')
        with open(mappings, 'w') as out:
            out.write(MAPPINGS)
        self.centre = self._start('centre', os.environ['CENTRE'], '--params-file', parameters)
        self.bridge = self._start(
            'bridge', os.environ['BRIDGE'], '-p', f'mapping_file:={mappings}')

        rclpy.init()
        self.addCleanup(rclpy.shutdown)
        self.motor = Updater('motor_driver', 'Motor temperature', 'motor_left')
        self.lidar = Updater('lidar_driver', 'front scan rate', 'lidar_front')
        self.observer = rclpy.create_node('updater_bridge_observer')
        self.handles = []
        self.tree = None
        self.lock = threading.Lock()
        self.observer.create_subscription(
            ExceptionHandle, 'exception_handle', self._on_handle, QoSProfile(depth=10))
        self.observer.create_subscription(
            DiagnosisTree, 'diagnosis_tree', self._on_tree,
            QoSProfile(depth=1, reliability=ReliabilityPolicy.RELIABLE,
                       durability=DurabilityPolicy.TRANSIENT_LOCAL))
        self.executor = SingleThreadedExecutor()
        for node in (self.motor.node, self.lidar.node, self.observer):
            self.executor.add_node(node)
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
            sys.stderr.write(f'--- {name} log\n{log.read()}')

    def _stop_spinning(self):
        self.executor.shutdown()
        self.spinner.join(timeout=5)

    def _on_handle(self, message):
        with self.lock:
            self.handles.append(message.fault_id)

    def _on_tree(self, message):
        with self.lock:
            self.tree = {entry.fault_id: entry.parent_id for entry in message.entries}

    def wait_for(self, what, condition):
        end = time.monotonic() + DEADLINE_S
        while time.monotonic() < end:
            with self.lock:
                if condition():
                    return
            for process, name in ((self.centre, 'centre'), (self.bridge, 'bridge')):
                self.assertIsNone(process.poll(), f'the {name} exited')
            time.sleep(0.1)
        with self.lock:
            self.fail(f'{what}: not within {DEADLINE_S:.0f} s '
                      f'(exception handles {self.handles}, tree {self.tree})')

    def records(self):
        """Return the fault id, status word and message of every record line so far."""
        lines = []
        for path in sorted(glob.glob(os.path.join(self.record_dir, '*'))):
            with open(path) as text:
                for line in text:
                    fault = line.split(' fault_id : ', 1)[1].split(',', 1)[0]
                    status = line.split(', status : ', 1)[1].split(',', 1)[0]
                    message = line.rstrip('\n').split(', event_msg : ', 1)[1]
                    lines.append((int(fault), status, message))
        return lines

    def test_the_centre_follows_the_updaters(self):
        # Both drivers are fine: the bridge tells the centre so once it is there.
        self.wait_for('the first states recorded', lambda: len(self.records()) >= 2)
        self.wait_for('the tree', lambda: self.tree == {})

        self.motor.report(DiagnosticStatus.ERROR, '96 C')
        self.wait_for('3101 announced', lambda: self.handles == [3101])
        self.wait_for('3101 a root cause', lambda: self.tree == {3101: 3101})
        # An unchanged status repeats on every update: no new event.
        for _ in range(4):
            self.motor.report(DiagnosticStatus.ERROR, '97 C')
            time.sleep(0.3)

        self.lidar.report(DiagnosticStatus.WARN, '6 Hz')
        self.wait_for('3102 below its root cause', lambda: self.tree == {3101: 3101, 3102: 3101})
        with self.lock:
            self.assertEqual(self.handles, [3101, 3102], 'one exception handle per raise')

        self.motor.report(DiagnosticStatus.OK, '60 C')
        self.wait_for('3102 the root cause left', lambda: self.tree == {3102: 3102})
        self.lidar.report(DiagnosticStatus.OK, '10 Hz')
        self.wait_for('nothing failing', lambda: self.tree == {})

        self.wait_for('every event recorded', lambda: len(self.records()) == 6)
        by_fault = {3101: [], 3102: []}
        for fault, status, message in self.records():
            # The first state's message is the updater's start-up text or its first report.
            if not by_fault[fault]:
                message = message.split(']: ')[0] + ']'
            by_fault[fault].append((status, message))
        self.assertEqual(by_fault[3101], [
            ('passed', 'motor_driver: Motor temperature [OK]'),
            ('fault', 'motor_driver: Motor temperature [ERROR]: 96 C'),
            ('passed', 'motor_driver: Motor temperature [OK]: 60 C'),
        ])
        self.assertEqual(by_fault[3102], [
            ('passed', 'lidar_driver: front scan rate [OK]'),
            ('fault', 'lidar_driver: front scan rate [WARN]: 6 Hz'),
            ('passed', 'lidar_driver: front scan rate [OK]: 10 Hz'),
        ])
        with self.lock:
            self.assertEqual(self.handles, [3101, 3102])


if __name__ == '__main__':
    unittest.main()
