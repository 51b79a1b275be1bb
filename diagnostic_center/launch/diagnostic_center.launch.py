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

"""Starts the diagnosis centre with a parameter file (default: the example one)."""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument
from launch.actions import OpaqueFunction
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node


def _node(context):
    parameters = [LaunchConfiguration('params_file')]
    # Given last, so that it wins over the parameter file's fault_record_dir.
    record_dir = LaunchConfiguration('fault_record_dir').perform(context)
    if record_dir:
        parameters.append({'fault_record_dir': record_dir})
    return [Node(
        package='diagnostic_center',
        executable='diagnostic_center',
        name='diagnostic_center',
        namespace=LaunchConfiguration('namespace'),
        parameters=parameters,
        output='screen')]


def generate_launch_description():
    default_params = os.path.join(
        get_package_share_directory('diagnostic_center'), 'config', 'diagnostic_center.yaml')
    return LaunchDescription([
        DeclareLaunchArgument(
            'params_file', default_value=default_params,
            description='Parameter file with the fault table and the node settings'),
        DeclareLaunchArgument(
            'namespace', default_value='',
            description='Namespace of the node and its topics and service'),
        DeclareLaunchArgument(
            'fault_record_dir', default_value='',
            description="Directory of the fault-record files; empty: the parameter file's"),
        OpaqueFunction(function=_node),
    ])
