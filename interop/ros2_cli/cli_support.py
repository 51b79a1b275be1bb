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

"""Processes for the ros2 command-line interop tests: the node under test, ros2 commands, polling.

Runs inside the genuine Humble environment (in_humble): `ros2` is the genuine command line.
"""

import os
import signal
import subprocess
import tempfile
import time

# Generous: CI shares two cores between several test runs.
DEADLINE_S = 60.0
# One command may hang on a lost request (`service call` waits for its answer without end).
COMMAND_DEADLINE_S = 20.0
POLL_INTERVAL_S = 0.2


def cli_env():
    env = dict(os.environ)
    env['PYTHONUNBUFFERED'] = '1'  # echo output reaches the pipe as it is printed
    return env


def ros2(*args):
    """Runs `ros2 <args>` to its end: (exit status, stdout, stderr); status None if it hung."""
    try:
        done = subprocess.run(
            ['ros2', *args], capture_output=True, text=True, timeout=COMMAND_DEADLINE_S,
            env=cli_env())
    except subprocess.TimeoutExpired as hung:
        return None, _text(hung.stdout), _text(hung.stderr)
    return done.returncode, done.stdout, done.stderr


def _text(output):
    if isinstance(output, bytes):
        return output.decode(errors='replace')
    return output or ''


def poll(attempt, what, deadline_s=DEADLINE_S):
    """Calls attempt() until it returns something true, and returns that.

    Fails once the deadline has passed."""
    end = time.monotonic() + deadline_s
    last = None
    while True:
        last = attempt()
        if last:
            return last
        if time.monotonic() > end:
            raise AssertionError(f'{what}: not within {deadline_s:.0f} s (last: {last!r})')
        time.sleep(POLL_INTERVAL_S)


def ros2_until(accept, *args):
    """Reruns `ros2 <args>` until accept(stdout) holds (discovery may lag); returns that stdout."""
    def attempt():
        status, out, _ = ros2(*args)
        return out if status == 0 and accept(out) else None
    return poll(attempt, 'ros2 ' + ' '.join(args))


class Background:
    """A long-running ros2 command (echo) whose output is read while it runs."""

    def __init__(self, *args, directory):
        descriptor, self._out_path = tempfile.mkstemp(prefix='ros2_', suffix='.out', dir=directory)
        self._out = os.fdopen(descriptor, 'w')
        self._process = subprocess.Popen(
            ['ros2', *args], stdout=self._out, stderr=subprocess.STDOUT, env=cli_env(),
            start_new_session=True)

    def output(self):
        with open(self._out_path) as text:
            return text.read()

    def wait_for(self, accept, what, deadline_s=DEADLINE_S):
        """Its output, once accept(output) holds."""
        def attempt():
            output = self.output()
            return output if accept(output) else None
        return poll(attempt, what, deadline_s)

    def stop(self):
        """Ends the command as Ctrl-C would; returns all it printed."""
        if self._process.poll() is None:
            os.killpg(self._process.pid, signal.SIGINT)
            try:
                self._process.wait(timeout=DEADLINE_S)
            except subprocess.TimeoutExpired:
                os.killpg(self._process.pid, signal.SIGKILL)
                self._process.wait()
        self._out.close()
        return self.output()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class NodeRun:
    """The node under test, started with ROS arguments, stopped by SIGINT (ends by SIGKILL)."""

    def __init__(self, executable, ros_args, directory, label):
        self.log_path = os.path.join(directory, label + '_node.log')
        self._log = open(self.log_path, 'w')
        self._process = subprocess.Popen(
            [executable, '--ros-args', *ros_args], stdout=self._log, stderr=subprocess.STDOUT,
            env=node_env(label))

    def log(self):
        with open(self.log_path) as text:
            return text.read()

    def alive(self):
        return self._process.poll() is None

    def stop(self):
        if self._process.poll() is None:
            self._process.send_signal(signal.SIGINT)
            try:
                self._process.wait(timeout=DEADLINE_S)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        self._log.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def node_env(label):
    env = dict(os.environ)
    if label == 'layer':
        # The layer-built node needs none of genuine Humble's libraries.
        env.pop('LD_LIBRARY_PATH', None)
    return env


class Scratch:
    """A temporary directory for one run of commands, and the stop of the ros2 daemon after it."""

    def __init__(self):
        self._dir = tempfile.TemporaryDirectory(prefix='ros2_cli_interop_')
        self.path = self._dir.name
        os.environ['ROS_LOG_DIR'] = os.path.join(self.path, 'ros_log')

    def cleanup(self):
        # --no-daemon everywhere, but a daemon must never outlive the test.
        ros2('daemon', 'stop')
        self._dir.cleanup()
