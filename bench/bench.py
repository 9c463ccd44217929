#!/usr/bin/env python3
"""Times zanvo-cli against its peers on the archives of make_archives.py.

    python3 bench/bench.py --cli build/release/cli/zanvo-cli [--runs 5] [--archives build/bench]

Exit status: 0 when every target is met, 3 when one is missed, 1 when a tool gave a wrong
result (nothing is reported then).

Every command runs once to warm the page cache, then the tools take turns, run after run, so
that a slow spell of the machine falls on all of them alike. Each run goes through GNU time for
its CPU time and peak memory, and its output is checked before its time counts: a broken run
must never pass for a fast one. The table gives medians and the ratio zanvo-cli / peer.

A work is a list of commands over one archive. Install commands write into a new, empty
target folder on the archives' disk for every run. The file system is synced before the clock
starts, so that no run pays for the write-back of another. Folders are removed only when the
work is over (or when the disk runs short), and the next install waits until the deleted
inodes may be reused: ext4 without a journal passes over the inodes freed in the last minute,
one by one, on every file it creates, which made a run after a deletion several times slower.
More peers (bsdtar, 7z) are more commands in a work, each with its own check.
"""

import argparse
import collections
import functools
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
import zlib
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Optional

GNU_TIME = "/usr/bin/time"
MIB = 1024 * 1024
GIB = 1024 * MIB
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


# ext4 without a journal does not reuse an inode freed less than 60 seconds ago (300 more
# while its inode table block is dirty; the removal syncs); one second more for the clock.
INODE_REUSE_DELAY = 61


class TargetFolders:
    """A new, empty target folder for every run of one command, all under one base folder."""

    last_deletion = None  # monotonic time of the last removal, shared by all commands

    def __init__(self, base, output_bytes):
        self.base = Path(base)
        self.output_bytes = output_bytes
        self.runs = 0
        self.path = None

    def prepare(self):
        self.base.mkdir(parents=True, exist_ok=True)
        if shutil.disk_usage(self.base).free < 2 * self.output_bytes + GIB:
            self.remove()
        # Write the previous runs' files out now, not during this run.
        os.sync()
        if TargetFolders.last_deletion is not None:
            wait = TargetFolders.last_deletion + INODE_REUSE_DELAY - time.monotonic()
            if wait > 0:
                time.sleep(wait)
            TargetFolders.last_deletion = None
        self.runs += 1
        self.path = self.base / f"run-{self.runs}"
        self.path.mkdir(parents=True)

    def remove(self):
        if self.base.exists():
            shutil.rmtree(self.base)
            os.sync()
            TargetFolders.last_deletion = time.monotonic()


TARGET = object()  # stands in an argv for the target folder of the run


@dataclass
class Command:
    tool: str
    argv: list
    check: Callable[[Outcome], Optional[str]]  # the reason the output is wrong, or None
    target: Optional[TargetFolders] = None  # a new folder for every run, made outside the timing

    def arguments(self):
        return [str(self.target.path) if a is TARGET else a for a in self.argv]


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
    contents: dict  # file path -> (size, CRC-32), from the central directory


def expected_content(path):
    with zipfile.ZipFile(path) as archive:
        infos = archive.infolist()
    files = sorted(i.filename for i in infos if not i.is_dir())
    contents = {i.filename: (i.file_size, i.CRC) for i in infos if not i.is_dir()}
    return Expected(len(infos), files, sum(1 for i in infos if i.is_dir()), contents)


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


def written_files(folder):
    """Every file under folder: its path relative to folder, with '/', -> (size, CRC-32)."""
    found = {}
    for directory, _, names in os.walk(folder):
        for name in names:
            path = Path(directory, name)
            crc = 0
            with open(path, "rb") as f:
                while block := f.read(1 << 20):
                    crc = zlib.crc32(block, crc)
            found[path.relative_to(folder).as_posix()] = (path.stat().st_size, crc)
    return found


