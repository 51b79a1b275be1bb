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

"""The node, diagctl and the genuine ros2 command line on separate hosts of a lab.

Each test builds its hosts (network namespaces joined by veth links) and
runs everything in DDS's default configuration: no CYCLONEDDS_URI, no ROS_DOMAIN_ID,
multicast discovery on the link Cyclone DDS picks. Run as root, with the
environment interop/CMakeLists.txt sets (builds.py names it):

    python3 across_hosts_test.py TestClass[.test_method]

NODE_BUILD (layer or genuine) selects the node of the tests that run on
either. Without root or iproute2 the tests are skipped (exit 77).
"""

import concurrent.futures
import json
import os
import sys

import builds
from centre import Centre
import diag_srv_answer
from centre import NODE
from lab_case import LabCase
from lab_case import main
from netlab import poll
import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
UDP_PROBE = os.path.join(HERE, 'udp_probe.py')
# Discovery across a link, Python start-ups and node starts on two busy cores.
DISCOVERY_TIMEOUT_S = 60.0
COMMAND_TIMEOUT_S = 30.0
# How long a peer that should not see the node looks for it.
INVISIBLE_WAIT_S = 5
FAULT = 4242
# The query's protobuf payload travels in a string field, which the ros2 CLI
# prints decoded as UTF-8: ids from 128 on are bytes it cannot show.
CLI_FAULT = 42
MODULE = 'chassis_driver'
MODULE_TOPIC = '/chassis_driver_diag_topic'


def node_build():
    return builds.by_label(os.environ.get('NODE_BUILD', 'layer'))


def diagctl(host, build, env, *args, label='diagctl', timeout_s=COMMAND_TIMEOUT_S):
    """Runs `diagctl <args>` of a build on a host: (exit status, output)."""
    return host.run([build.diagctl, *args], env, label, timeout_s + 30)


def ros2(host, env, *args, label='ros2'):
    return host.run(['ros2', *args], env, label, COMMAND_TIMEOUT_S)


def raise_fault(host, build, env, fault_id, message):
    status, out = diagctl(host, build, env, 'raise', MODULE, str(fault_id), message,
                          '--timeout', str(DISCOVERY_TIMEOUT_S))
    if status != 0:
        raise AssertionError(f'{build.label} diagctl raise failed ({status}):\n{out}')


def query_roots(host, build, env, timeout_s=DISCOVERY_TIMEOUT_S):
    """The root causes diagctl query gets, or None when the node does not answer."""
    status, out = diagctl(host, build, env, 'query', '--json', '--timeout', str(timeout_s))
    if status != 0:
        return None
    return [root['fault_id'] for root in json_document(out)['root_causes']]


def roots_become(host, build, env, expected):
    """Asks again until the node's roots are `expected` (a raise is handled within a cycle)."""
    return poll(lambda: query_roots(host, build, env) == expected,
                f'{build.label} diagctl query: roots {expected}', DISCOVERY_TIMEOUT_S)


def json_document(output):
    """The JSON line of a diagctl --json answer (rcl may log lines beside it, with security)."""
    return json.loads([line for line in output.splitlines() if line.startswith('{')][-1])


def yaml_documents(echo_output):
    """The messages `ros2 topic echo` printed (a cut-off last one left out)."""
    return [yaml.safe_load(doc) for doc in echo_output.split('\n---\n')[:-1] if doc.strip()]


def lab_pair(lab):
    """A robot and an operator host joined by one veth link."""
    robot, operator = lab.host('robot'), lab.host('operator')
    lab.join(robot, operator)
    return robot, operator


