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

"""Runs one group of the start-up corpus through the start-up probe built on
the client layer and on genuine ROS 2 Humble and compares the two reports.

    startup_differential_test.py <group>     (LAYER_PROBE, GENUINE_STARTUP_PROBE set)

A case passes when both reports are the same, or, for a case listed in
known_differences.yaml, when they differ as listed there; a listed case whose
reports agree fails, so that the list stays true. Exit status 0 when every
case passed.

Cases that use {keystore} get a DDS Security keystore made once for the
group by genuine `ros2 security` (through IN_HUMBLE) for ROS_DOMAIN_ID, with
the enclaves the group's cases list.
"""
import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
PROBE_TIMEOUT_S = 120

# rcl appends where in its sources an error was set; that differs by build.
SOURCE_LOCATION = re.compile(r", at [^\s,]+:\d+")
# "{300xa}" in a case's args: 300 times "a".
REPEAT = re.compile(r"\{(\d+)x(\w)\}")
# The inner reason of a refusal: what follows "Error: " in its line.
INNER_REASON = re.compile(r"^(refused [^\n]*?\. Error: ).*$", re.MULTILINE)
# Log lines as the probes print them (LOG_FORMAT), for a case's "log".
LOG_FORMAT = "[{severity}] [{name}]: {message}"
LOG_LINE = re.compile(r"^\[(\w+)\] \[([^\]]*)\]: (.*)$")
# Security settings come from the case alone, never from the caller.
SECURITY_VARIABLES = ("ROS_SECURITY_ENABLE", "ROS_SECURITY_STRATEGY", "ROS_SECURITY_KEYSTORE",
                      "ROS_SECURITY_ENCLAVE_OVERRIDE")


def load(name):
    with open(os.path.join(HERE, name), "rb") as stream:
        return yaml.safe_load(stream) or {}


def make_keystore(group_cases, scratch):
    """The group's keystore in scratch, or None when no case uses one."""
    if not any("{keystore}" in repr(case) for case in group_cases.values()):
        return None
    keystore = os.path.join(scratch, "keystore")
    enclaves = sorted({e for case in group_cases.values() for e in case.get("enclaves", [])})
    in_humble = os.environ["IN_HUMBLE"]
    subprocess.run([in_humble, "ros2", "security", "create_keystore", keystore],
                   check=True, capture_output=True)
    for enclave in enclaves:
        subprocess.run([in_humble, "ros2", "security", "create_enclave", keystore, enclave],
                       check=True, capture_output=True)
    return keystore


def substitute(text, scratch, keystore):
    text = text.replace("{dir}", scratch).replace("{repo}", REPO)
    if keystore:
        text = text.replace("{keystore}", keystore)
    return REPEAT.sub(lambda m: m.group(2) * int(m.group(1)), text)


def prepare(case, scratch, keystore):
    """The case's command line and environment, its files made."""
    for name in case.get("dirs", []):
        os.mkdir(os.path.join(scratch, name))
    for name, content in case.get("files", {}).items():
        data = content if isinstance(content, bytes) else content.encode()
        with open(os.path.join(scratch, name), "wb") as stream:
            stream.write(data)
    env = {k: v for k, v in os.environ.items() if k not in SECURITY_VARIABLES}
    env.update(RCUTILS_CONSOLE_OUTPUT_FORMAT=LOG_FORMAT, RCUTILS_COLORIZED_OUTPUT="0")
    for name, value in case.get("env", {}).items():
        env[name] = substitute(str(value), scratch, keystore)
    return shlex.split(substitute(case["args"], scratch, keystore)), env


def log_lines(stderr, loggers):
    """The lines of these loggers, as "log [SEVERITY] [name]: message"."""
    lines = []
    for line in stderr.splitlines():
        match = LOG_LINE.match(line)
        if match and match.group(2) in loggers:
            lines.append("log " + line + "\n")
    return "".join(lines)


def run_probe(probe, args, env, scratch, keystore, loggers):
    """The probe's report, the case's log lines and its exit status appended,
    scratch paths as {dir}, the keystore as {keystore}."""
    try:
        done = subprocess.run(
            [probe] + args, cwd=scratch, env=env, capture_output=True, timeout=PROBE_TIMEOUT_S)
        status = str(done.returncode)
        stdout, stderr = done.stdout, done.stderr
    except subprocess.TimeoutExpired as timeout:
        status = "timeout"
        stdout, stderr = timeout.stdout or b"", timeout.stderr or b""
    stderr = stderr.decode(errors="backslashreplace")
    report = stdout.decode(errors="backslashreplace") + log_lines(stderr, loggers)
    if keystore:
        report = report.replace(keystore, "{keystore}")
    report = SOURCE_LOCATION.sub("", report.replace(scratch, "{dir}"))
    return report + "exit: " + status + "\n", stderr


def check_known_difference(case_id, known, layer, genuine):
    """A listed case must still differ; with "compare: outer_message" the two
    must agree once each refusal's inner reason is dropped."""
    if layer == genuine:
        print("FAIL %s: listed as a known difference, but both agree:\n%s" % (case_id, layer))
        return False
    if known["compare"] == "outer_message":
        layer_outer = INNER_REASON.sub(r"\1<reason>", layer)
        genuine_outer = INNER_REASON.sub(r"\1<reason>", genuine)
        if layer_outer != genuine_outer:
            diff = difflib.unified_diff(
                genuine_outer.splitlines(True), layer_outer.splitlines(True), "genuine", "layer")
            print("FAIL %s: differs beyond the inner reason\n%s" % (case_id, "".join(diff)))
            return False
    elif known["compare"] != "none":
        print("FAIL %s: compare must be outer_message or none" % case_id)
        return False
    print("known difference  %s: %s" % (case_id, known["reason"].strip()))
    return True


def run_case(group, name, case, known, keystore):
    with tempfile.TemporaryDirectory(prefix="startup_case_") as scratch:
        args, env = prepare(case, scratch, keystore)
        loggers = case.get("log", [])
        layer, layer_log = run_probe(
            os.environ["LAYER_PROBE"], args, env, scratch, keystore, loggers)
        genuine, genuine_log = run_probe(
            os.environ["GENUINE_STARTUP_PROBE"], args, env, scratch, keystore, loggers)
    case_id = group + "/" + name
    if case_id in known:
        return check_known_difference(case_id, known[case_id], layer, genuine)
    if layer == genuine:
        print("same  %s" % case_id)
        return True
    diff = difflib.unified_diff(
        genuine.splitlines(True), layer.splitlines(True), "genuine", "layer")
    print("FAIL %s: the reports differ (args: %s)\n%s" % (case_id, case["args"], "".join(diff)))
    print("  layer stderr:\n" + layer_log + "  genuine stderr:\n" + genuine_log)
    return False


def main():
    group = sys.argv[1]
    corpus = load("corpus.yaml")
    known = load("known_differences.yaml")
    if group not in corpus:
        print("no group %r in corpus.yaml (groups: %s)" % (group, ", ".join(corpus)))
        return 2
    stale = [k for k in known if k.split("/")[0] == group and k.split("/")[1] not in corpus[group]]
    for case_id in stale:
        print("FAIL %s: known_differences.yaml names a case the corpus does not have" % case_id)
    keystore_dir = tempfile.mkdtemp(prefix="startup_keystore_")
    try:
        keystore = make_keystore(corpus[group], keystore_dir)
        results = [run_case(group, name, case, known, keystore)
                   for name, case in corpus[group].items()]
    finally:
        shutil.rmtree(keystore_dir)
    failed = results.count(False) + len(stale)
    print("%s: %d cases, %d failed" % (group, len(results), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
