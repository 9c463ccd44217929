#!/usr/bin/env python3
"""Times zanvo-cli against its peers on the archives of make_archives.py.

    python3 bench/bench.py --cli build/release/cli/zanvo-cli [--runs 5] [--archives build/bench]

Exit status: 0 when every target is met, 3 when one is missed, 1 when a tool gave a wrong
result (nothing is reported then).

Every command runs once to warm the page cache, then the tools take turns, run after run, so
that a slow spell of the machine falls on all of them alike. Each run goes through GNU time for
its CPU time and peak memory, and its output is checked before its time counts: a broken run
must never pass for a fast one. The table gives medians and the ratio zanvo-cli / peer.

A work is a list of commands over one archive; later works (install, more peers) add entries
to WORKS and, where they need it, a prepare step that gives each run a fresh target folder.
"""

import argparse
import json
import math
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Optional

GNU_TIME = "/usr/bin/time"
MIB = 1024 * 1024
MEMORY_TARGET_MIB = 32
MAX_RUNS = 101


@dataclass
class Outcome:
    status: int
    stdout: Path
    stderr: Path
    wall: float
    cpu: float
    peak_kib: int


@dataclass
class Command:
    tool: str
    argv: list
    check: Callable[[Outcome], Optional[str]]  # the reason the output is wrong, or None


@dataclass
class Work:
    name: str
    archive: str
    commands: list  # zanvo-cli first, then its peers
    target: Optional[float] = None  # the largest allowed ratio zanvo-cli / fastest peer
    runs: int = 0
    walls: dict = field(default_factory=dict)
    cpus: dict = field(default_factory=dict)
    peaks: dict = field(default_factory=dict)


# --------------------------------------------------------------------------------------------
# What each archive holds, read independently of the tools under test.

@dataclass
class Expected:
    entries: int
    files: list
    directories: int


def expected_content(path):
    with zipfile.ZipFile(path) as archive:
        infos = archive.infolist()
    files = sorted(i.filename for i in infos if not i.is_dir())
    return Expected(len(infos), files, sum(1 for i in infos if i.is_dir()))


def read_text(path):
    return path.read_text(encoding="utf-8", errors="replace")


def check_zanvo_test(expected):
    def check(outcome):
        if outcome.status != 0:
            return f"exit status {outcome.status}"
        lines = read_text(outcome.stdout).splitlines()
        bad = [line for line in lines if not line.endswith("\tOK")]
        if bad:
            return f"{len(bad)} entries not OK, first: {bad[0]!r}"
        tested = sorted(line[:-3].replace("\\", "/") for line in lines)
        if tested != expected.files:
            return f"tested {len(tested)} files, the archive holds {len(expected.files)}"
        return None
    return check


def check_unzip_test(expected):
    def check(outcome):
        if outcome.status != 0:
            return f"exit status {outcome.status}"
        if "No errors detected" not in read_text(outcome.stdout):
            return "no 'No errors detected' line"
        return None
    return check


def check_zanvo_list(expected):
    def check(outcome):
        if outcome.status != 0:
            return f"exit status {outcome.status}"
        lines = read_text(outcome.stdout).splitlines()
        if len(lines) != expected.entries:
            return f"{len(lines)} lines for {expected.entries} entries"
        kinds = [line.rsplit("\t", 1)[-1] for line in lines]
        indexes = [line.split("\t", 1)[0] for line in lines]
        if indexes != [str(i) for i in range(expected.entries)]:
            return "indexes are not 0 to n-1 in order"
        if kinds.count("D") != expected.directories or kinds.count("F") != len(expected.files):
            return f"{kinds.count('D')} folders and {kinds.count('F')} files listed"
        return None
    return check


def check_unzip_list(expected):
    def check(outcome):
        if outcome.status != 0:
            return f"exit status {outcome.status}"
        lines = read_text(outcome.stdout).rstrip("\n").splitlines()
        total = lines[-1].split() if lines else []
        if len(total) < 3 or total[-1] != "files" or total[-2] != str(expected.entries):
            return f"last line {lines[-1] if lines else ''!r}, expected {expected.entries} files"
        return None
    return check