class ForwarderTest(LabCase):
    """link_forwarder alone: unicast, multicast and ARP cross it both ways; a cut stops them."""

    GROUP = '239.255.77.1'
    PORT = 7411

    def ping(self, host, destination, count, wait_s):
        status, out = host.run(
            [sys.executable, UDP_PROBE, 'ping', host.address(), destination, str(self.PORT),
             str(count), str(wait_s)], dict(os.environ), 'ping', wait_s + COMMAND_TIMEOUT_S)
        self.assertEqual(status, 0, out)
        return out.strip()

    def test_frames_cross_both_ways_and_none_while_cut(self):
        a, b = self.lab.host('a'), self.lab.host('b')
        wire = self.lab.join_through_wire(a, b, builds.link_forwarder(),
                                          ['--delay-ms', '5', '--jitter-ms', '2'])
        echo = b.spawn([sys.executable, UDP_PROBE, 'echo', b.address(), self.GROUP,
                        str(self.PORT)], dict(os.environ), 'echo')
        echo.wait_for_output(lambda out: 'echo ready' in out, 'the echo', COMMAND_TIMEOUT_S)

        # The first unicast needs ARP both ways through the forwarder.
        self.assertEqual(self.ping(a, b.address(), 5, 10), 'answered 5 of 5')
        self.assertEqual(self.ping(a, self.GROUP, 5, 10), 'answered 5 of 5')
        wire.cut()
        self.assertEqual(self.ping(a, b.address(), 3, 1), 'answered 0 of 3')
        wire.restore()
        self.assertEqual(self.ping(a, b.address(), 5, 10), 'answered 5 of 5')

        counters = wire.counters()
        for direction in ('a_to_b', 'b_to_a'):
            with self.subTest(direction=direction):
                self.assertGreaterEqual(counters[direction]['forwarded'], 15)
                for trouble in ('lost', 'overflow', 'truncated', 'failed'):
                    self.assertEqual(counters[direction][trouble], 0, trouble)
        self.assertGreaterEqual(counters['a_to_b']['cut'], 3)


class GenuineCliTest(LabCase):
    """The genuine ros2 command line on the operator host, the layer-built node on the robot."""

    def setUp(self):
        super().setUp()
        self.diag_srv_pb2 = diag_srv_answer.load_diag_srv_pb2(self.directory)

    def test_node_list_topic_echo_and_service_call_reach_the_node(self):
        robot, operator = lab_pair(self.lab)
        layer, genuine = builds.layer(), builds.genuine()
        Centre(robot, layer, [CLI_FAULT], layer.env(self.log_dir()))
        cli = genuine.env(self.log_dir())

        def node_listed():
            status, out = ros2(operator, cli, 'node', 'list', '--no-daemon')
            return status == 0 and NODE in out.split()
        poll(node_listed, 'ros2 node list on the operator host', DISCOVERY_TIMEOUT_S)

        echo = operator.spawn(['ros2', 'topic', 'echo', '--no-daemon', '/current_failure',
                               'corvanta_protocol/msg/CurrentFailure'], cli, 'echo')
        status, out = ros2(operator, cli, 'topic', 'pub', '--once', '-w', '1', MODULE_TOPIC,
                           'corvanta_protocol/msg/DiagnosticEvent',
                           f"{{fault_id: {CLI_FAULT}, status: 1, event_msg: 'across hosts'}}")
        self.assertEqual(status, 0, out)
        # current_failure comes once a second: the raise shows in one of the next.
        echo.wait_for_output(
            lambda out: any(msg['fault_id_list'] == [CLI_FAULT] for msg in yaml_documents(out)),
            f'current_failure listing {CLI_FAULT}', DISCOVERY_TIMEOUT_S)

        def answered():
            status, out = ros2(operator, cli, 'service', 'call', '/diagnostic_srv',
                               'corvanta_protocol/srv/DiagnosticSrv', '{cmd: 0}')
            return diag_srv_answer.root_causes(out, self.diag_srv_pb2) if status == 0 else None
        self.assertEqual(poll(answered, 'ros2 service call /diagnostic_srv', DISCOVERY_TIMEOUT_S),
                         (0, [CLI_FAULT]))


class LayerDiagctlTest(LabCase):
    """The layer-built diagctl on the operator host against the node (NODE_BUILD) on the robot."""

    def test_raise_query_and_tree_across_the_link(self):
        robot, operator = lab_pair(self.lab)
        node, layer = node_build(), builds.layer()
        Centre(robot, node, [FAULT], node.env(self.log_dir()))
        env = layer.env(self.log_dir())

        raise_fault(operator, layer, env, FAULT, 'raised across hosts')
        roots_become(operator, layer, env, [FAULT])
        status, out = diagctl(operator, layer, env, 'tree', '--json',
                              '--timeout', str(DISCOVERY_TIMEOUT_S))
        self.assertEqual(status, 0, out)
        tree = json_document(out)
        self.assertEqual(
            [(f['fault_id'], f['level'], f['module'], f['event_msg'], f['children'])
             for f in tree['failures']],
            [(FAULT, 'error', MODULE_TOPIC, 'raised across hosts', [])])


