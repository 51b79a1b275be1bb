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

"""The genuine `ros2` command line against the layer-built diagnostic_center.

Every test runs the same commands against the genuine-built node and the
layer-built node, started side by side on the same configuration, each on a ROS
domain of its own, and requires the same answers: genuine Humble is the oracle.
The answers are also checked against what the node declares (types, QoS,
payload, log lines).

Run in the genuine Humble environment with LAYER_NODE, GENUINE_NODE (executables),
DIAG_SRV_PROTO, PROTOC and ORACLE_ROS_DOMAIN_ID (the genuine node's domain; the
layer's is ROS_DOMAIN_ID) set:  python3 ros2_cli_test.py [TestClass]
"""

import ast
import concurrent.futures
import contextlib
import json
import os
import re
import subprocess
import sys
import unittest

from cli_support import Background
from cli_support import NodeRun
from cli_support import poll
from cli_support import ros2
from cli_support import ros2_until
from cli_support import Scratch
import diag_srv_answer
import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
PARAMS_FILE = os.path.join(HERE, 'diagnostic_center_cli.yaml')
NODE = '/diagnostic_center'
MODULE_TOPICS = [
    'arm_driver_diag_topic', 'sensor_proxy_diag_topic', 'body_driver_diag_topic',
    'chassis_driver_diag_topic', 'arm_per_diag_topic', 'arm_manager_diag_topic',
    'arm_pnc_diag_topic', 'chassis_per_diag_topic', 'chassis_pnc_diag_topic',
    'chassis_loc_diag_topic', 'task_center_diag_topic', 'monitor_diag_topic',
]
NODE_TOPICS = {
    **{'/' + topic: 'corvanta_protocol/msg/DiagnosticEvent' for topic in MODULE_TOPICS},
    '/fsm_status': 'corvanta_protocol/msg/TaskCenterFsmStatus',
    '/exception_handle': 'corvanta_protocol/msg/ExceptionHandle',
    '/current_failure': 'corvanta_protocol/msg/CurrentFailure',
    '/diagnosis_tree': 'corvanta_protocol/msg/DiagnosisTree',
    '/diagnostics': 'diagnostic_msgs/msg/DiagnosticArray',
    '/rosout': 'rcl_interfaces/msg/Log',
    '/parameter_events': 'rcl_interfaces/msg/ParameterEvent',
}
# Read-only in every rclcpp node, with a description.
QOS_DEPTH = 'qos_overrides./parameter_events.publisher.depth'
# Where a path in the answers was the test's own scratch directory.
RECORDS_MASK = '<records>'
# A single attempt's wait for a message that a lost first sample would never bring.
RETRY_AFTER_S = 10.0


def executable(label):
    return os.environ['GENUINE_NODE' if label == 'genuine' else 'LAYER_NODE']


def run_all(commands):
    """Runs independent queries side by side: {key: result of fn(*args)}."""
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        futures = {key: pool.submit(fn, *args) for key, (fn, *args) in commands.items()}
        return {key: future.result() for key, future in futures.items()}


def yaml_documents(echo_output):
    """The messages `ros2 topic echo` printed, as dicts (a cut-off last one is left out)."""
    documents = echo_output.split('\n---\n')[:-1]
    return [yaml.safe_load(document) for document in documents if document.strip()]


def raise_fault(fault_id, text):
    status, out, err = ros2(
        'topic', 'pub', '--once', '/chassis_driver_diag_topic',
        'corvanta_protocol/msg/DiagnosticEvent',
        f"{{fault_id: {fault_id}, status: 1, event_msg: '{text}'}}")
    if status != 0:
        raise AssertionError(f'ros2 topic pub failed ({status}): {out}{err}')


def plain_levels(array):
    """A DiagnosticArray as echoed, its byte levels as numbers (the echo prints each as a
    one-character string)."""
    for status in array['status']:
        status['level'] = ord(status['level'])
    return array


def until_received(send, echo, accept, what):
    """Sends again whenever an attempt brings nothing: a sample published before the
    echo's reader was matched is lost for good."""
    def attempt():
        send()
        try:
            return echo.wait_for(accept, what, deadline_s=RETRY_AFTER_S)
        except AssertionError:
            return None
    return poll(attempt, what)


