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

"""The two builds whose processes the tests across hosts run: layer-built and genuine.

A Build knows its node and diagctl and gives the environment a process of it
needs on a lab host: DDS in Humble's default configuration (no
CYCLONEDDS_URI) unless the scenario names one, ROS_LOCALHOST_ONLY only when
asked, and DDS Security when a keystore is given. The genuine environment is
the Humble install and the workspace sourced, as in_humble does, but without
in_humble's loopback CYCLONEDDS_URI: on a lab host there is no other network
to keep off.

Taken from the environment (interop/CMakeLists.txt sets it):
  LAYER_NODE, LAYER_DIAGCTL, RAISE_STREAM, LINK_FORWARDER   layer-built binaries
  HUMBLE_ENV_SH, HUMBLE_WORKSPACE                          the genuine install and workspace
"""

import dataclasses
import functools
import os
import subprocess

# What decides which network a process meets; set per process, never inherited.
DDS_VARIABLES = ('CYCLONEDDS_URI', 'ROS_LOCALHOST_ONLY', 'ROS_DOMAIN_ID', 'ROS_SECURITY_KEYSTORE',
                 'ROS_SECURITY_ENABLE', 'ROS_SECURITY_STRATEGY', 'ROS_SECURITY_ENCLAVE_OVERRIDE')


@dataclasses.dataclass(frozen=True)
class Security:
    """DDS Security for one process: the keystore and the enclave it runs as."""

    keystore: str
    enclave: str

    def variables(self):
        return {'ROS_SECURITY_KEYSTORE': self.keystore, 'ROS_SECURITY_ENABLE': 'true',
                'ROS_SECURITY_STRATEGY': 'Enforce', 'ROS_SECURITY_ENCLAVE_OVERRIDE': self.enclave}


@dataclasses.dataclass(frozen=True)
class Build:
    label: str
    node: str
    diagctl: str
    base_environment: dict

    def env(self, log_dir, domain=None, cyclonedds_uri=None, localhost_only=False,
            security=None):
        """The environment of one process of this build on a lab host; no domain: the default."""
        env = {k: v for k, v in self.base_environment.items() if k not in DDS_VARIABLES}
        env.update(ROS_LOG_DIR=log_dir, ROS_HOME=log_dir, TZ='UTC', PYTHONUNBUFFERED='1')
        if domain is not None:
            env['ROS_DOMAIN_ID'] = str(domain)
        if cyclonedds_uri is not None:
            env['CYCLONEDDS_URI'] = cyclonedds_uri
        if localhost_only:
            env['ROS_LOCALHOST_ONLY'] = '1'
        if security is not None:
            env.update(security.variables())
        return env


def layer():
    env = dict(os.environ)
    # The layer's binaries need none of Humble's libraries.
    env.pop('LD_LIBRARY_PATH', None)
    return Build('layer', os.environ['LAYER_NODE'], os.environ['LAYER_DIAGCTL'], env)


@functools.lru_cache(maxsize=None)
def _humble_environment():
    """os.environ with the Humble install and the workspace sourced."""
    script = 'set -e; source "$1"; source "$2/install/setup.bash"; env -0'
    done = subprocess.run(
        ['bash', '-c', script, 'humble_env', os.environ['HUMBLE_ENV_SH'],
         os.environ['HUMBLE_WORKSPACE']], capture_output=True, check=True)
    pairs = (entry.split('=', 1) for entry in done.stdout.decode().split('\0') if '=' in entry)
    return dict(pairs)


def genuine():
    install = os.path.join(os.environ['HUMBLE_WORKSPACE'], 'install')
    node = os.path.join(install, 'diagnostic_center/lib/diagnostic_center/diagnostic_center')
    diagctl = os.path.join(install, 'diagctl/lib/diagctl/diagctl')
    return Build('genuine', node, diagctl, _humble_environment())


def by_label(label):
    return {'layer': layer, 'genuine': genuine}[label]()


def raise_stream():
    return os.environ['RAISE_STREAM']


def link_forwarder():
    return os.environ['LINK_FORWARDER']
