#!/usr/bin/env python3
"""Runs one group of the start-up corpus through the start-up probe built on
the client layer and on genuine ROS 2 Humble and compares the two reports.

    startup_differential_test.py <group>     (LAYER_PROBE, GENUINE_STARTUP_PROBE set)

A case passes when both reports are the same, or, for a case listed in
known_differences.yaml, when they differ as listed there; a listed case whose
reports agree fails, so that the list stays true. Exit status 0 when every
case passed.
"""
import difflib
import os
import re
import shlex
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


def load(name):
    with open(os.path.join(HERE, name), "rb") as stream:
        return yaml.safe_load(stream) or {}


def prepare(case, scratch):
    for name in case.get("dirs", []):
        os.mkdir(os.path.join(scratch, name))
    for name, content in case.get("files", {}).items():
        data = content if isinstance(content, bytes) else content.encode()
        with open(os.path.join(scratch, name), "wb") as stream:
            stream.write(data)
    args = case["args"].replace("{dir}", scratch).replace("{repo}", REPO)
    args = REPEAT.sub(lambda m: m.group(2) * int(m.group(1)), args)
    return shlex.split(args)


def run_probe(probe, args, scratch):
    """The probe's report, its exit status appended, scratch paths as {dir}."""
    try:
        done = subprocess.run(
            [probe] + args, cwd=scratch, capture_output=True, timeout=PROBE_TIMEOUT_S)
        status = str(done.returncode)
        stdout, stderr = done.stdout, done.stderr
    except subprocess.TimeoutExpired as timeout:
        status = "timeout"
        stdout, stderr = timeout.stdout or b"", timeout.stderr or b""
    report = stdout.decode(errors="backslashreplace").replace(scratch, "{dir}")
    report = SOURCE_LOCATION.sub("", report)
    return report + "exit: " + status + "\n", stderr.decode(errors="backslashreplace")


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


def run_case(group, name, case, known):
    with tempfile.TemporaryDirectory(prefix="startup_case_") as scratch:
        args = prepare(case, scratch)
        layer, layer_log = run_probe(os.environ["LAYER_PROBE"], args, scratch)
        genuine, genuine_log = run_probe(os.environ["GENUINE_STARTUP_PROBE"], args, scratch)
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
    results = [run_case(group, name, case, known) for name, case in corpus[group].items()]
    failed = results.count(False) + len(stale)
    print("%s: %d cases, %d failed" % (group, len(results), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
