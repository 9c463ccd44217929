#!/usr/bin/env python3
"""Times zanvo-cli against unzip, bsdtar and 7z on the archives of make_archives.py, and the
Extracting window and the archive viewer against zanvo-cli.

    python3 bench/bench.py --cli build/release/cli/zanvo-cli [--cli build/release-zlib/cli/zanvo-cli]
                           [--window build/release/bench/zanvo-window-bench]
                           [--viewer build/release/bench/zanvo-viewer-bench]
                           [--runs 5] [--archives build/bench]

Each --cli is one zanvo-cli binary; its inflater (ISA-L or zlib) is read from the libraries it
loads. All binaries and all peers take turns in the same run, so every binary is compared with
the same peer figures, and the report gives one table per binary.

Exit status: 0 when every target is met, 3 when one is missed, 1 when a tool gave a wrong
result (nothing is reported then).

Every command runs once to warm the page cache, then the tools take turns, run after run, so
that a slow spell of the machine falls on all of them alike. Each run goes through GNU time for
its CPU time and peak memory, and its output is checked before its time counts: a broken run
must never pass for a fast one. The table gives medians and the ratio zanvo-cli / fastest peer,
and each target's ratio against the peer it names.

A work is a list of commands over one archive. Install commands write into a new, empty
target folder on the archives' disk for every run. The file system is synced before the clock
starts, so that no run pays for the write-back of another. Folders are removed only when the
work is over (or when the disk runs short), and the next install waits until the deleted
inodes may be reused: ext4 without a journal passes over the inodes freed in the last minute,
one by one, on every file it creates, which made a run after a deletion several times slower.

bsdtar has no test command: `bsdtar -tf` reads the headers only and lists an archive whose
deflate data is corrupt with exit status 0, so it stays out of the test works.

The window works install each archive through the Extracting window (zanvo-window-bench, on Qt's
offscreen platform) and through the zanvo-cli of the same inflater, taking turns. The window's
time is the one it measures from the click on Unzip to the end of the run; its process's wall
time is shown beside it. Both installs are checked as zanvo-cli's are, and the window's tree
besides: each file written exactly once as a leaf, every level in order (the program checks
that, and this script that the leaves are as many as the files written).

The viewer work shows the 20,000-file archive in the archive viewer (zanvo-viewer-bench,
offscreen) and lists it with `zanvo-cli list`, taking turns. The viewer's time is the one it
measures from the click on the archive's row to the content list filled; its process's wall
time is shown beside it. zanvo-cli's listing is checked as in the list works; the viewer's list
must hold a row for each file and its totals line must count every entry and the files' bytes.
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
MEMORY_TARGET_MIB = 16
NO_JOURNAL = " --no-journal"  # the label of a zanvo-cli install without its journal
JOURNAL_TARGET = 1.15  # an install with its journal against one without
MAX_RUNS = 101
PEERS = ["unzip", "bsdtar", "7z"]
# The archive the viewer shows: the 20,000 small files.
VIEWER_ARCHIVE = "small-files.zip"
# 65,000 files, each in a folder of its own; and a folder of ten such archives.
FOLDERS_ARCHIVE = "many-folders.zip"
FOLDERS_SOURCE = "many-folders"


@dataclass
class Outcome:
    status: int
    stdout: Path
    stderr: Path
    wall: float
    cpu: float
    peak_kib: int
    system: float  # the part of cpu spent in the kernel
    others: float  # CPU seconds the rest of the machine used meanwhile (steal included)


def busy_seconds():
    """CPU time all cores have spent busy since boot, guests' steal included."""
    fields = Path("/proc/stat").read_text().split("\n", 1)[0].split()[1:]
    user, nice, system, _idle, _iowait, irq, softirq, steal = (int(f) for f in fields[:8])
    return (user + nice + system + irq + softirq + steal) / os.sysconf("SC_CLK_TCK")


# ext4 without a journal does not reuse an inode freed less than 60 seconds ago, or less than
# 360 seconds ago while the block of the inode table that holds it is dirty. The removal syncs,
# but the next install dirties those blocks again as soon as it takes one of their inodes, so
# the longer delay is the one that counts; one second more for the clock.
INODE_REUSE_DELAY = 361
# When the last removal happened, kept beside the archives for the next run of the benchmark.
REMOVAL_STAMP = ".last-removal"


class TargetFolders:
    """A new, empty target folder for every run of one command, all under one base folder.

    Folders stay until the end of the benchmark, so that no install follows a removal; only a
    disk running short removes them earlier, and the next install then waits.
    """

    every = []  # all instances: a disk running short empties all of them at once
    stamp = None  # the file that holds the time of the last removal

    def __init__(self, base, room):
        self.base = Path(base)
        self.output_bytes, self.inodes = room  # see room_needed
        self.runs = 0
        self.path = None
        TargetFolders.every.append(self)

    def prepare(self):
        self.base.mkdir(parents=True, exist_ok=True)
        # Blocks and inodes both: 650,000 folders of one small file each need 1.3 million
        # inodes and 5 GiB, whatever their few bytes.
        disk = os.statvfs(self.base)
        if (disk.f_bavail * disk.f_frsize < 2 * self.output_bytes + GIB
                or disk.f_favail < 2 * self.inodes + 100_000):
            TargetFolders.remove_all()
        # Write the previous runs' files out now, not during this run.
        os.sync()
        TargetFolders.wait_after_removal()
        self.runs += 1
        self.path = self.base / f"run-{self.runs}"
        self.path.mkdir(parents=True)

    @staticmethod
    def wait_after_removal():
        try:
            removed = float(TargetFolders.stamp.read_text())
        except (AttributeError, OSError, ValueError):
            return
        # Wall-clock time: the stamp may come from an earlier run of the benchmark.
        wait = removed + INODE_REUSE_DELAY - time.time()
        if wait > 0:
            print(f"  waiting {wait:.0f} s for the inodes removed last to be reusable",
                  file=sys.stderr)
            time.sleep(wait)

    @staticmethod
    def remove_all():
        removed = False
        for folders in TargetFolders.every:
            if folders.base.exists():
                shutil.rmtree(folders.base)
                removed = True
        if removed:
            os.sync()
            if TargetFolders.stamp is not None:
                TargetFolders.stamp.write_text(f"{time.time():.0f}\n")


