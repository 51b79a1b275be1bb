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

"""Test hosts as network namespaces: a small lab for the tests across hosts.

A Lab makes hosts (`ip netns` namespaces named after this process, so that
parallel runs never meet), joins them by veth pairs, directly or through a
"wire" namespace where link_forwarder adds loss, delay and cuts, or puts many
of them on one shared segment (a bridge in a "switch" namespace, one port per
host, a host's port optionally through a wire), and runs processes on them.
Every host has only its own lo and its veths, addresses in 10.231.0.0/16 and
no route out: DDS in its default configuration (an interface it picks,
multicast discovery) reaches nothing but the lab.

Whatever happens, closing the lab ends its processes (their whole process
groups), then removes its namespaces and with them their links. A run that
was killed outright leaves namespaces behind: the next Lab removes those of
processes that are gone. Children also die with the test process
(PR_SET_PDEATHSIG), so nothing outlives a test that ctest killed.

Needs root and iproute2; require_lab() exits with SKIP_RETURN_CODE and one
line saying why when either is missing.
"""

import ctypes
import itertools
import os
import re
import shutil
import signal
import subprocess
import sys
import time

SKIP_RETURN_CODE = 77
NETNS_DIR = '/run/netns'
NAME_PREFIX = 'netlab'
# Every lab numbers its links from 10.231.0.0/24 on; labs never share a link.
SUBNET = '10.231'
# Generous: CI shares two cores between two test processes and a build.
STOP_GRACE_S = 10.0
# A shared segment: the bridge in its switch namespace, and every host's link to it.
BRIDGE = 'br0'
LAN_LINK = 'lan'
POLL_INTERVAL_S = 0.1

_PR_SET_PDEATHSIG = 1
_lab_numbers = itertools.count()


def skip(reason):
    """Ends the test as skipped, with one line saying why."""
    print(f'skipped: {reason}', flush=True)
    sys.exit(SKIP_RETURN_CODE)


def require_lab():
    """Skips the test unless namespaces and veth links can be made here."""
    if os.geteuid() != 0:
        skip('the tests across hosts need root (network namespaces)')
    if shutil.which('ip') is None:
        skip('the tests across hosts need the ip command (iproute2)')
    probe = f'{NAME_PREFIX}{os.getpid()}_probe'
    made = subprocess.run(['ip', 'netns', 'add', probe], capture_output=True, text=True)
    if made.returncode != 0:
        skip(f'cannot make a network namespace: {made.stderr.strip()}')
    subprocess.run(['ip', 'netns', 'del', probe], capture_output=True)