def make_works(cli, archives, names):
    works = []
    for name in names:
        path = str(archives / name)
        expected = expected_content(path)
        works.append(Work("test", name, [
            Command("zanvo-cli", [cli, "test", path], check_zanvo_test(expected)),
            Command("unzip", ["unzip", "-tq", path], check_unzip_test(expected)),
        ], target=1.0))
        works.append(Work("list", name, [
            Command("zanvo-cli", [cli, "list", path], check_zanvo_list(expected)),
            Command("unzip", ["unzip", "-l", path], check_unzip_list(expected)),
        ], target=1.0 if expected.entries >= 10_000 else None))
    return works


# --------------------------------------------------------------------------------------------

def run_once(command, scratch):
    stdout = scratch / "stdout"
    stderr = scratch / "stderr"
    measures = scratch / "time"
    with open(stdout, "wb") as out, open(stderr, "wb") as err:
        started = time.perf_counter()
        process = subprocess.Popen([GNU_TIME, "-o", str(measures), "-f", "%M", "--"]
                                   + command.argv, stdout=out, stderr=err,
                                   stdin=subprocess.DEVNULL)
        # wait4 gives CPU time to the microsecond; GNU time's own figures stop at 10 ms.
        _, wait_status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - started
        process.returncode = os.waitstatus_to_exitcode(wait_status)
    # GNU time writes "Command exited with non-zero status N" before the figure.
    peak = read_text(measures).strip().splitlines()[-1]
    return Outcome(process.returncode, stdout, stderr, wall, usage.ru_utime + usage.ru_stime,
                   int(peak))


def run_checked(command, scratch, label):
    outcome = run_once(command, scratch)
    problem = command.check(outcome)
    if problem:
        error = read_text(outcome.stderr).strip()[:500]
        raise SystemExit(f"{label}: {command.tool} gave a wrong result ({problem})"
                         + (f"\n  stderr: {error}" if error else ""))
    return outcome


def measure(works, runs, min_seconds, scratch, progress):
    for work in works:
        label = f"{work.name} {work.archive}"
        slowest = 0.0
        for command in work.commands:
            # The warm-up run fills the page cache and is not counted.
            slowest = max(slowest, run_checked(command, scratch, label).wall)
            work.walls[command.tool] = []
            work.cpus[command.tool] = []
            work.peaks[command.tool] = 0
        # A command of a few hundredths of a second is at the mercy of one preemption, so it
        # runs more often: at least min_seconds in all, up to MAX_RUNS.
        work.runs = max(runs, min(MAX_RUNS, math.ceil(min_seconds / max(slowest, 1e-3))))
        for r in range(work.runs):
            # The first tool of a round alternates, so none always runs right after another.
            order = work.commands[r % len(work.commands):] + work.commands[:r % len(work.commands)]
            for command in order:
                outcome = run_checked(command, scratch, label)
                work.walls[command.tool].append(outcome.wall)
                work.cpus[command.tool].append(outcome.cpu)
                work.peaks[command.tool] = max(work.peaks[command.tool], outcome.peak_kib)
        if progress:
            figures = ", ".join(f"{tool} {statistics.median(w):.3f} s"
                                for tool, w in work.walls.items())
            print(f"  {label}: {figures}", file=sys.stderr)


def seconds(value):
    return f"{value:.3f}" if value < 10 else f"{value:.2f}"


def table(works):
    rows = ["| work | archive | runs | zanvo-cli s | unzip s | ratio | target "
            "| CPU s zanvo-cli / unzip | CPU ratio | peak MiB zanvo-cli / unzip | verdict |",
            "|---|---|---|---|---|---|---|---|---|---|---|"]
    verdicts = []
    for work in works:
        zanvo = work.commands[0].tool
        peers = [c.tool for c in work.commands[1:]]
        wall = {t: statistics.median(v) for t, v in work.walls.items()}
        cpu = {t: statistics.median(v) for t, v in work.cpus.items()}
        fastest = min(peers, key=lambda t: wall[t])
        ratio = wall[zanvo] / wall[fastest]
        cpu_ratio = cpu[zanvo] / min(cpu[t] for t in peers)
        peak = work.peaks[zanvo] / 1024
        ok_time = work.target is None or ratio <= work.target
        ok_memory = peak < MEMORY_TARGET_MIB
        verdict = "met" if ok_time and ok_memory else "MISSED"
        if not ok_time:
            verdict += " (time)"
        if not ok_memory:
            verdict += " (memory)"
        verdicts.append(ok_time and ok_memory)
        rows.append(
            f"| {work.name} | {work.archive} | {work.runs} | {seconds(wall[zanvo])} | "
            + " / ".join(seconds(wall[t]) for t in peers)
            + f" | {ratio:.2f}x | {f'<= {work.target:.1f}x' if work.target else '-'}, "
            f"< {MEMORY_TARGET_MIB} MiB | {cpu[zanvo]:.3f} / "
            + " / ".join(f"{cpu[t]:.3f}" for t in peers)
            + f" | {cpu_ratio:.2f}x | {peak:.1f} / "
            + " / ".join(f"{work.peaks[t] / 1024:.1f}" for t in peers)
            + f" | {verdict} |")
    return "\n".join(rows), all(verdicts)