class SingleHostTest(LabCase):
    """One host with only lo: layer and genuine processes find each other on Cyclone's defaults."""

    def test_each_build_reaches_the_other_builds_node(self):
        host = self.lab.host('robot')
        layer, genuine = builds.layer(), builds.genuine()
        log = self.log_dir()
        # The layer's node on domain 0, the genuine one on domain 1; each is
        # driven by the other build's diagctl.
        pairs = [(layer, genuine, 0), (genuine, layer, 1)]
        for node, _, domain in pairs:
            Centre(host, node, [FAULT + domain], node.env(log, domain=domain), label=node.label)

        def drive(node, tool, domain):
            env = tool.env(log, domain=domain)
            raise_fault(host, tool, env, FAULT + domain, f'{tool.label} to {node.label}')
            roots_become(host, tool, env, [FAULT + domain])
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            for done in [pool.submit(drive, *pair) for pair in pairs]:
                done.result()


class LocalhostOnlyTest(LabCase):
    """ROS_LOCALHOST_ONLY=1, alone and beside a CYCLONEDDS_URI naming the veth: who sees the node.

    Genuine Humble is the oracle. Each build's node runs localhost-only, once
    without and once with that CYCLONEDDS_URI, each on a domain of its own;
    three peers of the same build look for it: localhost-only on its host,
    in the default configuration on its host, and in the default
    configuration on the other host. The layer must answer as genuine does.
    Genuine's answers (rmw_cyclonedds_cpp names 127.0.0.1 before the user's
    configuration, and Cyclone DDS then uses both interfaces): localhost-only
    alone reaches only the localhost-only peer; with the veth named, the node
    is on both interfaces and every peer reaches it, the other host's too.
    """

    NODE_SETTINGS = ('localhost only', 'localhost only + veth config')
    PEERS = ('localhost-only peer, own host', 'default peer, own host', 'default peer, other host')

    def veth_config(self):
        path = os.path.join(self.directory, 'veth.xml')
        with open(path, 'w') as config:
            config.write('<CycloneDDS><Domain Id="any"><General><Interfaces>'
                         '<NetworkInterface name="to_operator"/>'
                         '</Interfaces></General></Domain></CycloneDDS>')
        return 'file://' + path

    def start_nodes(self, robot):
        """Every build's node in every setting: {(build label, setting): (build, domain)}."""
        nodes = {}
        for build in (builds.genuine(), builds.layer()):
            for setting in self.NODE_SETTINGS:
                domain = len(nodes)
                uri = self.veth_config() if 'veth' in setting else None
                Centre(robot, build, [FAULT],
                       build.env(self.log_dir(), domain, uri, localhost_only=True),
                       label=f'{build.label}_{domain}')
                nodes[build.label, setting] = (build, domain)
        return nodes

    def reached(self, robot, operator, build, domain, peer):
        env = build.env(self.log_dir(), domain, localhost_only=peer.startswith('localhost'))
        host = operator if peer.endswith('other host') else robot
        return query_roots(host, build, env, INVISIBLE_WAIT_S) is not None

    def test_localhost_only_as_genuine_does(self):
        robot, operator = lab_pair(self.lab)
        nodes = self.start_nodes(robot)
        # Each node surely discoverable before anyone's silence counts.
        for build, domain in nodes.values():
            local = build.env(self.log_dir(), domain, localhost_only=True)
            self.assertIsNotNone(query_roots(robot, build, local), f'{build.label} {domain}')
        with concurrent.futures.ThreadPoolExecutor(max_workers=6) as pool:
            futures = {(label, setting, peer): pool.submit(
                self.reached, robot, operator, build, domain, peer)
                for (label, setting), (build, domain) in nodes.items() for peer in self.PEERS}
            seen = {key: future.result() for key, future in futures.items()}

        def answers(label):
            return {(setting, peer): seen[label, setting, peer]
                    for setting in self.NODE_SETTINGS for peer in self.PEERS}
        print(f"genuine: {answers('genuine')}")
        self.assertEqual(answers('layer'), answers('genuine'))
        # What the oracle says about localhost-only alone, so that a change of it shows.
        self.assertEqual([answers('genuine')['localhost only', peer] for peer in self.PEERS],
                         [True, False, False])