class CliInteropCase(unittest.TestCase):
    """Runs collect(label) for both builds in child processes; the test compares."""

    maxDiff = None

    @classmethod
    def setUpChild(cls):
        cls.scratch = Scratch()
        cls.records = os.path.join(cls.scratch.path, 'records')

    @classmethod
    def tearDownChild(cls):
        cls.scratch.cleanup()

    def ros_args(self):
        return ['--params-file', PARAMS_FILE, '-p', f'fault_record_dir:={self.records}']

    @contextlib.contextmanager
    def started(self, label):
        """The node up and serving: its query service, created last, is visible."""
        with NodeRun(executable(label), self.ros_args(), self.scratch.path, label) as node:
            def serving():
                if not node.alive():
                    raise AssertionError(f'{label} node ended early')
                status, out, _ = ros2('service', 'list', '--no-daemon')
                return status == 0 and '/diagnostic_srv' in out.split()
            try:
                poll(serving, f'{label} node serving /diagnostic_srv')
                yield node
            except BaseException:
                sys.stderr.write(f'--- {label} node log:\n{node.log()}---\n')
                raise

    def both(self):
        """The answers for the genuine-built and the layer-built node, as JSON data."""
        domains = {'genuine': os.environ['ORACLE_ROS_DOMAIN_ID'],
                   'layer': os.environ['ROS_DOMAIN_ID']}
        children = {
            label: subprocess.Popen(
                [sys.executable, os.path.abspath(__file__), '--collect',
                 type(self).__name__, label],
                stdout=subprocess.PIPE, text=True, env={**os.environ, 'ROS_DOMAIN_ID': domain})
            for label, domain in domains.items()}
        answers = {}
        for label, child in children.items():
            out, _ = child.communicate()
            self.assertEqual(child.returncode, 0, f'collecting the {label} answers failed')
            answers[label] = json.loads(out.splitlines()[-1])
        return answers['genuine'], answers['layer']

    def assertSameAnswers(self, genuine, layer):
        for key in genuine:
            with self.subTest(command=key):
                self.assertEqual(layer.get(key), genuine[key], 'layer (first) vs genuine')


def collect_in_child(class_name, label):
    """Prints the answers of one build as JSON, the scratch directory masked."""
    case_class = globals()[class_name]
    case_class.setUpChild()
    try:
        answers = json.dumps(case_class().collect(label))
        print(answers.replace(case_class.records, RECORDS_MASK))
    finally:
        case_class.tearDownChild()


def endpoint_blocks(info):
    """`topic info -v`: its type line and the endpoint blocks, GIDs masked, sorted. The
    endpoints of the command line's own nodes are left out: how many of them show up
    depends on which commands happen to run at the same time. So are endpoints whose
    process has not told its node names yet (or no longer does): a command line that is
    starting or ending."""
    paragraphs = [paragraph.strip() for paragraph in info.strip().split('\n\n')]
    transient = ('Node name: _ros2cli_', 'Node name: _NODE_NAME_UNKNOWN_')
    blocks = [re.sub(r'GID: [0-9a-f.]+', 'GID: <gid>', paragraph) for paragraph in paragraphs
              if paragraph.startswith('Node name: ') and not paragraph.startswith(transient)]
    return [paragraphs[0], *sorted(blocks)]


def node_endpoint(blocks, endpoint_type):
    """The key: value lines of the node's own endpoint of that type in endpoint_blocks()."""
    for block in blocks[1:]:
        fields = {key.strip(): value.strip()
                  for key, _, value in (line.partition(':') for line in block.splitlines())}
        if fields.get('Node name') == 'diagnostic_center' and \
                fields.get('Endpoint type') == endpoint_type:
            return fields
    return None