def tool_version(argv):
    try:
        out = subprocess.run(argv, capture_output=True, text=True, timeout=10).stdout
        return out.strip().splitlines()[0] if out.strip() else "?"
    except (OSError, subprocess.SubprocessError):
        return "?"


def describe_machine(cli, archives, names):
    cpu = "?"
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    root = Path(__file__).resolve().parent.parent
    commit = subprocess.run(["git", "-C", str(root), "describe", "--always", "--dirty"],
                            capture_output=True, text=True).stdout.strip() or "?"
    lines = [f"- machine: {cpu}, {os.cpu_count()} cores, {platform.system()} "
             f"{platform.release()}",
             f"- zanvo-cli: commit {commit}; peers: {tool_version(['unzip', '-v'])}"]
    manifest = archives / "manifest.json"
    stats = json.loads(manifest.read_text())["archives"] if manifest.exists() else {}
    for name in names:
        s = stats.get(name)
        size = os.path.getsize(archives / name) / MIB
        if s:
            lines.append(f"- {name}: {size:.0f} MiB, {s['files']:,} files and "
                         f"{s['directories']:,} folders, {s['uncompressed_bytes'] / MIB:.0f} MiB "
                         f"out, {s['stored']:,} stored, sha256 {s['sha256'][:16]}")
        else:
            lines.append(f"- {name}: {size:.0f} MiB")
    return lines


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", default=str(root / "build/release/cli/zanvo-cli"))
    parser.add_argument("--archives", default=str(root / "build/bench"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--min-seconds", type=float, default=3.0,
                        help="run short commands more often, until each has run this long")
    parser.add_argument("--only", action="append", default=[],
                        help="keep only the works whose 'work archive' label contains this")
    parser.add_argument("--output", help="also write the report to this file")
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    for tool in (GNU_TIME, args.cli):
        if not os.access(tool, os.X_OK):
            parser.error(f"{tool} is missing")
    if not shutil.which("unzip"):
        parser.error("unzip is missing")

    archives = Path(args.archives)
    names = ["map-pack.zip", "small-files.zip"]
    cli = str(Path(args.cli).resolve())
    works = [w for w in make_works(cli, archives, names)
             if not args.only or any(o in f"{w.name} {w.archive}" for o in args.only)]
    load_before = os.getloadavg()[0]
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="zanvo-bench-") as scratch:
        measure(works, args.runs, args.min_seconds, Path(scratch), progress=True)
    load_after = os.getloadavg()[0]

    rows, all_met = table(works)
    report = [f"Median of at least {args.runs} runs after a warm-up run (commands under "
              f"{args.min_seconds / args.runs:.1f} s run until {args.min_seconds:.0f} s), tools "
              f"taking turns; ratio = zanvo-cli / unzip, wall-clock time; peak = maximum RSS "
              f"over all runs "
              f"({time.strftime('%Y-%m-%d')}, {time.monotonic() - started:.0f} s in all).", ""]
    report += describe_machine(cli, archives, names)
    report.append(f"- load average: {load_before:.2f} before, {load_after:.2f} after")
    if max(load_before, load_after) > (os.cpu_count() or 1) * 0.5:
        report.append("- warning: other work was running; wall times are noisy, CPU times "
                      "less so")
    report += ["", rows, "", "All targets met." if all_met else "Some targets were missed."]
    text = "\n".join(report)
    print(text)
    if args.output:
        Path(args.output).write_text(text + "\n")
    return 0 if all_met else 3


if __name__ == "__main__":
    sys.exit(main())
