"""Starts the diagnosis centre with a parameter file (default: the example one)."""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node


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
        Node(
            package='diagnostic_center',
            executable='diagnostic_center',
            name='diagnostic_center',
            namespace=LaunchConfiguration('namespace'),
            parameters=[LaunchConfiguration('params_file')],
            output='screen'),
    ])