class GraphTest(CliInteropCase):
    """node list/info, topic list -t, topic info -v: names, types and QoS."""

    INFO_TOPICS = {
        '/chassis_driver_diag_topic': 'SUBSCRIPTION', '/fsm_status': 'SUBSCRIPTION',
        '/exception_handle': 'PUBLISHER', '/current_failure': 'PUBLISHER',
        '/diagnosis_tree': 'PUBLISHER', '/diagnostics': 'PUBLISHER',
        '/rosout': 'PUBLISHER', '/parameter_events': 'PUBLISHER',
    }

    def collect(self, label):
        with self.started(label):
            commands = {
                'node list': (ros2_until, lambda out: NODE in out.split(),
                              'node', 'list', '--no-daemon'),
                'node info': (ros2_until, lambda out: all(t in out for t in NODE_TOPICS)
                              and '/diagnostic_srv' in out,
                              'node', 'info', NODE, '--no-daemon'),
                'topic list -t': (ros2_until, lambda out: all(t in out for t in NODE_TOPICS),
                                  'topic', 'list', '-t', '--no-daemon'),
            }
            for topic, endpoint_type in self.INFO_TOPICS.items():
                commands['topic info -v ' + topic] = (
                    lambda t=topic, e=endpoint_type: endpoint_blocks(ros2_until(
                        lambda out: node_endpoint(endpoint_blocks(out), e) is not None,
                        'topic', 'info', '-v', t, '--no-daemon')),)
            return run_all(commands)

    def test_graph_answers_match_genuine_and_the_declarations(self):
        genuine, layer = self.both()
        self.assertSameAnswers(genuine, layer)

        for topic, type_name in NODE_TOPICS.items():
            self.assertIn(f'{topic} [{type_name}]', layer['topic list -t'].splitlines())
        self.assertIn('/diagnostic_srv: corvanta_protocol/srv/DiagnosticSrv', layer['node info'])

        # The QoS the node creates its endpoints with (diag_keep_his is 100).
        declared = {
            '/chassis_driver_diag_topic': ('RELIABLE', 'KEEP_LAST (100)', 'VOLATILE', 'Infinite'),
            '/fsm_status': ('RELIABLE', 'KEEP_LAST (1)', 'VOLATILE', 'Infinite'),
            '/exception_handle': ('RELIABLE', 'KEEP_LAST (10)', 'VOLATILE', 'Infinite'),
            '/current_failure': ('RELIABLE', 'KEEP_LAST (1)', 'VOLATILE', 'Infinite'),
            '/diagnosis_tree': ('RELIABLE', 'KEEP_LAST (1)', 'TRANSIENT_LOCAL', 'Infinite'),
            '/diagnostics': ('RELIABLE', 'KEEP_LAST (10)', 'VOLATILE', 'Infinite'),
            '/rosout': ('RELIABLE', 'KEEP_LAST (1000)', 'TRANSIENT_LOCAL',
                        '10000000000 nanoseconds'),
            '/parameter_events': ('RELIABLE', 'KEEP_LAST (1000)', 'VOLATILE', 'Infinite'),
        }
        for topic, qos in declared.items():
            with self.subTest(topic=topic):
                blocks = layer['topic info -v ' + topic]
                self.assertEqual(blocks[0], f'Type: {NODE_TOPICS[topic]}')
                endpoint = node_endpoint(blocks, self.INFO_TOPICS[topic])
                self.assertEqual(qos, tuple(endpoint[key] for key in (
                    'Reliability', 'History (Depth)', 'Durability', 'Lifespan')))