def base_name(path):
    return path.replace("\\", "/").rsplit("/", 1)[-1].lower()


def summary(files):
    return f"{len(files):,} files, {sum(size for size, _ in files.values()):,} bytes"


def check_unzip_install(expected, target):
    def check(outcome):
        if outcome.status != 0:
            return f"exit status {outcome.status}"
        written = written_files(target.path)
        if written != expected.contents:
            missing = sorted(set(expected.contents) - set(written))
            wrong = sorted(p for p in expected.contents
                           if p in written and written[p] != expected.contents[p])
            return (f"{summary(written)} written for {summary(expected.contents)}; "
                    f"{len(missing)} missing, {len(wrong)} with wrong bytes")
        return None
    return check


@functools.cache
def planned_destinations(cli, path):
    """Where zanvo-cli's own plan command puts each file, with sorting on: folded paths."""
    result = subprocess.run([cli, "plan", "--sort", "--language", "english", path],
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"zanvo-cli plan {path}: exit status {result.returncode}")
    return {fields[2].lower() for fields in (line.split("\t") for line in
                                             result.stdout.splitlines())
            if fields[2] != "skip"}


def check_zanvo_install(expected, target, archive_name, plan_of, config):
    # Sorting leaves .db files (Thumbs.db) out and sends files of different folders to one
    # place; the first one stays there and the report names each later one as not replaced.
    kept = {p: c for p, c in expected.contents.items() if not base_name(p).endswith(".db")}
    by_name = collections.defaultdict(collections.Counter)
    for path, content in kept.items():
        by_name[base_name(path)][content] += 1
    ok_line = f"{archive_name} : Ok"
    not_replaced = f"{archive_name} : {{}} -> Existing file not replaced"

    def check(outcome):
        if outcome.status != 0:
            return f"exit status {outcome.status}"
        if read_text(outcome.stderr).strip() != "Done.":
            return f"final status {read_text(outcome.stderr).strip()[-200:]!r}, not 'Done.'"
        # The report's CRLF line ends are part of it: read it without newline translation.
        report = outcome.stdout.read_bytes().decode("utf-8", errors="replace")
        if not report.endswith("\r\n"):
            return "the report does not end with CRLF"
        lines = report[:-2].split("\r\n")
        if lines.count(ok_line) != 1 or lines[-1] != ok_line:
            return f"the report does not end with one {ok_line!r} line"
        head, tail = not_replaced.split("{}")
        others = [line for line in lines[:-1] if not (line.startswith(head)
                                                      and line.endswith(tail))]
        if others:
            return f"{len(others)} unexpected report lines, first: {others[0]!r}"
        refused = collections.Counter(line[len(head):-len(tail)].lower() for line in lines[:-1])
        if any(Path(config).iterdir()):
            return "it wrote settings"
        written = written_files(target.path)
        plan = plan_of()
        places = {p.lower() for p in written}
        if places != plan:
            return (f"{len(places - plan):,} of {len(written):,} files written where plan puts "
                    f"none, {len(plan - places):,} of its {len(plan):,} places left empty")
        if any(not p.lower().startswith("maps/") or p.count("/") != 1
               for p in written if p.lower().endswith(".bsp")):
            return "a .bsp file outside maps/: sorting was off"
        # Each name: files written + entries not replaced = entries; every file written holds
        # the bytes of one of the entries of its name.
        if len(written) + sum(refused.values()) != len(kept):
            return (f"{summary(written)} written and {sum(refused.values())} not replaced "
                    f"for {len(kept):,} entries (Thumbs.db left out)")
        got = collections.defaultdict(collections.Counter)
        for path, content in written.items():
            got[base_name(path)][content] += 1
        for name, contents in got.items():
            if contents - by_name.get(name, collections.Counter()):
                return f"a file {name!r} whose size or CRC-32 matches no entry of that name"
            if sum(contents.values()) + refused[name] != sum(by_name[name].values()):
                return f"{name!r}: {sum(contents.values())} written, {refused[name]} not replaced"
        if set(refused) - set(got):
            return f"{sorted(set(refused) - set(got))[0]!r} not replaced, but never written"
        return None
    return check


