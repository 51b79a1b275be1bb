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
`ros2 launch diagnostic_center diagnostic_center.launch.py`, ended by Ctrl-C.

The launch file starts the node on the example parameters, recording into a
directory of the test's own.

Ctrl-C in a terminal signals the whole foreground process group: `ros2 launch` and the
node both get SIGINT. Stopping cleanly then means: the node ends of itself, by the
SIGKILL it sends itself after flushing its records (exit code -9, nothing else), before
launch would escalate to SIGTERM; the fault records handed over before are in the
record file; `ros2 launch` exits with status 0.
"""

import glob
import os
import signal
import tempfile
import time
import unittest

from corvanta_protocol.msg import DiagnosticEvent
import launch
import launch.actions
import launch_testing
import launch_testing.actions
import launch_testing.asserts
import launch_testing.markers
import pytest
import rclpy
from rclpy.signals import SignalHandlerOptions

DEADLINE_S = 60.0
# A raise that reaches the node before its subscription has matched the publisher is lost.
RETRY_AFTER_S = 5.0
# `ros2 launch` prints its own and the node's lines, logs and all, on stdout.
STREAM = 'stdout'
RECORD_LINE = ('fault_id : 1001, fault_desc : chassis motor bus lost, '
               'status : fault, event_msg : bus off before ctrl-c')


@pytest.mark.launch_test
@launch_testing.markers.keep_alive  # the test itself ends `ros2 launch`
def generate_test_description():
    record_dir = tempfile.mkdtemp(prefix='diagnostic_center_launch_test_')
    # setsid: a process group of its own, as a terminal's foreground job has. Not
    # run in the build directory, where `ros2 launch` would take the executable
    # `diagnostic_center` for a launch file.
    ros2_launch = launch.actions.ExecuteProcess(
        cmd=['setsid', 'ros2', 'launch', 'diagnostic_center', 'diagnostic_center.launch.py',
             f'fault_record_dir:={record_dir}'],
        cwd=record_dir, output='screen')
    description = launch.LaunchDescription([
        ros2_launch, launch_testing.actions.ReadyToTest()])
    return description, {'ros2_launch': ros2_launch, 'record_dir': record_dir}


class TestCtrlC(unittest.TestCase):

    def test_node_runs_until_ctrl_c(self, proc_output, proc_info, ros2_launch):
        proc_output.assertWaitFor(
            'fault recorder file path', process=ros2_launch, timeout=DEADLINE_S, stream=STREAM)
        raise_until_logged(proc_output, ros2_launch)
        os.killpg(ros2_launch.process_details['pid'], signal.SIGINT)
        proc_info.assertWaitForShutdown(process=ros2_launch, timeout=DEADLINE_S)


def raise_until_logged(proc_output, ros2_launch):
    # The test's own process takes no part in the Ctrl-C.
    rclpy.init(signal_handler_options=SignalHandlerOptions.NO)
    try:
        node = rclpy.create_node('launch_test_module')
        publisher = node.create_publisher(DiagnosticEvent, 'chassis_driver_diag_topic', 10)
        event = DiagnosticEvent(fault_id=1001, status=1, event_msg='bus off before ctrl-c')
        event.stamp.sec = int(time.time())
        deadline = time.monotonic() + DEADLINE_S
        while publisher.get_subscription_count() == 0:
            assert time.monotonic() < deadline, 'the node never subscribed'
            time.sleep(0.05)
        while True:
            publisher.publish(event)
            try:
                proc_output.assertWaitFor(
                    'receive failure event : 1001', process=ros2_launch, timeout=RETRY_AFTER_S,
                    stream=STREAM)
                return
            except AssertionError:
                if time.monotonic() > deadline:
                    raise
    finally:
        rclpy.shutdown()


@launch_testing.post_shutdown_test()
class TestAfterCtrlC(unittest.TestCase):

    def test_launch_exits_with_status_0(self, proc_info, ros2_launch):
        launch_testing.asserts.assertExitCodes(proc_info, process=ros2_launch)

    def test_node_ended_itself_by_sigkill_without_escalation(self, proc_output, ros2_launch):
        text = ''.join(output.text.decode() for output in proc_output[ros2_launch])
        # Ctrl-C reaches the node twice (from the terminal's group and from
        # launch); when it dies at once, launch's asyncio child watcher at
        # times loses the status and says so ("Unknown child process pid N,
        # will report returncode 255"). Either way the node ended itself.
        self.assertRegex(
            text,
            r'process has died \[pid \d+, exit code -9, '
            r'|Unknown child process pid \d+, will report returncode 255')
        self.assertEqual(text.count('process has died'), 1, text)
        self.assertNotIn('escalating to', text)

    def test_records_handed_over_are_in_the_record_file(self, record_dir):
        files = glob.glob(os.path.join(record_dir, '*'))
        self.assertEqual(len(files), 1, files)
        with open(files[0]) as records:
            self.assertIn(RECORD_LINE, records.read())
