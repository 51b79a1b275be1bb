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

"""UDP both ways across a lab link, without DDS: what interop.network.forwarder sends.

    udp_probe.py echo ADDRESS GROUP PORT
        answers every datagram to its sender; listens on PORT for unicast to
        ADDRESS and for the multicast GROUP joined on ADDRESS's link
    udp_probe.py ping LOCAL DESTINATION PORT COUNT WAIT_S
        sends COUNT numbered datagrams to DESTINATION (an address or the
        group) from LOCAL, and prints how many came back within WAIT_S
"""

import socket
import sys
import time


def echo(address, group, port):
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(('', port))
    membership = socket.inet_aton(group) + socket.inet_aton(address)
    server.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, membership)
    print('echo ready', flush=True)
    while True:
        data, sender = server.recvfrom(2048)
        server.sendto(data, sender)


def ping(local, destination, port, count, wait_s):
    client = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    client.bind((local, 0))
    client.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(local))
    for number in range(count):
        client.sendto(f'probe {number}'.encode(), (destination, port))
    answered = set()
    deadline = time.monotonic() + wait_s
    while len(answered) < count and time.monotonic() < deadline:
        client.settimeout(max(0.01, deadline - time.monotonic()))
        try:
            answered.add(client.recv(2048))
        except socket.timeout:
            break
    print(f'answered {len(answered)} of {count}', flush=True)


if __name__ == '__main__':
    if sys.argv[1:2] == ['echo']:
        echo(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        ping(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6]))