class TrafficTest(CliInteropCase):
    """topic pub -> topic echo /exception_handle, service call /diagnostic_srv, /rosout."""

    @classmethod
    def setUpChild(cls):
        super().setUpChild()
        cls.diag_srv_pb2 = diag_srv_answer.load_diag_srv_pb2(cls.scratch.path)
        # The recorder's warning brings a WARN line to /rosout.
        cls.records = os.path.join(cls.scratch.path, 'not_a_directory')
        open(cls.records, 'w').close()

    def ros_args(self):
        return [*super().ros_args(), '--log-level', 'diagnostic_center:=debug']

    def root_causes(self, call_output):
        """The decoded root_cause_list of the response `ros2 service call` printed."""
        return diag_srv_answer.root_causes(call_output, self.diag_srv_pb2)

    def collect(self, label):
        # Subscribed before the node starts: its first lines stay on /rosout for 10 s only.
        with Background('topic', 'echo', '--no-daemon', '--qos-reliability', 'reliable',
                        '--qos-durability', 'transient_local', '--qos-depth', '1000',
                        '/rosout', 'rcl_interfaces/msg/Log',
                        directory=self.scratch.path) as rosout:
            ros2_until(lambda out: re.search(r'Subscription count: [1-9]', out),
                       'topic', 'info', '/rosout', '--no-daemon')
            return self.traffic(label, rosout)

    def traffic(self, label, rosout):
        answers = {}
        with self.started(label):
            with Background('topic', 'echo', '--no-daemon', '/exception_handle',
                            'corvanta_protocol/msg/ExceptionHandle',
                            directory=self.scratch.path) as handles:
                handle = until_received(
                    lambda: raise_fault(12, 'no encoder ticks'), handles,
                    lambda out: yaml_documents(out), 'an ExceptionHandle for a raise of 12')
                answers['first exception_handle'] = yaml_documents(handle)[0]
            # 12 came before its root cause 11, so it hangs below it: the roots are 11 and 21.
            raise_fault(11, 'bus off')
            raise_fault(21, 'too hot')

            def query():
                status, out, _ = ros2('service', 'call', '/diagnostic_srv',
                                      'corvanta_protocol/srv/DiagnosticSrv', '{cmd: 0}')
                decoded = self.root_causes(out) if status == 0 else None
                return (out, decoded) if decoded and sorted(decoded[1]) == [11, 21] else None
            call_output, (result, roots) = poll(query, 'roots 11 and 21')
            # The node lists the roots in no particular order.
            answers['decoded diagnostic_srv'] = (result, sorted(roots))
            answers.update(self.diagnosis_views())
            answers['diagnostic_srv response'] = re.sub(
                r"data=('.*'|\".*\")",
                lambda data: f'data=<{len(ast.literal_eval(data[1]))} chars>',
                call_output[call_output.index('response:'):])

            def rosout_lines(out):
                return {(m['level'], m['name'], m['msg'], os.path.basename(m['file']),
                         m['function'], m['line'])
                        for m in yaml_documents(out) if m['name'] == 'diagnostic_center'}
            expected_last = ('diag robot status 1 to 2', 'receive failure event : 21, ')
            rosout.wait_for(
                lambda out: all(any(line[2].startswith(text) for line in rosout_lines(out))
                                for text in expected_last),
                '/rosout lines of the raises and the status change')
            answers['/rosout'] = sorted(rosout_lines(rosout.stop()))
        return answers

    def diagnosis_views(self):
        """/diagnostics as it comes, and /diagnosis_tree as a late joiner gets it."""
        summary = '2 root causes, 1 consequence'

        def with_all_three(out):
            return [plain_levels(array) for array in yaml_documents(out)
                    if array['status'] and array['status'][-1]['message'] == summary]
        with Background('topic', 'echo', '--no-daemon', '/diagnostics',
                        'diagnostic_msgs/msg/DiagnosticArray',
                        directory=self.scratch.path) as diagnostics:
            array = with_all_three(diagnostics.wait_for(with_all_three, 'the three on /diagnostics'))[0]
        tree = yaml_documents(ros2_until(
            lambda out: any(len(t['entries']) == 3 for t in yaml_documents(out)),
            'topic', 'echo', '--once', '--no-daemon', '--qos-reliability', 'reliable',
            '--qos-durability', 'transient_local', '/diagnosis_tree',
            'corvanta_protocol/msg/DiagnosisTree'))[0]
        # Taken at different times by the two builds.
        del array['header']['stamp']
        del tree['stamp']
        return {'/diagnostics': array, '/diagnosis_tree': tree}

    def test_traffic_answers_match_genuine_and_the_node_contract(self):
        genuine, layer = self.both()
        self.assertSameAnswers(genuine, layer)

        self.assertEqual(layer['first exception_handle']['fault_id'], 12)
        self.assertEqual(layer['first exception_handle']['stamp'], {'sec': 0, 'nanosec': 0})
        self.assertEqual(layer['decoded diagnostic_srv'], [0, [11, 21]])
        statuses = layer['/diagnostics']['status']
        self.assertEqual(
            [(s['name'], s['level'], s['message'], s['hardware_id']) for s in statuses],
            [('diagnostic_center/11', 2, 'bus lost', '/chassis_driver_diag_topic'),
             ('diagnostic_center/12', 1, 'odometry stalled', '/chassis_driver_diag_topic'),
             ('diagnostic_center/21', 2, 'joint over temperature', '/chassis_driver_diag_topic'),
             ('diagnostic_center', 2, '2 root causes, 1 consequence', '')])
        self.assertEqual(statuses[1]['values'], [
            {'key': 'fault_id', 'value': '12'}, {'key': 'root_cause', 'value': '11'},
            {'key': 'caused_by', 'value': '11'},
            {'key': 'raised_at', 'value': '1970-01-01T00:00:00.000000000Z'},
            {'key': 'event_msg', 'value': 'no encoder ticks'}])
        self.assertEqual(
            [(e['fault_id'], e['parent_id'], e['event_msg']) for e in
             layer['/diagnosis_tree']['entries']],
            [(11, 11, 'bus off'), (12, 11, 'no encoder ticks'), (21, 21, 'too hot')])

        logged = {(level, msg) for level, _, msg, *_ in layer['/rosout']}
        for expected in [
                (10, 'receive event 12'),
                (20, 'receive failure event : 12, desc: odometry stalled, status : 1'),
                (20, 'diag robot status 1 to 2'),
                (30, f'{RECORDS_MASK} is not a directory, fault recorder init failed')]:
            self.assertIn(expected, logged)


