#!/usr/bin/python3
"""Installs map packs through the real Extracting window, driven only over AT-SPI.

Usage: extract_window_atspi.py ZANVO WORKDIR

Runs inside a private X server and D-Bus session (run_under_xvfb.sh sets them up). Buttons are
pressed through their accessible actions and texts are read back from the accessible objects,
as a screen reader or a UI testing tool would. On a failure it prints what was missing and the
program's whole accessible tree.
"""

import os
import subprocess
import sys
import time
import zipfile
from contextlib import contextmanager
from pathlib import Path

import pyatspi
from gi.repository import GLib

WAIT_SECONDS = 30
POLL_SECONDS = 0.05


class TestFailure(Exception):
    pass


# Packs and settings


def write_pack(path, entries):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as pack:
        for name, data in entries.items():
            pack.writestr(name, data)


def damage_entry(path, data):
    """Changes one byte of a stored entry's data, so that its CRC no longer matches."""
    raw = path.read_bytes()
    at = raw.index(data)
    path.write_bytes(raw[:at] + bytes([raw[at] ^ 0xFF]) + raw[at + 1 :])


def write_settings(config_home, language):
    folder = config_home / "Orbelle"
    folder.mkdir(parents=True, exist_ok=True)
    lines = ["[Settings]", "Analyse=1", "Replace=0", "Newer=0", "MiscPath=divers\\\\"]
    if language:
        lines.insert(1, f"Language={language}")
    (folder / "Zanvo.conf").write_text("\n".join(lines) + "\n")


# Reading the accessible tree