def make_works(cli, archives, names, targets, config):
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
        output_bytes = sum(size for size, _ in expected.contents.values())
        zanvo_target = TargetFolders(targets / f"{name}.zanvo-cli", output_bytes)
        unzip_target = TargetFolders(targets / f"{name}.unzip", output_bytes)
        works.append(Work("install", name, [
            Command("zanvo-cli", [cli, "install", "--yes", "--language", "english", path,
                                  TARGET],
                    check_zanvo_install(expected, zanvo_target, name,
                                        lambda path=path: planned_destinations(cli, path),
                                        config),
                    zanvo_target),
            Command("unzip", ["unzip", "-o", "-q", path, "-d", TARGET],
                    check_unzip_install(expected, unzip_target), unzip_target),
        ], target=1.0))
    return works


# --------------------------------------------------------------------------------------------

def run_once(command, scratch):
    stdout = scratch / "stdout"
    stderr = scratch / "stderr"
    measures = scratch / "time"
    with open(stdout, "wb") as out, open(stderr, "wb") as err:
        started = time.perf_counter()
        process = subprocess.Popen([GNU_TIME, "-o", str(measures), "-f", "%M", "--"]
                                   + command.arguments(), stdout=out, stderr=err,
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
    if command.target:
        command.target.prepare()
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
        for command in work.commands:
            if command.target:
                command.target.remove()
        if progress:
            figures = ", ".join(f"{tool} {statistics.median(w):.3f} s ({min(w):.3f} to "
                                f"{max(w):.3f})" for tool, w in work.walls.items())
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


def inflater(cli):
    # The build picks the inflate back-end; the libraries the binary loads tell which.
    libraries = subprocess.run(["ldd", cli], capture_output=True, text=True).stdout
    return "ISA-L" if "libisal" in libraries else "zlib"


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
             f"- zanvo-cli: commit {commit}, inflating with {inflater(cli)}; peers: "
             f"{tool_version(['unzip', '-v'])}"]
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
    machine = describe_machine(args.cli, archives, names)
    load_before = os.getloadavg()[0]
    started = time.monotonic()
    # Install targets live beside the archives, on the same disk; outputs and settings in /tmp.
    with tempfile.TemporaryDirectory(prefix="zanvo-bench-") as scratch, \
            tempfile.TemporaryDirectory(prefix="targets-", dir=archives) as targets:
        # An empty settings folder: the settings stored on this machine must not count.
        config = Path(scratch, "config")
        config.mkdir()
        os.environ["XDG_CONFIG_HOME"] = str(config)
        # A copy, so that a build running meanwhile cannot change or remove what is measured.
        cli = str(Path(scratch, "zanvo-cli"))
        shutil.copy2(args.cli, cli)
        works = [w for w in make_works(cli, archives, names, Path(targets), config)
                 if not args.only or any(o in f"{w.name} {w.archive}" for o in args.only)]
        measure(works, args.runs, args.min_seconds, Path(scratch), progress=True)
    load_after = os.getloadavg()[0]

    rows, all_met = table(works)
    report = [f"Median of at least {args.runs} runs after a warm-up run (commands under "
              f"{args.min_seconds / args.runs:.1f} s run until {args.min_seconds:.0f} s), tools "
              f"taking turns; ratio = zanvo-cli / unzip, wall-clock time; peak = maximum RSS "
              f"over all runs; install writes into a fresh folder beside the archives each run "
              f"(zanvo-cli install --yes, sorting on; unzip -o -q -d), the file system synced "
              f"before the clock starts "
              f"({time.strftime('%Y-%m-%d')}, {time.monotonic() - started:.0f} s in all).", ""]
    report += machine
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