def is_sentinel(event):
    """The event of ParameterTest.set_sentinel()."""
    return not event['new_parameters'] and not event['deleted_parameters'] and \
        [p['name'] for p in event['changed_parameters']] == ['use_sim_time']


class ParameterTest(CliInteropCase):
    """param list/get/set/describe/dump and /parameter_events."""

    def ask(self, *args):
        """A param command's whole answer, once the CLI has found the node."""
        def attempt():
            status, out, err = ros2('param', *args, '--no-daemon')
            found = status is not None and 'Node not found' not in out + err
            return f'exit {status}\n{out}{err}' if found else None
        return poll(attempt, 'ros2 param ' + ' '.join(args))

    def set_sentinel(self):
        """A set every build accepts; its event marks a point in the event stream."""
        return self.ask('set', NODE, 'use_sim_time', 'false')

    def collect(self, label):
        with self.started(label):
            answers = run_all({
                'list': (self.ask, 'list', NODE),
                'dump': (self.ask, 'dump', NODE),
                'get': (self.ask, 'get', NODE, 'diag_event_list'),
                'get string': (self.ask, 'get', NODE, '12_description'),
                'get bool': (self.ask, 'get', NODE, 'use_sim_time'),
                'get undeclared': (self.ask, 'get', NODE, 'no_such_parameter'),
                'describe': (self.ask, 'describe', NODE, 'diag_event_list', 'diag_keep_his',
                             '11_description', 'use_sim_time', QOS_DEPTH),
            })
            with Background('topic', 'echo', '--no-daemon', '/parameter_events',
                            'rcl_interfaces/msg/ParameterEvent',
                            directory=self.scratch.path) as events:
                def node_events(out):
                    return [event for event in yaml_documents(out) if event['node'] == NODE]
                until_received(self.set_sentinel, events, node_events,
                               'a parameter event of the node')
                seen = len(node_events(events.output()))
                answers.update(run_all({
                    'set integer': (self.ask, 'set', NODE, 'diag_keep_his', '5'),
                    'set wrong type': (self.ask, 'set', NODE, 'ctrl_handle_space', 'lots'),
                    'set undeclared': (self.ask, 'set', NODE, 'no_such_parameter', '1'),
                    'set read-only': (self.ask, 'set', NODE, QOS_DEPTH, '10'),
                }))
                # Events come in order: all of the sets' come before the closing one.
                answers.update(run_all({
                    'get after set': (self.ask, 'get', NODE, 'diag_keep_his'),
                    'closing set': (self.set_sentinel,),
                }))
                later = node_events(events.wait_for(
                    lambda out: any(map(is_sentinel, node_events(out)[seen:])),
                    'the closing parameter event'))[seen:]
                closing = [is_sentinel(event) for event in later].index(True)
                # The sets ran side by side: their events may come in any order.
                answers['/parameter_events'] = sorted(
                    yaml.safe_dump({k: v for k, v in event.items() if k != 'stamp'})
                    for event in later[:closing])
        return answers

    def test_parameter_answers_match_genuine(self):
        genuine, layer = self.both()
        self.assertSameAnswers(genuine, layer)

        self.assertIn("Integer values are: array('q', [11, 12, 21])", layer['get'])
        self.assertIn('String value is: odometry stalled', layer['get string'])
        for name in ['diag_event_list', '12_root_cause', '21_root_cause_time_dis',
                     'fault_record_dir', 'use_sim_time']:
            self.assertIn('  ' + name + '\n', layer['list'])
        dumped = yaml.safe_load(layer['dump'].split('\n', 1)[1])
        self.assertEqual(dumped[NODE]['ros__parameters']['fault_record_dir'], RECORDS_MASK)


if __name__ == '__main__':
    if sys.argv[1:2] == ['--collect']:
        collect_in_child(*sys.argv[2:])
    else:
        unittest.main(verbosity=2)