def room_needed(expected):
    """The bytes (in 4 KiB blocks) and inodes an install of expected takes, its folders included
    (an archive need not hold entries for them)."""
    folders = {path.rsplit("/", 1)[0] for path in expected.contents if "/" in path}
    for folder in list(folders):
        while "/" in folder:
            folder = folder.rsplit("/", 1)[0]
            folders.add(folder)
    block = 4096
    data = sum(-(-size // block) * block for size, _ in expected.contents.values())
    return data + block * len(folders), len(expected.contents) + len(folders)


@dataclass(frozen=True)
class InTarget:
    """Stands in an argv for the target folder of the run, after a prefix (7z's -o)."""
    prefix: str = ""


TARGET = InTarget()


@dataclass
class Command:
    tool: str
    argv: list
    check: Callable[[Outcome], Optional[str]]  # the reason the output is wrong, or None
    target: Optional[TargetFolders] = None  # a new folder for every run, made outside the timing
    zanvo: bool = False  # a zanvo-cli under test, not a peer
    # What a checked run says of itself (the window's JSON line); its "seconds", when there,
    # count instead of the process's wall time.
    details: Optional[Callable[[Outcome], dict]] = None

    def arguments(self):
        return [a.prefix + str(self.target.path) if isinstance(a, InTarget) else a
                for a in self.argv]


@dataclass(frozen=True)
class Target:
    ratio: float  # the largest allowed ratio zanvo-cli / reference peer (window / zanvo-cli)
    peer: Optional[str] = None  # the reference peer; None: the fastest peer of the work


@dataclass
class Work:
    name: str
    archive: str
    commands: list  # the zanvo-cli binaries first, then the peers
    target: Optional[Target] = None
    max_runs: Optional[int] = None  # timed runs at most, whatever --runs says
    memory_mib: Optional[float] = MEMORY_TARGET_MIB  # None: peak memory shown, not judged
    window: bool = False  # the Extracting window against one zanvo-cli, not zanvo-cli vs peers
    viewer: bool = False  # the archive viewer against zanvo-cli list
    runs: int = 0
    walls: dict = field(default_factory=dict)
    process_walls: dict = field(default_factory=dict)  # differ from walls where details time
    details: dict = field(default_factory=dict)  # tool -> what each run said of itself
    cpus: dict = field(default_factory=dict)
    systems: dict = field(default_factory=dict)
    peaks: dict = field(default_factory=dict)
    others: list = field(default_factory=list)  # (other work's CPU s, wall s) of each run

    def other_load(self):
        """Cores busy with other work during the timed runs, on average."""
        return max(0.0, sum(o for o, _ in self.others)) / sum(w for _, w in self.others)


# --------------------------------------------------------------------------------------------
# What each archive holds, read independently of the tools under test.

@dataclass
class Expected:
    entries: int
    files: list
    directories: int
    contents: dict  # file path -> (size, CRC-32), from the central directory


def expected_content(*paths):
    """What the archives hold together (their files' paths must differ)."""
    infos = []
    for path in paths:
        with zipfile.ZipFile(path) as archive:
            infos += archive.infolist()
    files = sorted(i.filename for i in infos if not i.is_dir())
    contents = {i.filename: (i.file_size, i.CRC) for i in infos if not i.is_dir()}
    if len(contents) != len(files):
        raise SystemExit(f"{', '.join(map(str, paths))}: files share a path")
    return Expected(len(infos), files, sum(1 for i in infos if i.is_dir()), contents)


def read_text(path):
    return path.read_text(encoding="utf-8", errors="replace")


def check_zanvo_test(expected):
    def check(outcome):
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
        if "No errors detected" not in read_text(outcome.stdout):
            return "no 'No errors detected' line"
        return None
    return check


def check_7z_test(expected):
    def check(outcome):
        text = read_text(outcome.stdout)
        if "Everything is Ok" not in text:
            return "no 'Everything is Ok' line"
        if f"Files: {len(expected.files)}\n" not in text:
            return f"no 'Files: {len(expected.files)}' line"
        return None
    return check


def check_zanvo_list(expected):
    def check(outcome):
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
        lines = read_text(outcome.stdout).rstrip("\n").splitlines()
        total = lines[-1].split() if lines else []
        if len(total) < 3 or total[-1] != "files" or total[-2] != str(expected.entries):
            return f"last line {lines[-1] if lines else ''!r}, expected {expected.entries} files"
        return None
    return check


def check_7z_list(expected):
    def check(outcome):
        lines = read_text(outcome.stdout).rstrip("\n").splitlines()
        total = f"{len(expected.files)} files"
        if expected.directories:
            total += f", {expected.directories} folders"
        if not lines or not lines[-1].endswith(total):
            return f"last line {lines[-1] if lines else ''!r}, expected {total!r}"
        return None
    return check


def check_bsdtar_list(expected):
    def check(outcome):
        lines = read_text(outcome.stdout).splitlines()
        if len(lines) != expected.entries:
            return f"{len(lines)} lines for {expected.entries} entries"
        return None
    return check


def written_files(folder):
    """Every file under folder: its path relative to folder, with '/', -> (size, CRC-32)."""
    found = {}
    for directory, folders, names in os.walk(folder):
        # The install journal is zanvo-cli's own record, not a file of the archive.
        if Path(directory) == Path(folder) and ".zanvo" in folders:
            folders.remove(".zanvo")
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


def check_peer_install(expected, target):
    """The peers keep the archive's folders: every file, at its path, with its size and CRC."""
    def check(outcome):
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


def check_zanvo_install(expected, target, archive_names, plan_of, config):
    """archive_names: the archives of the install, in the order the run takes them."""
    check_installed = installed_checker(expected, target, archive_names, plan_of, config)

    def check(outcome):
        if read_text(outcome.stderr).strip() != "Done.":
            return f"final status {read_text(outcome.stderr).strip()[-200:]!r}, not 'Done.'"
        # The report's CRLF line ends are part of it: read it without newline translation.
        return check_installed(outcome.stdout.read_bytes().decode("utf-8", errors="replace"))
    return check


def window_result(outcome):
    """The JSON line zanvo-window-bench ends its output with."""
    lines = read_text(outcome.stdout).strip().splitlines()
    try:
        result = json.loads(lines[-1]) if lines else None
    except json.JSONDecodeError:
        result = None
    if not isinstance(result, dict) or not isinstance(result.get("seconds"), (int, float)):
        raise ValueError(f"no result line, output {read_text(outcome.stdout)[-200:]!r}")
    return result


def check_window_install(expected, target, archive_names, plan_of, config):
    """The window's run: what it wrote, as for zanvo-cli, and a tree leaf for each file written
    (the program has checked that the leaves are those files, and their order)."""
    check_installed = installed_checker(expected, target, archive_names, plan_of, config)

    def check(outcome):
        try:
            result = window_result(outcome)
        except ValueError as e:
            return str(e)
        if result.get("status") != "Done." or result.get("errors") != 0:
            return f"final status {result.get('status')!r}, {result.get('errors')} errors"
        return check_installed(result.get("report", ""), leaves=result.get("leaves"))
    return check


def check_viewer(expected):
    """The viewer's content list: a row for each file, and the totals line (English) of every
    entry, folders included, and of the files' bytes."""
    total = sum(size for size, _ in expected.contents.values())
    line = f"Total: {expected.entries} files, {total:,} bytes."

    def check(outcome):
        try:
            result = window_result(outcome)
        except ValueError as e:
            return str(e)
        if result.get("rows") != len(expected.files):
            return f"{result.get('rows')} rows for {len(expected.files)} files"
        if result.get("totals") != line:
            return f"totals line {result.get('totals')!r}, not {line!r}"
        return None
    return check


def installed_checker(expected, target, archive_names, plan_of, config):
    """The check of an install's report and of the files it wrote; with leaves, the number of
    files the window's tree shows, which must be the number written."""
    # Sorting leaves .db files (Thumbs.db) out and sends files of different folders to one
    # place; the first one stays there and the report names each later one as not replaced.
    kept = {p: c for p, c in expected.contents.items() if not base_name(p).endswith(".db")}
    by_name = collections.defaultdict(collections.Counter)
    for path, content in kept.items():
        by_name[base_name(path)][content] += 1
    ok_lines = [f"{name} : Ok" for name in archive_names]
    tail = " -> Existing file not replaced"
    heads = tuple(f"{name} : " for name in archive_names)

    def check(report, leaves=None):
        if not report.endswith("\r\n"):
            return "the report does not end with CRLF"
        lines = report[:-2].split("\r\n")
        if [line for line in lines if line in ok_lines] != ok_lines or lines[-1] != ok_lines[-1]:
            return (f"the report does not end with one {ok_lines[0]!r} line" if len(ok_lines) == 1
                    else f"the report does not give one Ok line to each of its "
                         f"{len(ok_lines)} archives, in order")
        refused_lines = [line for line in lines if line not in ok_lines]
        others = [line for line in refused_lines if not (line.startswith(heads)
                                                         and line.endswith(tail))]
        if others:
            return f"{len(others)} unexpected report lines, first: {others[0]!r}"
        refused = collections.Counter(
            line[len(next(h for h in heads if line.startswith(h))):-len(tail)].lower()
            for line in refused_lines)
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
        if leaves is not None and leaves != len(written):
            return f"the tree shows {leaves:,} files, {len(written):,} were written"
        return None
    return check


def make_works(clis, archives, names, targets, config, wanted, window=None, viewer=None):
    """clis: {label: path}; window: (path, label) of the zanvo-window-bench and of the
    zanvo-cli it runs against, or None; viewer the same for zanvo-viewer-bench. The targets are
    those of the issues that asked for this benchmark. wanted tells from a work's label whether
    to make it."""
    works = []
    for name in names:
        path = str(archives / name)
        expected = expected_content(path)
        if viewer and name == VIEWER_ARCHIVE and wanted(f"viewer {name}"):
            works.append(viewer_work(name, path, expected, viewer, clis))
        if window and wanted(f"window {name}"):
            works.append(window_work(name, path, expected, window, clis, targets, config,
                                     Target(1.5 if expected.entries >= 10_000 else 1.3)))
        big = expected.entries >= 10_000
        # Only the map pack has a time target for test; the others are shown for information.
        works.append(Work("test", name, [
            *(Command(label, [cli, "test", path], check_zanvo_test(expected), zanvo=True)
              for label, cli in clis.items()),
            Command("unzip", ["unzip", "-tq", path], check_unzip_test(expected)),
            Command("7z", ["7z", "t", path], check_7z_test(expected)),
        ], target=None if big else Target(0.5, "7z")))
        works.append(Work("list", name, [
            *(Command(label, [cli, "list", path], check_zanvo_list(expected), zanvo=True)
              for label, cli in clis.items()),
            Command("unzip", ["unzip", "-l", path], check_unzip_list(expected)),
            Command("7z", ["7z", "l", path], check_7z_list(expected)),
            Command("bsdtar", ["bsdtar", "-tvf", path], check_bsdtar_list(expected)),
        ], target=Target(0.5, "unzip")))
        works.append(install_work(name, path, [name], expected, clis, targets, config,
                                  ["unzip", "bsdtar", "7z"], Target(0.7 if big else 0.6)))
    # Many folders: one archive, then a folder of archives installed in one run, where the
    # folders made by the first archives must not slow down the later ones. unzip takes the
    # archives one after another in one process too (it expands the quoted pattern itself).
    # Their expected contents are large: made only when asked for.
    single = str(archives / FOLDERS_ARCHIVE)
    if wanted(f"install {FOLDERS_ARCHIVE}"):
        works.append(install_work(FOLDERS_ARCHIVE, single, [FOLDERS_ARCHIVE],
                                  expected_content(single), clis, targets, config, ["unzip"],
                                  Target(1.0, "unzip"), memory_mib=None))
    source = archives / FOLDERS_SOURCE
    members = folder_archives(archives)
    label = f"{FOLDERS_SOURCE}/ ({len(members)} archives)"
    if wanted(f"install {label}"):
        # A run takes 1.3 million inodes: with more than three, the disk would run short of
        # them in the middle of the work, and removing millions of folders takes longer than
        # the runs (and slows the next ones down).
        works.append(install_work(label, str(source), members,
                                  expected_content(*(source / m for m in members)), clis,
                                  targets, config, ["unzip"], Target(1.0, "unzip"),
                                  unzip_source=str(source / "*.zip"), max_runs=3,
                                  memory_mib=None))
    return [w for w in works if wanted(f"{w.name} {w.archive}")]


def folder_archives(archives):
    """The archives of the folder source, in the order zanvo-cli takes them."""
    # Names folded to upper case, as an NTFS listing orders them: "dea.zip" before "de_x.zip".
    return sorted((p.name for p in (archives / FOLDERS_SOURCE).glob("*.zip")),
                  key=lambda n: (n.upper(), n))


def window_work(name, path, expected, window, clis, targets, config, target):
    """One archive installed through the Extracting window and through zanvo-cli, in turns."""
    room = room_needed(expected)
    bench, cli_label = window
    cli = clis[cli_label]
    plan_of = lambda: planned_destinations(cli, path)  # noqa: E731
    # Folders of their own: the install works of the same archive number theirs too.
    window_folders = TargetFolders(targets / f"window-{name}.window", room)
    cli_folders = TargetFolders(targets / f"window-{name}.{cli_label.replace(' ', '-')}", room)
    return Work("window", name, [
        Command("window", [bench, TARGET, path],
                check_window_install(expected, window_folders, [name], plan_of, config),
                window_folders, details=window_result),
        Command(cli_label,
                [cli, "install", "--yes", "--allow-risky", "--language", "english", path, TARGET],
                check_zanvo_install(expected, cli_folders, [name], plan_of, config),
                cli_folders, zanvo=True),
    ], target=Target(target.ratio, cli_label), memory_mib=None, window=True)


def viewer_work(name, path, expected, viewer, clis):
    """One archive shown by the archive viewer and listed by zanvo-cli, in turns."""
    bench, cli_label = viewer
    return Work("viewer", name, [
        Command("viewer", [bench, path], check_viewer(expected), details=window_result),
        Command(cli_label, [clis[cli_label], "list", path], check_zanvo_list(expected),
                zanvo=True),
    ], target=Target(2.0, cli_label), memory_mib=None, viewer=True)


def install_work(label, source, archive_names, expected, clis, targets, config, peers, target,
                 unzip_source=None, max_runs=None, memory_mib=MEMORY_TARGET_MIB):
    """zanvo-cli install of source (an archive or a folder of them) against the peers."""
    room = room_needed(expected)
    folder_name = Path(source).name
    commands = []
    for tool, cli in clis.items():
        # With the journal (the default) and without, taking turns like every other command.
        # The map pack's .cfg files are installed, as the peers install them.
        for variant, extra in ((tool, []), (f"{tool}{NO_JOURNAL}", ["--no-journal"])):
            folders = TargetFolders(targets / f"{folder_name}.{variant.replace(' ', '-')}", room)
            commands.append(Command(
                variant, [cli, "install", "--yes", "--allow-risky", *extra, "--language",
                          "english", source, TARGET],
                check_zanvo_install(expected, folders, archive_names,
                                    lambda cli=cli: planned_destinations(cli, source), config),
                folders, zanvo=True))
    argv = {
        "unzip": ["unzip", "-o", "-q", unzip_source or source, "-d", TARGET],
        "bsdtar": ["bsdtar", "-xf", source, "-C", TARGET],
        "7z": ["7z", "x", "-y", InTarget("-o"), source],
    }
    for tool in peers:
        folders = TargetFolders(targets / f"{folder_name}.{tool}", room)
        commands.append(Command(tool, argv[tool], check_peer_install(expected, folders),
                                folders))
    return Work("install", label, commands, target=target, max_runs=max_runs,
                memory_mib=memory_mib)


# --------------------------------------------------------------------------------------------

def run_once(command, scratch):
    stdout = scratch / "stdout"
    stderr = scratch / "stderr"
    measures = scratch / "time"
    with open(stdout, "wb") as out, open(stderr, "wb") as err:
        busy = busy_seconds()
        started = time.perf_counter()
        process = subprocess.Popen([GNU_TIME, "-o", str(measures), "-f", "%M", "--"]
                                   + command.arguments(), stdout=out, stderr=err,
                                   stdin=subprocess.DEVNULL)
        # wait4 gives CPU time to the microsecond; GNU time's own figures stop at 10 ms.
        _, wait_status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - started
        busy = busy_seconds() - busy
        process.returncode = os.waitstatus_to_exitcode(wait_status)
    # GNU time writes "Command exited with non-zero status N" before the figure.
    peak = read_text(measures).strip().splitlines()[-1]
    cpu = usage.ru_utime + usage.ru_stime
    # /proc/stat counts in ticks, so one short run's figure is rough: only sums are shown.
    return Outcome(process.returncode, stdout, stderr, wall, cpu, int(peak), usage.ru_stime,
                   busy - cpu)


def run_checked(command, scratch, label):
    if command.target:
        command.target.prepare()
    outcome = run_once(command, scratch)
    # Every tool must succeed; the check then looks at what it wrote.
    problem = (f"exit status {outcome.status}" if outcome.status != 0
               else command.check(outcome))
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
            work.process_walls[command.tool] = []
            work.details[command.tool] = []
            work.cpus[command.tool] = []
            work.systems[command.tool] = []
            work.peaks[command.tool] = 0
        # A command of a few hundredths of a second is at the mercy of one preemption, so it
        # runs more often: at least min_seconds in all, up to MAX_RUNS.
        work.runs = max(runs, min(MAX_RUNS, math.ceil(min_seconds / max(slowest, 1e-3))))
        work.runs = min(work.runs, work.max_runs or work.runs)
        for r in range(work.runs):
            # The first tool of a round alternates, so none always runs right after another.
            order = work.commands[r % len(work.commands):] + work.commands[:r % len(work.commands)]
            for command in order:
                outcome = run_checked(command, scratch, label)
                details = command.details(outcome) if command.details else {}
                work.walls[command.tool].append(details.get("seconds", outcome.wall))
                work.process_walls[command.tool].append(outcome.wall)
                work.details[command.tool].append(
                    {k: v for k, v in details.items() if k != "report"})
                work.cpus[command.tool].append(outcome.cpu)
                work.systems[command.tool].append(outcome.system)
                work.peaks[command.tool] = max(work.peaks[command.tool], outcome.peak_kib)
                work.others.append((outcome.others, outcome.wall))
        if progress:
            figures = ", ".join(f"{tool} {statistics.median(w):.3f} s ({min(w):.3f} to "
                                f"{max(w):.3f})" for tool, w in work.walls.items())
            print(f"  {label}: {figures}", file=sys.stderr)


def seconds(value):
    return f"{value:.3f}" if value < 10 else f"{value:.2f}"


def mib(kib):
    return f"{kib / 1024:.1f}"


def table(works, zanvo):
    """The rows of one zanvo-cli binary against the peers, and whether it met every target."""
    rows = ["| work | archive | runs | zanvo-cli s | " + " | ".join(f"{p} s" for p in PEERS)
            + " | ratio to fastest peer | time target | peak MiB zanvo-cli (peers) "
            "| CPU s zanvo-cli / fastest peer | other load | verdict |",
            "|---|---|---|---|" + "---|" * len(PEERS) + "---|---|---|---|---|---|"]
    verdicts = []
    for work in works:
        if work.window or work.viewer:
            continue
        peers = [c.tool for c in work.commands if not c.zanvo]
        wall = {t: statistics.median(v) for t, v in work.walls.items()}
        cpu = {t: statistics.median(v) for t, v in work.cpus.items()}
        fastest = min(peers, key=lambda t: wall[t])
        peak = work.peaks[zanvo] / 1024
        ok_time = True
        goal = "-"
        if work.target:
            reference = work.target.peer or fastest
            ratio = wall[zanvo] / wall[reference]
            ok_time = ratio <= work.target.ratio
            goal = (f"<= {work.target.ratio:.1f}x {reference}"
                    + ("" if work.target.peer else " (fastest)")
                    + f": {ratio:.3f}x {'met' if ok_time else 'MISSED'}")
        ok_memory = work.memory_mib is None or peak < work.memory_mib
        verdict = "met" if ok_time and ok_memory else "MISSED"
        if not ok_time:
            verdict += " (time)"
        if not ok_memory:
            verdict += f" (memory >= {work.memory_mib:g} MiB)"
        verdicts.append(ok_time and ok_memory)
        rows.append(
            f"| {work.name} | {work.archive} | {work.runs} | {seconds(wall[zanvo])} | "
            + " | ".join(seconds(wall[p]) if p in wall else "-" for p in PEERS)
            + f" | {wall[zanvo] / wall[fastest]:.2f}x {fastest} | {goal} | {peak:.1f} ("
            + " / ".join(mib(work.peaks[p]) for p in PEERS if p in work.peaks)
            + f") | {cpu[zanvo]:.3f} / {cpu[fastest]:.3f} | {work.other_load():.2f} "
            f"| {verdict} |")
    return "\n".join(rows), all(verdicts)


def journal_table(works, clis):
    """The installs with the journal against those without, and whether the target was met."""
    rows = ["| archive | zanvo-cli | runs | with journal s | without s | ratio | CPU s with / "
            "without | target | verdict |", "|---|---|---|---|---|---|---|---|---|"]
    verdicts = []
    for work in works:
        if work.name != "install" or work.window or work.viewer:
            continue
        for label in clis:
            if f"{label}{NO_JOURNAL}" not in work.walls:
                continue
            on = statistics.median(work.walls[label])
            off = statistics.median(work.walls[f"{label}{NO_JOURNAL}"])
            met = on / off <= JOURNAL_TARGET
            verdicts.append(met)
            rows.append(f"| {work.archive} | {label} | {work.runs} | {seconds(on)} | "
                        f"{seconds(off)} | {on / off:.3f}x | "
                        f"{statistics.median(work.cpus[label]):.3f} / "
                        f"{statistics.median(work.cpus[f'{label}{NO_JOURNAL}']):.3f} | "
                        f"<= {JOURNAL_TARGET:.2f}x | {'met' if met else 'MISSED'} |")
    return "\n".join(rows), all(verdicts)


def window_table(works):
    """The rows of the window works, and whether every target was met."""
    rows = ["| work | archive | runs | window s (click to end) | zanvo-cli s | ratio window / "
            "zanvo-cli | time target | window process s | events after s | tree leaves "
            "| replace questions | peak MiB window / zanvo-cli | CPU s window / zanvo-cli | other load | verdict |",
            "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"]
    verdicts = []
    for work in works:
        if not work.window:
            continue
        cli = work.target.peer
        wall = {t: statistics.median(v) for t, v in work.walls.items()}
        cpu = {t: statistics.median(v) for t, v in work.cpus.items()}
        details = work.details["window"]
        after = statistics.median(d.get("events_after_seconds", 0.0) for d in details)
        leaves = sorted({d.get("leaves") for d in details})
        questions = sorted({d.get("replace_questions") for d in details})
        ratio = wall["window"] / wall[cli]
        met = ratio <= work.target.ratio
        verdicts.append(met)
        rows.append(
            f"| {work.name} | {work.archive} | {work.runs} | {seconds(wall['window'])} | "
            f"{seconds(wall[cli])} | {ratio:.2f}x | <= {work.target.ratio:.1f}x: {ratio:.3f}x "
            f"{'met' if met else 'MISSED'} | "
            f"{seconds(statistics.median(work.process_walls['window']))} | {after:.3f} | "
            f"{', '.join(f'{n:,}' for n in leaves)} | {', '.join(map(str, questions))} | "
            f"{mib(work.peaks['window'])} / "
            f"{mib(work.peaks[cli])} | {cpu['window']:.3f} / {cpu[cli]:.3f} | "
            f"{work.other_load():.2f} | {'met' if met else 'MISSED (time)'} |")
    return "\n".join(rows), all(verdicts)


def viewer_table(works):
    """The rows of the viewer works, and whether every target was met."""
    rows = ["| work | archive | runs | viewer s (click to list filled) | zanvo-cli list s | ratio "
            "viewer / zanvo-cli | time target | viewer process s | events after s | rows "
            "| peak MiB viewer / zanvo-cli | CPU s viewer / zanvo-cli | other load | verdict |",
            "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"]
    verdicts = []
    for work in works:
        if not work.viewer:
            continue
        cli = work.target.peer
        wall = {t: statistics.median(v) for t, v in work.walls.items()}
        cpu = {t: statistics.median(v) for t, v in work.cpus.items()}
        details = work.details["viewer"]
        after = statistics.median(d.get("events_after_seconds", 0.0) for d in details)
        shown = sorted({d.get("rows") for d in details})
        ratio = wall["viewer"] / wall[cli]
        met = ratio <= work.target.ratio
        verdicts.append(met)
        rows.append(
            f"| {work.name} | {work.archive} | {work.runs} | {seconds(wall['viewer'])} | "
            f"{seconds(wall[cli])} | {ratio:.2f}x | <= {work.target.ratio:.1f}x: {ratio:.3f}x "
            f"{'met' if met else 'MISSED'} | "
            f"{seconds(statistics.median(work.process_walls['viewer']))} | {after:.3f} | "
            f"{', '.join(f'{n:,}' for n in shown)} | {mib(work.peaks['viewer'])} / "
            f"{mib(work.peaks[cli])} | {cpu['viewer']:.3f} / {cpu[cli]:.3f} | "
            f"{work.other_load():.2f} | {'met' if met else 'MISSED (time)'} |")
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


class RemovedAtExit:
    """Removes the target folders when the benchmark ends, however it ends, and notes when."""

    def __enter__(self):
        return self

    def __exit__(self, *_):
        TargetFolders.remove_all()
        return False


def describe_machine(clis, archives, names):
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
             f"- zanvo-cli: commit {commit}; " + ", ".join(
                 f"{label} inflating with {inflater(cli)}" for label, cli in clis.items()),
             f"- peers: {tool_version(['unzip', '-v'])}; {tool_version(['bsdtar', '--version'])}; "
             f"{tool_version(['7z'])}"]
    manifest = archives / "manifest.json"
    stats = json.loads(manifest.read_text())["archives"] if manifest.exists() else {}
    for name in names + [FOLDERS_ARCHIVE]:
        s = stats.get(name)
        size = os.path.getsize(archives / name) / MIB
        if s:
            lines.append(f"- {name}: {size:.0f} MiB, {s['files']:,} files and "
                         f"{s['directories']:,} folders, {s['uncompressed_bytes'] / MIB:.0f} MiB "
                         f"out, {s['stored']:,} stored, sha256 {s['sha256'][:16]}")
        else:
            lines.append(f"- {name}: {size:.0f} MiB")
    members = folder_archives(archives)
    known = [stats[f"{FOLDERS_SOURCE}/{m}"] for m in members if f"{FOLDERS_SOURCE}/{m}" in stats]
    size = sum(os.path.getsize(archives / FOLDERS_SOURCE / m) for m in members) / MIB
    lines.append(f"- {FOLDERS_SOURCE}/: {len(members)} archives, {size:.0f} MiB, "
                 f"{sum(s['files'] for s in known):,} files in all")
    lines.append(f"- {FOLDERS_ARCHIVE} and {FOLDERS_SOURCE}/ hold no folder entries: each file "
                 f"has a folder of its own, made by the install")
    return lines


def report_results(args, clis, machine, works, load_before, started, window=None, viewer=None):
    """Prints (and writes to --output) the tables; 0 when every target was met, else 3."""
    load_after = os.getloadavg()[0]

    report = [f"Median of at least {args.runs} runs after a warm-up run (commands under "
              f"{args.min_seconds / args.runs:.1f} s run until {args.min_seconds:.0f} s), all "
              f"binaries and peers taking turns in one run; wall-clock times; ratio = "
              f"zanvo-cli / fastest peer; targets: install <= 0.6x the fastest peer "
              f"(20,000-file archive 0.7x), of {FOLDERS_ARCHIVE} and {FOLDERS_SOURCE}/ "
              f"<= 1.0x unzip (unzip -o -q '{FOLDERS_SOURCE}/*.zip' -d for the folder), test "
              f"of the map pack <= 0.5x 7z t, list <= 0.5x unzip -l, peak memory (maximum RSS "
              f"over all runs) under {MEMORY_TARGET_MIB} MiB but for the 65,000-entry archives; "
              f"install writes into a fresh folder beside the archives each run (zanvo-cli "
              f"install --yes --allow-risky, sorting on, with its journal and without it "
              f"(--no-journal), target <= {JOURNAL_TARGET:.2f}x; unzip -o -q -d; bsdtar -xf -C; 7z x -y -o), the file "
              f"system synced before the clock starts; window = an install through the "
              f"Extracting window (zanvo-window-bench, offscreen), timed from the click on Unzip "
              f"to the end of the run, against the zanvo-cli install of the same inflater, "
              f"targets <= 1.3x on the map pack and 1.5x on the 20,000 files; viewer = the "
              f"archive viewer (zanvo-viewer-bench, offscreen) timed from the click on the "
              f"20,000-file archive's row to its content list filled, against zanvo-cli list of "
              f"that archive, target <= 2.0x; other load = cores "
              f"busy with other work during the timed runs ({time.strftime('%Y-%m-%d')}, "
              f"{time.monotonic() - started:.0f} s in all).", ""]
    report += machine
    report.append(f"- load average: {load_before:.2f} before, {load_after:.2f} after")
    noisy = [f"{w.name} {w.archive}" for w in works if w.other_load() > 0.25]
    if noisy:
        report.append("- warning: other work was running during " + ", ".join(noisy)
                      + "; those wall times are noisy, CPU times less so")
    all_met = True
    if any(not w.window and not w.viewer for w in works):
        for label in clis:
            rows, met = table(works, label)
            all_met = all_met and met
            report += ["", f"### {label}", "", rows, "",
                       "All targets met." if met else "Some targets were missed."]
    if any(w.name == "install" and not w.window for w in works):
        rows, met = journal_table(works, clis)
        all_met = all_met and met
        report += ["", "### The install journal: zanvo-cli install with and without it", "",
                   rows, "", "All targets met." if met else "Some targets were missed."]
    if any(w.window for w in works):
        rows, met = window_table(works)
        all_met = all_met and met
        report += ["", f"### Extracting window against {window[1]}", "", rows, "",
                   "All targets met." if met else "Some targets were missed."]
    if any(w.viewer for w in works):
        rows, met = viewer_table(works)
        all_met = all_met and met
        report += ["", f"### Archive viewer against {viewer[1]} list", "", rows, "",
                   "All targets met." if met else "Some targets were missed."]
    text = "\n".join(report)
    print(text)
    if args.output:
        Path(args.output).write_text(text + "\n")
        # Every run's figures, in the order of the runs, to tell noise from a real difference.
        Path(args.output).with_suffix(".json").write_text(json.dumps({
            f"{w.name} {w.archive}": {
                "runs": w.runs, "other_load": round(w.other_load(), 3),
                "tools": {t: {"wall_s": [round(x, 4) for x in w.walls[t]],
                              "cpu_s": [round(x, 4) for x in w.cpus[t]],
                              "system_s": [round(x, 4) for x in w.systems[t]],
                              "peak_kib": w.peaks[t],
                              **({"process_wall_s": [round(x, 4) for x in w.process_walls[t]],
                                  "details": w.details[t]} if any(w.details[t]) else {})}
                          for t in w.walls}}
            for w in works}, indent=1) + "\n")
    return 0 if all_met else 3


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", action="append", default=[],
                        help="a zanvo-cli binary to time (repeatable; default: the release "
                             "preset's)")
    parser.add_argument("--window",
                        help="the zanvo-window-bench to time against the zanvo-cli of the same "
                             "inflater (default: the release preset's, when built)")
    parser.add_argument("--viewer",
                        help="the zanvo-viewer-bench to time against zanvo-cli list (default: "
                             "the release preset's, when built)")
    parser.add_argument("--archives", default=str(root / "build/bench"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--min-seconds", type=float, default=3.0,
                        help="run short commands more often, until each has run this long")
    parser.add_argument("--only", action="append", default=[],
                        help="keep only the works whose 'work archive' label contains this")
    parser.add_argument("--output", help="also write the report to this file, and every "
                                          "run's figures beside it in JSON")
    args = parser.parse_args()
    if args.runs < 1:
        parser.error("--runs must be at least 1")
    if not args.cli:
        args.cli = [str(root / "build/release/cli/zanvo-cli")]
    for tool in (GNU_TIME, *args.cli):
        if not os.access(tool, os.X_OK):
            parser.error(f"{tool} is missing")
    for tool in PEERS:
        if not shutil.which(tool):
            parser.error(f"{tool} is missing")

    archives = Path(args.archives)
    names = ["map-pack.zip", "small-files.zip"]
    wanted = lambda label: not args.only or any(o in label for o in args.only)  # noqa: E731
    window_wanted = any(wanted(f"window {name}") for name in names)
    if window_wanted and not args.window:
        default = root / "build/release/bench/zanvo-window-bench"
        if default.exists():
            args.window = str(default)
        elif args.only:
            parser.error(f"{default} is missing: cmake --build --preset release --target "
                         f"zanvo-window-bench, or give --window")
        else:
            # A run of everything with a given zanvo-cli still works without the windows' build.
            print(f"no {default}: the window works are left out", file=sys.stderr)
            window_wanted = False
    if window_wanted and not os.access(args.window, os.X_OK):
        parser.error(f"{args.window} is missing")
    viewer_wanted = wanted(f"viewer {VIEWER_ARCHIVE}")
    if viewer_wanted and not args.viewer:
        default = root / "build/release/bench/zanvo-viewer-bench"
        if default.exists():
            args.viewer = str(default)
        elif args.only:
            parser.error(f"{default} is missing: cmake --build --preset release --target "
                         f"zanvo-viewer-bench, or give --viewer")
        else:
            print(f"no {default}: the viewer work is left out", file=sys.stderr)
            viewer_wanted = False
    if viewer_wanted and not os.access(args.viewer, os.X_OK):
        parser.error(f"{args.viewer} is missing")
    load_before = os.getloadavg()[0]
    started = time.monotonic()
    TargetFolders.stamp = archives / REMOVAL_STAMP
    # Install targets live beside the archives, on the same disk; outputs and settings in /tmp.
    with tempfile.TemporaryDirectory(prefix="zanvo-bench-") as scratch, \
            tempfile.TemporaryDirectory(prefix="targets-", dir=archives) as targets, \
            RemovedAtExit():
        # An empty settings folder: the settings stored on this machine must not count.
        config = Path(scratch, "config")
        config.mkdir()
        os.environ["XDG_CONFIG_HOME"] = str(config)
        # Copies, so that a build running meanwhile cannot change or remove what is measured.
        clis = {}
        for i, original in enumerate(args.cli):
            copy = Path(scratch, f"cli-{i}", "zanvo-cli")
            copy.parent.mkdir()
            shutil.copy2(original, copy)
            label = f"zanvo-cli {inflater(str(copy))}"
            if label in clis:
                label += f" #{i + 1}"
            clis[label] = str(copy)
        machine = describe_machine(clis, archives, names)
        window = None
        if window_wanted:
            copy = Path(scratch, "window", "zanvo-window-bench")
            copy.parent.mkdir()
            shutil.copy2(args.window, copy)
            # Against the zanvo-cli that inflates as the window does: the same engine.
            kind = inflater(str(copy))
            same = [label for label in clis if label.startswith(f"zanvo-cli {kind}")]
            window = (str(copy), (same or list(clis))[0])
            machine.append(f"- window: zanvo-window-bench inflating with {kind}, against "
                           f"{window[1]}" + ("" if same else " (no zanvo-cli of that inflater)")
                           + "; on Qt's offscreen platform")
            os.environ["QT_QPA_PLATFORM"] = "offscreen"
        viewer = None
        if viewer_wanted:
            copy = Path(scratch, "viewer", "zanvo-viewer-bench")
            copy.parent.mkdir()
            shutil.copy2(args.viewer, copy)
            kind = inflater(str(copy))
            same = [label for label in clis if label.startswith(f"zanvo-cli {kind}")]
            viewer = (str(copy), (same or list(clis))[0])
            machine.append(f"- viewer: zanvo-viewer-bench against {viewer[1]} list; on Qt's "
                           f"offscreen platform")
            os.environ["QT_QPA_PLATFORM"] = "offscreen"
        works = make_works(clis, archives, names, Path(targets), config, wanted, window, viewer)
        measure(works, args.runs, args.min_seconds, Path(scratch), progress=True)
        # The results first: removing the target folders of the many-folders works takes
        # half an hour.
        return report_results(args, clis, machine, works, load_before, started, window,
                              viewer)


if __name__ == "__main__":
    sys.exit(main())