class SecuredTest(LabCase):
    """DDS Security across hosts, with a keystore made by genuine ros2 security in the lab.

    The node (NODE_BUILD) runs in its enclave on its shipped policy. The other
    build's diagctl, in its enclave on diagctl's policy, raises and queries,
    and so does the node's own build's; for the layer-built node the genuine ros2 command line (rclpy), in an
    enclave of its own, calls the query service too. Unsecured, diagctl of
    either build finds no node and raises nothing; a diagctl whose
    permissions lack the module topic cannot publish on it.
    """

    POLICIES = os.path.join(HERE, '..', '..')
    NODE_POLICY = 'diagnostic_center/config/security/diagnostic_center.policy.xml'
    DIAGCTL_POLICY = 'tools/diagctl/config/security/diagctl.policy.xml'

    def restricted_policy(self):
        """diagctl's policy for the enclave /restricted, without the module topic."""
        with open(os.path.join(self.POLICIES, self.DIAGCTL_POLICY)) as source:
            policy = source.read()
        topic = f'<topic>{MODULE_TOPIC.lstrip("/")}</topic>'
        self.assertIn(topic, policy)
        path = os.path.join(self.directory, 'restricted.policy.xml')
        with open(path, 'w') as restricted:
            restricted.write(policy.replace(topic, '').replace('"/diagctl"', '"/restricted"'))
        return path

    def make_keystore(self, host):
        """The keystore: the node's and diagctl's enclaves on their policies, and the CLI's."""
        keystore = os.path.join(self.directory, 'keystore')
        env = builds.genuine().env(self.log_dir())
        policies = {'/diagnostic_center': os.path.join(self.POLICIES, self.NODE_POLICY),
                    '/diagctl': os.path.join(self.POLICIES, self.DIAGCTL_POLICY),
                    '/restricted': self.restricted_policy()}
        commands = [['create_keystore', keystore]]
        commands += [['create_enclave', keystore, enclave] for enclave in [*policies, '/cli']]
        commands += [['create_permission', keystore, enclave, policy]
                     for enclave, policy in policies.items()]
        for command in commands:
            status, out = ros2(host, env, 'security', *command, label='security')
            self.assertEqual(status, 0, f'ros2 security {command[0]}:\n{out}')
        return keystore

    def test_secured_peers_reach_the_node_and_nobody_else_does(self):
        node = node_build()
        tool = builds.genuine() if node.label == 'layer' else builds.layer()
        robot, operator = lab_pair(self.lab)
        keystore = self.make_keystore(robot)
        log = self.log_dir()
        centre = Centre(robot, node, [FAULT, FAULT + 1, FAULT + 2],
                        node.env(log, security=builds.Security(keystore, '/diagnostic_center')))

        secured = tool.env(log, security=builds.Security(keystore, '/diagctl'))
        raise_fault(operator, tool, secured, FAULT, 'secured')
        roots_become(operator, tool, secured, [FAULT])
        # The node's own build meets it secured too.
        same = node.env(log, security=builds.Security(keystore, '/diagctl'))
        self.assertEqual(query_roots(operator, node, same), [FAULT])
        if node.label == 'layer':
            cli = builds.genuine().env(log, security=builds.Security(keystore, '/cli'))
            status, out = ros2(operator, cli, 'service', 'call', '/diagnostic_srv',
                               'corvanta_protocol/srv/DiagnosticSrv', '{cmd: 0}', label='cli')
            self.assertEqual(status, 0, out)
            self.assertIn('result=0', out)

        # Without security, of either build: no node to ask, nobody to raise to.
        for build in (builds.layer(), builds.genuine()):
            with self.subTest(unsecured=build.label):
                plain = build.env(log)
                self.assertIsNone(query_roots(operator, build, plain, INVISIBLE_WAIT_S))
                status, out = diagctl(operator, build, plain, 'raise', MODULE, str(FAULT + 1),
                                      '--timeout', str(INVISIBLE_WAIT_S))
                self.assertEqual(status, 1, out)
                self.assertIn('nobody subscribes', out)

        # In the keystore, but not allowed to publish on the module topic.
        restricted = tool.env(log, security=builds.Security(keystore, '/restricted'))
        status, out = diagctl(operator, tool, restricted, 'raise', MODULE, str(FAULT + 2),
                              '--timeout', str(INVISIBLE_WAIT_S))
        self.assertEqual(status, 1, out)
        self.assertIn(f'could not create publisher: failed to create topic [rt{MODULE_TOPIC}]', out)

        # A last secured raise shows that what came before has been handled.
        raise_fault(operator, tool, secured, FAULT, 'secured again')
        centre.wait_for_record(FAULT, DISCOVERY_TIMEOUT_S)
        poll(lambda: [r for r in centre.records() if r[2] == 'secured again'],
             'the record of the last secured raise', DISCOVERY_TIMEOUT_S)
        self.assertEqual([r[0] for r in centre.records()], [FAULT, FAULT])


if __name__ == '__main__':
    main()