def ip(*args):
    """Runs `ip <args>`; a failure raises with ip's own message."""
    done = subprocess.run(['ip', *args], capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError(f"ip {' '.join(args)}: {done.stderr.strip()}")
    return done.stdout


def _die_with_parent():
    """In the child before exec: SIGKILL when the test process ends, however it ends."""
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def _pid_alive(pid):
    """True while the process runs; a killed one that is not reaped yet is gone too."""
    try:
        with open(f'/proc/{pid}/stat') as stat:
            state = stat.read().rsplit(')', 1)[1].split()[0]
    except (FileNotFoundError, IndexError):
        return False
    return state != 'Z'


def remove_namespace(name):
    """Kills whatever still runs in the namespace, then deletes it (and its links)."""
    pids = subprocess.run(['ip', 'netns', 'pids', name], capture_output=True, text=True)
    for pid in pids.stdout.split():
        try:
            os.kill(int(pid), signal.SIGKILL)
        except (ProcessLookupError, ValueError):
            pass
    subprocess.run(['ip', 'netns', 'del', name], capture_output=True)


def remove_stale_namespaces():
    """Removes the namespaces of earlier runs whose process is gone."""
    if not os.path.isdir(NETNS_DIR):
        return
    for name in os.listdir(NETNS_DIR):
        owner = re.match(rf'{NAME_PREFIX}(\d+)_', name)
        if owner and not _pid_alive(int(owner.group(1))):
            remove_namespace(name)


class Process:
    """A process on a host, in a process group of its own, its output in a file."""

    def __init__(self, host, argv, env, log_path):
        self.host = host
        self.argv = argv
        self.log_path = log_path
        self._log = open(log_path, 'w')
        self._popen = subprocess.Popen(
            ['ip', 'netns', 'exec', host.namespace, *argv], stdin=subprocess.DEVNULL,
            stdout=self._log, stderr=subprocess.STDOUT, env=env, start_new_session=True,
            preexec_fn=_die_with_parent)

    @property
    def pid(self):
        return self._popen.pid

    def output(self):
        with open(self.log_path, errors='replace') as text:
            return text.read()

    def alive(self):
        return self._popen.poll() is None

    def returncode(self):
        return self._popen.poll()

    def wait(self, timeout_s):
        """Its exit status, or None if it still runs after timeout_s."""
        try:
            return self._popen.wait(timeout=timeout_s)
        except subprocess.TimeoutExpired:
            return None

    def wait_for_output(self, accept, what, timeout_s):
        """Its output once accept(output) holds; fails on timeout or an early end."""
        return poll(lambda: self._accepted_output(accept, what), what, timeout_s)

    def _accepted_output(self, accept, what):
        output = self.output()
        if accept(output):
            return output
        if not self.alive():
            raise AssertionError(
                f'{what}: {self.argv[0]} ended ({self.returncode()}) first:\n{output}')
        return None

    def send_signal(self, signal_number):
        if self.alive():
            os.kill(self._popen.pid, signal_number)

    def stop(self, signal_number=signal.SIGTERM, grace_s=STOP_GRACE_S):
        """Signals the whole process group and waits; SIGKILL after the grace time."""
        if self.alive():
            self._signal_group(signal_number)
            if self.wait(grace_s) is None:
                self._signal_group(signal.SIGKILL)
                self._popen.wait()
        # Whatever the leader left behind in its group goes too.
        self._signal_group(signal.SIGKILL)
        self._log.close()
        return self._popen.returncode

    def _signal_group(self, signal_number):
        try:
            os.killpg(self._popen.pid, signal_number)
        except ProcessLookupError:
            pass


class Host:
    """One network namespace of the lab."""

    def __init__(self, lab, name):
        self.lab = lab
        self.name = name
        self.namespace = f'{lab.prefix}_{name}'
        self.addresses = {}  # interface -> address

    def spawn(self, argv, env, label):
        """Starts argv on this host; the lab stops it at the latest when it closes."""
        # Numbered: processes of one label may run side by side, and the
        # logs of a failed test are shown in the order they were started.
        number = next(self.lab.log_numbers)
        log_path = os.path.join(self.lab.directory, f'{number:03d}_{self.name}_{label}.log')
        process = Process(self, argv, env, log_path)
        self.lab.processes.append(process)
        return process

    def run(self, argv, env, label, timeout_s):
        """Runs argv to its end: (exit status or None if it hung, output)."""
        process = self.spawn(argv, env, label)
        status = process.wait(timeout_s)
        process.stop(signal.SIGKILL)
        return status, process.output()

    def address(self, interface=None):
        """The address of one of its links (the only one when not named)."""
        if interface is None:
            (interface,) = self.addresses
        return self.addresses[interface]


class Wire:
    """The namespace between two hosts and the forwarder that joins their links."""

    def __init__(self, host, forwarder):
        self.host = host
        self.forwarder = forwarder
        self._state_lines = 0

    def cut(self):
        self._signal(signal.SIGUSR1, 'link_forwarder: cut')

    def restore(self):
        self._signal(signal.SIGUSR2, 'link_forwarder: restored')

    def _signal(self, signal_number, confirmation):
        """Signals the forwarder and waits for it to confirm the new state."""
        self._state_lines += 1
        wanted = self._state_lines
        self.forwarder.send_signal(signal_number)
        self.forwarder.wait_for_output(
            lambda out: _state_changes(out)[wanted - 1:wanted] == [confirmation],
            confirmation, 10.0)

    def counters(self):
        """Stops the forwarder: {'a_to_b': {'received': n, ...}, 'b_to_a': {...}}."""
        self.forwarder.stop(signal.SIGTERM)
        return parse_forwarder_counters(self.forwarder.output())


def _state_changes(output):
    return [line for line in output.splitlines()
            if line in ('link_forwarder: cut', 'link_forwarder: restored')]


def parse_forwarder_counters(output):
    counters = {}
    for direction, fields in re.findall(r'link_forwarder: counters (\w+) (.*)', output):
        counters[direction] = {key: int(value) for key, value in re.findall(r'(\w+)=(\d+)', fields)}
    return counters


class Lab:
    """The namespaces, links and processes of one test run; close() removes them all."""

    def __init__(self, directory):
        remove_stale_namespaces()
        self.directory = directory
        self.prefix = f'{NAME_PREFIX}{os.getpid()}_{next(_lab_numbers)}'
        self.hosts = []
        self.processes = []
        self.log_numbers = itertools.count()
        self._links = 0

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def host(self, name):
        """A new host: a namespace with lo up (multicast on, as DDS on one host needs)."""
        host = Host(self, name)
        ip('netns', 'add', host.namespace)
        self.hosts.append(host)
        ip('-n', host.namespace, 'link', 'set', 'lo', 'up', 'multicast', 'on')
        return host

    def join(self, a, b):
        """A veth pair between two hosts, named after the host at its other end."""
        subnet = self._next_subnet()
        self._veth(a, f'to_{b.name}', b, f'to_{a.name}')
        self._address(a, f'to_{b.name}', f'{subnet}.1')
        self._address(b, f'to_{a.name}', f'{subnet}.2')

    def join_through_wire(self, a, b, forwarder, forwarder_args=()):
        """a -- wire -- b, link_forwarder in the wire namespace joining the two links."""
        wire = self._wire_host(f'wire_{a.name}_{b.name}')
        subnet = self._next_subnet()
        self._veth(a, f'to_{b.name}', wire, 'link_a')
        self._veth(b, f'to_{a.name}', wire, 'link_b')
        self._address(a, f'to_{b.name}', f'{subnet}.1')
        self._address(b, f'to_{a.name}', f'{subnet}.2')
        return self._start_forwarder(wire, forwarder, forwarder_args)

    def _wire_host(self, name):
        wire = self.host(name)
        _silence(wire)
        return wire

    def _start_forwarder(self, wire, forwarder, forwarder_args):
        for interface in ('link_a', 'link_b'):
            ip('-n', wire.namespace, 'link', 'set', interface, 'up')
        process = wire.spawn(
            [forwarder, '--link-a', 'link_a', '--link-b', 'link_b', *forwarder_args],
            dict(os.environ), 'forwarder')
        process.wait_for_output(lambda out: 'link_forwarder: forwarding' in out,
                                'the forwarder ready', 10.0)
        return Wire(wire, process)

    def segment(self, name):
        """A shared segment: a bridge in a namespace of its own, hosts attached to it later."""
        switch = self.host(f'switch_{name}')
        _silence(switch)
        ip('-n', switch.namespace, 'link', 'add', BRIDGE, 'type', 'bridge')
        # Without snooping every multicast frame floods to every port, as on a
        # plain switch: discovery never waits for an IGMP querier the lab lacks.
        ip('-n', switch.namespace, 'link', 'set', BRIDGE, 'type', 'bridge', 'mcast_snooping', '0')
        ip('-n', switch.namespace, 'link', 'set', BRIDGE, 'up')
        return Segment(self, switch, self._next_subnet())

    def close(self):
        for process in reversed(self.processes):
            process.stop(signal.SIGKILL, grace_s=0)
        for host in reversed(self.hosts):
            remove_namespace(host.namespace)
        self.hosts = []
        self.processes = []

    def _next_subnet(self):
        subnet = f'{SUBNET}.{self._links}'
        self._links += 1
        return subnet

    def _veth(self, a, a_end, b, b_end):
        ip('link', 'add', a_end, 'netns', a.namespace, 'type', 'veth',
           'peer', 'name', b_end, 'netns', b.namespace)

    def _address(self, host, interface, address):
        ip('-n', host.namespace, 'addr', 'add', f'{address}/24', 'dev', interface)
        ip('-n', host.namespace, 'link', 'set', interface, 'up', 'multicast', 'on')
        host.addresses[interface] = address


class Segment:
    """Hosts on one bridge, as robots on a shop floor's network: every host sees every other.

    Each attached host gets one link, named LAN_LINK, with an address of the
    segment's /24; multicast floods to every port, so DDS's default
    discovery finds every participant on the segment.
    """

    def __init__(self, lab, switch, subnet):
        self.lab = lab
        self.switch = switch
        self._subnet = subnet
        self._next_address = itertools.count(1)

    def attach(self, host):
        """host's link plugged straight into the switch; returns its address."""
        port = self._port_name(host)
        self.lab._veth(host, LAN_LINK, self.switch, port)
        self._plug(port)
        return self._address(host)

    def attach_through_wire(self, host, forwarder, forwarder_args=()):
        """host -- wire -- switch: link_forwarder may cut or spoil this host's link alone."""
        wire = self.lab._wire_host(f'wire_{host.name}')
        self.lab._veth(host, LAN_LINK, wire, 'link_a')
        port = self._port_name(host)
        self.lab._veth(wire, 'link_b', self.switch, port)
        self._plug(port)
        self._address(host)
        return self.lab._start_forwarder(wire, forwarder, forwarder_args)

    def _port_name(self, host):
        # Interface names have at most 15 characters; host names are short.
        port = f'p_{host.name}'
        if len(port) > 15:
            raise ValueError(f'host name {host.name!r} too long for a switch port')
        return port

    def _plug(self, port):
        ip('-n', self.switch.namespace, 'link', 'set', port, 'master', BRIDGE)
        ip('-n', self.switch.namespace, 'link', 'set', port, 'up')

    def _address(self, host):
        number = next(self._next_address)
        if number > 254:
            raise ValueError('a segment holds at most 254 hosts')
        self.lab._address(host, LAN_LINK, f'{self._subnet}.{number}')
        return host.address(LAN_LINK)


def _silence(host):
    """A host that must say nothing itself (a wire, a switch): no IPv6 link-local chatter."""
    ip('netns', 'exec', host.namespace, 'sh', '-c',
       'echo 1 > /proc/sys/net/ipv6/conf/all/disable_ipv6; '
       'echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6')


def poll(attempt, what, timeout_s):
    """Calls attempt() until it returns something true, and returns that; fails at the deadline."""
    deadline = time.monotonic() + timeout_s
    while True:
        result = attempt()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f'{what}: not within {timeout_s:.0f} s')
        time.sleep(POLL_INTERVAL_S)


class Deadline(Exception):
    """The test's own time is up: raised in the main thread, so that cleanup runs."""


def install_deadline(seconds):
    """Bounds the whole test below ctest's TIMEOUT; SIGTERM and SIGINT end it the same way."""
    def expire(signal_number, _):
        raise Deadline(f'stopped by signal {signal_number} (the test took too long or was '
                       'cancelled); the lab is removed')
    signal.signal(signal.SIGALRM, expire)
    signal.signal(signal.SIGTERM, expire)
    signal.alarm(seconds)
