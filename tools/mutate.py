#!/usr/bin/env python3
"""Breaks the program on purpose, one fault at a time, and tells which faults the tests miss.

The faults are listed in tools/mutations.txt. Each is applied alone to a scratch copy of the
working tree, the copy is rebuilt incrementally in one build folder that is kept between runs,
and the whole CTest suite runs until its first failure. A fault is CAUGHT when a test fails,
SURVIVED when all pass, STALE when its snippet is no longer in the file (or is there more than
once), and NO-BUILD when the faulty copy does not compile. A developer's tool, not run in CI.

    tools/mutate.py [--work DIR] [--jobs N] [--timeout SECONDS] [FAULT-NUMBER...]
"""

import argparse
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
FAULTS = ROOT / "tools" / "mutations.txt"


def unescape(text):
    return re.sub(r"\\([nt\\])", lambda m: {"n": "\n", "t": "\t"}.get(m[1], m[1]), text)


def read_faults(path):
    """Blocks of '== description', 'file: path', 'from: snippet', 'to: replacement'."""
    faults, fault = [], None
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        key, _, value = line.partition(" ")
        if key == "==":
            fault = {"title": value}
            faults.append(fault)
        elif key in ("file:", "from:", "to:") and fault is not None:
            fault[key[:-1]] = value if key == "file:" else unescape(value)
        else:
            sys.exit(f"{path}:{number}: cannot read '{line}'")
    for fault in faults:
        if not all(k in fault for k in ("file", "from", "to")):
            sys.exit(f"{path}: fault '{fault['title']}' lacks file:, from: or to:")
    return faults


def copy_tree(source):
    """Makes the scratch copy `source` hold the working tree's files, touching only those that
    differ, so that the build stays incremental."""
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                            check=True, capture_output=True).stdout.decode().split("\0")
    listed = set(filter(None, listed))
    if source.is_dir():  # files the tree no longer has go from the copy too
        for copy in [p for p in source.rglob("*") if p.is_file()]:
            if copy.relative_to(source).as_posix() not in listed:
                copy.unlink()
    for name in sorted(listed):
        origin, copy = ROOT / name, source / name
        if not origin.is_file():
            continue
        if copy.is_file() and copy.read_bytes() == origin.read_bytes():
            shutil.copymode(origin, copy)
            continue
        copy.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(origin, copy)  # the contents and the mode, with a new time stamp


def run(command, cwd, timeout, log):
    with open(log, "w") as out:
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return "timeout"


def first_failure(log):
    for line in pathlib.Path(log).read_text(errors="replace").splitlines():
        if "***Failed" in line or "***Timeout" in line or "***Exception" in line:
            return line.split("Test #", 1)[-1].split(":", 1)[-1].split()[0]
    return "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--work", default="/tmp/vorpa-mutate", help="scratch folder, kept")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=180, help="per test, in seconds")
    parser.add_argument("only", nargs="*", type=int, help="run only these faults (from 1)")
    args = parser.parse_args()

    faults = read_faults(FAULTS)
    work = pathlib.Path(args.work)
    source, build = work / "src", work / "build"
    copy_tree(source)
    configure = ["cmake", "-S", str(source), "-B", str(build), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    build_cmd = ["cmake", "--build", str(build), "-j", str(args.jobs)]
    ctest = ["ctest", "--stop-on-failure", "--timeout", str(args.timeout), "-j", str(args.jobs)]
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

    print("Building and testing the unchanged copy in", work, flush=True)
    if run(configure, work, 600, work / "configure.log") != 0 \
            or run(build_cmd, work, 3600, work / "build.log") != 0:
        sys.exit(f"the unchanged copy does not build: see {work}/build.log")
    if run(ctest, build, 3600, work / "test.log") != 0:
        sys.exit(f"the unchanged copy fails its tests: see {work}/test.log")

    results = {"CAUGHT": [], "SURVIVED": [], "STALE": [], "NO-BUILD": []}
    for number, fault in enumerate(faults, 1):
        if args.only and number not in args.only:
            continue
        target = source / fault["file"]
        original = target.read_text(encoding="utf-8") if target.is_file() else ""
        found = original.count(fault["from"])
        label = f"{number:3} {fault['title']} ({fault['file']})"
        if found != 1:
            results["STALE"].append(label + (" - snippet found twice" if found else ""))
            print("STALE   ", label, flush=True)
            continue
        started = time.monotonic()
        try:
            target.write_text(original.replace(fault["from"], fault["to"]), encoding="utf-8")
            if run(build_cmd, work, 1800, work / "build.log") != 0:
                verdict, detail = "NO-BUILD", ""
            elif run(ctest, build, 3600, work / "test.log") != 0:
                verdict, detail = "CAUGHT", " by " + first_failure(work / "test.log")
            else:
                verdict, detail = "SURVIVED", ""
        finally:
            target.write_text(original, encoding="utf-8")  # a new time stamp: rebuilt next
        results[verdict].append(label + detail)
        print(f"{verdict:8} {label}{detail} [{time.monotonic() - started:.0f} s]", flush=True)

    counted = len(results["CAUGHT"]) + len(results["SURVIVED"])
    print(f"\n{counted} faults applied: {len(results['CAUGHT'])} caught, "
          f"{len(results['SURVIVED'])} survived"
          + (f" ({100 * len(results['SURVIVED']) / counted:.0f} %)" if counted else "")
          + f"; {len(results['STALE'])} stale, {len(results['NO-BUILD'])} did not build.")
    for verdict in ("SURVIVED", "STALE", "NO-BUILD"):
        for label in results[verdict]:
            print(f"  {verdict}: {label}")
    return 1 if results["SURVIVED"] else 0


if __name__ == "__main__":
    sys.exit(main())