def wait_for(what, probe, seconds=WAIT_SECONDS):
    """Polls probe until it returns something true; objects that vanish meanwhile are retried."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            found = probe()
        except GLib.GError:
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            raise TestFailure(f"timed out after {seconds} s waiting for {what}")
        time.sleep(POLL_SECONDS)


def is_showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find(root, role, name=None):
    """The first showing descendant of root with that role (and name), or None."""

    def matches(accessible):
        try:
            return (
                accessible.getRoleName() == role
                and (name is None or accessible.name == name)
                and is_showing(accessible)
            )
        except GLib.GError:
            return False

    return pyatspi.findDescendant(root, matches)


def find_all(root, role):
    return [child for child in root if child is not None and child.getRoleName() == role]


def window_of(app, role, name):
    """A showing top-level window of the program: a dialog, or a message box ("alert")."""
    for child in app:
        if child is not None and child.getRoleName() == role and child.name == name:
            if is_showing(child):
                return child
    return None


def labelled_value(window, label_name):
    """The text of the control that the label names: what a screen reader says after it."""
    label = find(window, "label", label_name)
    if label is None:
        return None
    for relation in label.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
            return relation.getTarget(0).name
    return None


def wait_for_value(window, label_name, wanted):
    seen = [None]

    def reads_wanted():
        seen[:] = [labelled_value(window, label_name)]
        return seen[0] == wanted

    try:
        wait_for(f"{label_name} to read {wanted!r}", reads_wanted)
    except TestFailure as failure:
        raise TestFailure(f"{failure}; it reads {seen[0]!r}") from None
    print(f"ok: {label_name} = {wanted!r}")


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def tree_rows(tree):
    """The tree's visible rows as (depth, name); the depth is read from each row's indentation."""
    cells = [cell for cell in find_all(tree, "table cell") if is_showing(cell)]
    lefts = [cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x for cell in cells]
    depths = {left: depth for depth, left in enumerate(sorted(set(lefts)))}
    return [(depths[left], cell.name) for left, cell in zip(lefts, cells)]


def paths_of(rows):
    """The path from the top of every row, e.g. "a.zip/maps/a.bsp"."""
    paths, above = [], []
    for depth, name in rows:
        above = above[:depth] + [name]
        paths.append("/".join(above))
    return paths


def describe(accessible):
    line = f"{accessible.getRoleName()} {accessible.name!r}"
    if accessible.description:
        line += f" description={accessible.description!r}"
    if "Text" in pyatspi.utils.listInterfaces(accessible):
        line += f" text={text_of(accessible)!r}"
    if not is_showing(accessible):
        line += " (hidden)"
    return line


def dump(accessible, depth=0):
    try:
        print("  " * depth + describe(accessible))
        children = list(accessible)
    except GLib.GError as error:
        print("  " * depth + f"<unreadable: {error.message}>")
        return
    for child in children:
        if child is not None:
            dump(child, depth + 1)


# Acting on it


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        raise TestFailure(f"{describe(accessible)} has no Press action, only {names}")
    action.doAction(names.index("Press"))


def expect(what, got, wanted):
    if got != wanted:
        raise TestFailure(f"{what}: expected {wanted!r}, AT-SPI shows {got!r}")
    print(f"ok: {what} = {got!r}")


def button(window, name):
    found = find(window, "push button", name)
    if found is None:
        raise TestFailure(f"no showing push button named {name!r} in {describe(window)}")
    return found


def answer_message_box(app, caption, text_part, answer):
    box = wait_for(f"the message box {caption!r}", lambda: window_of(app, "alert", caption))
    texts = [label.name for label in find_all(box, "label")]
    if not any(text_part in text for text in texts):
        raise TestFailure(f"the box {caption!r} says {texts}, nothing with {text_part!r}")
    print(f"ok: message box {caption!r} says {texts}")
    press(button(box, answer))
    wait_for(f"the box {caption!r} to close", lambda: window_of(app, "alert", caption) is None)


# The program


class Program:
    def __init__(self, executable, target, source, log):
        self.log = log
        with open(log, "wb") as output:
            self.process = subprocess.Popen(
                [executable, "--extract-window", str(target), str(source)],
                stdout=output,
                stderr=subprocess.STDOUT,
            )
        self.app = None

    def find_application(self):
        def by_process_id():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            if self.process.poll() is not None:
                raise TestFailure(f"the program ended early with status {self.process.returncode}")
            return None

        self.app = wait_for(f"process {self.process.pid} on the accessibility bus", by_process_id)
        expect("the application's name", self.app.name, "Zanvo")
        return self.app

    def wait_for_exit(self):
        try:
            return self.process.wait(WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            raise TestFailure(f"the program did not end within {WAIT_SECONDS} s") from None

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def report_failure(self):
        print("--- the program's accessible tree ---")
        if self.app is not None:
            dump(self.app)
        else:
            names = [(a.name, a.get_process_id()) for a in pyatspi.Registry.getDesktop(0) if a]
            print(f"(not found; applications on the bus: {names})")
        self.stop()
        print(f"--- the program's output (status {self.process.returncode}) ---")
        print(Path(self.log).read_text(errors="replace"))


@contextmanager
def running(executable, folder, source, target):
    """The program on source and target; on a failure, what it showed and printed."""
    program = Program(executable, target, source, folder / "program.log")
    try:
        yield program
    except Exception as error:
        print(f"FAILED: {error}")
        program.report_failure()
        raise
    finally:
        program.stop()


def prepare(folder, packs, language):
    """The source folder with its packs, an empty target and the settings; both folders."""
    source, target = folder / "source", folder / "target"
    source.mkdir(parents=True)
    target.mkdir()
    for name, entries in packs.items():
        write_pack(source / name, entries)
    write_settings(Path(os.environ["XDG_CONFIG_HOME"]), language)
    return source, target


def check_files(target, files):
    for path, data in files.items():
        landed = target / path
        if not landed.is_file() or landed.read_bytes() != data:
            raise TestFailure(f"{landed} is missing or differs")
    print(f"ok: on disk {sorted(files)}")


# Scenarios


def install_two_packs_in_english(executable, work):
    folder = work / "english"
    a, b, wav = b"A" * 300, b"B" * 200, b"RIFF" + b"W" * 60
    packs = {"a.zip": {"maps/a.bsp": a}, "b.zip": {"maps/b.bsp": b, "sound/x.wav": wav}}
    source, target = prepare(folder, packs, "english")

    with running(executable, folder, source, target) as program:
        app = program.find_application()
        window = wait_for("the window 'Extracting'", lambda: window_of(app, "dialog", "Extracting"))
        expect("Source:", labelled_value(window, "Source:"), f"{source}/")
        expect("Target:", labelled_value(window, "Target:"), f"{target}/")
        unzip = button(window, "Unzip")
        expect("the Unzip button's tooltip", unzip.description, "Unzip files")

        press(button(window, "Détails"))
        no_details = "No details of extraction to\n be posted for the moment."
        answer_message_box(app, "Error", no_details, "OK")

        press(unzip)
        wait_for_value(window, "File:", "Done.")
        report = wait_for("the Report button", lambda: find(window, "push button", "Report"))
        expect("the Report button's tooltip", report.description, "View extraction report")
        total = find(window, "progress bar", "Total:").queryValue().currentValue
        expect("the progress bar Total:", total, 2.0)
        check_files(target, {"maps/a.bsp": a, "maps/b.bsp": b, "sound/x.wav": wav})

        press(button(window, "Détails"))
        tree = wait_for("the tree of extracted files", lambda: find(window, "tree"))
        expect("the tree's name", tree.name, "Extracted Files:")
        rows = wait_for("the tree's rows", lambda: tree_rows(tree))
        expect(
            "the tree's rows",
            paths_of(rows),
            [
                "a.zip",
                "a.zip/maps",
                "a.zip/maps/a.bsp",
                "b.zip",
                "b.zip/maps",
                "b.zip/maps/b.bsp",
                "b.zip/sound",
                "b.zip/sound/x.wav",
            ],
        )

        press(report)
        title = "Extract Report"
        report_window = wait_for(f"the window {title!r}", lambda: window_of(app, "dialog", title))
        text = find(report_window, "text")
        if text is None or "Text" not in pyatspi.utils.listInterfaces(text):
            raise TestFailure("the report window has no text object with the Text interface")
        expect("the report's lines", text_of(text).splitlines(), ["a.zip : Ok", "b.zip : Ok"])
        press(button(report_window, "Close"))
        wait_for("the report to close", lambda: window_of(app, "dialog", title) is None)

        press(button(window, "Close"))
        expect("the program's exit status", program.wait_for_exit(), 0)


def install_damaged_pack_in_french(executable, work):
    """No language stored: the windows speak French. One entry fails its CRC check."""
    folder = work / "french"
    good, damaged = b"C" * 100, b"damaged-map" * 10
    source, target = prepare(folder, {"c.zip": {"maps/c.bsp": good, "maps/d.bsp": damaged}}, None)
    damage_entry(source / "c.zip", damaged)

    with running(executable, folder, source, target) as program:
        app = program.find_application()
        title = "Extraction en cours"
        window = wait_for(f"the window {title!r}", lambda: window_of(app, "dialog", title))
        start = button(window, "Lancer")
        expect("the Lancer button's tooltip", start.description, "Lancer l'extraction des fichiers")
        press(start)
        answer_message_box(app, "Erreur", "d.bsp", "OK")
        wait_for_value(window, "Fichier:", "Extraction achevée:  1 Erreur(s).")
        wait_for("the Rapport button", lambda: find(window, "push button", "Rapport"))
        print("ok: the Rapport button")
        check_files(target, {"maps/c.bsp": good})
        press(button(window, "Fermer"))
        expect("the program's exit status", program.wait_for_exit(), 0)


def main():
    executable, work = sys.argv[1], Path(sys.argv[2])
    # Asking for the desktop starts the accessibility bus and its registry before the program.
    pyatspi.Registry.getDesktop(0)
    for scenario in (install_two_packs_in_english, install_damaged_pack_in_french):
        print(f"== {scenario.__name__}")
        scenario(executable, work)
    print("passed: both scenarios")


if __name__ == "__main__":
    try:
        main()
    except TestFailure:
        sys.exit(1)
