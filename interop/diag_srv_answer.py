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

"""The query service's answer as the genuine `ros2 service call` prints it.

`ros2 service call /diagnostic_srv ...` prints the response's fields, the
serialized diag_srv.DiagSrvResp in `data` as a Python string literal.
load_diag_srv_pb2() compiles the payload's schema (DIAG_SRV_PROTO, with
PROTOC, both from the environment interop/CMakeLists.txt sets) into a
directory and imports it; root_causes() decodes an answer with it.
"""

import ast
import importlib
import os
import re
import subprocess
import sys

_RESPONSE = re.compile(r"response:\n.*\(result=(\d+), data=('.*'|\".*\")\)")


def load_diag_srv_pb2(directory):
    """The generated diag_srv_pb2 module, compiled into `directory`."""
    proto = os.environ['DIAG_SRV_PROTO']
    subprocess.run([os.environ['PROTOC'], '--proto_path', os.path.dirname(proto),
                    '--python_out', directory, proto], check=True)
    sys.path.insert(0, directory)
    try:
        return importlib.import_module('diag_srv_pb2')
    finally:
        sys.path.remove(directory)


def root_causes(call_output, diag_srv_pb2):
    """(result, root causes) of the response in call_output, or None without one."""
    response = _RESPONSE.search(call_output)
    if response is None:
        return None
    payload = ast.literal_eval(response.group(2)).encode('utf-8')
    return int(response.group(1)), list(diag_srv_pb2.DiagSrvResp.FromString(payload).root_cause_list)
