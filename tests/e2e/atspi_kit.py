"""What the AT-SPI drivers share: the program under test, and its accessible objects found, read
and pressed as a screen reader or a UI testing tool would.

On a failure the drivers print what was missing, the program's whole accessible tree and its
output.
"""

import os
import subprocess
import sys
import time
from contextlib import contextmanager
from pathlib import Path

import pyatspi
from gi.repository import GLib

WAIT_SECONDS = 30
POLL_SECONDS = 0.05


class TestFailure(Exception):
    pass


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


def gone(window):
    """Closed, even if another window of the same name came in its place."""
    try:
        state = window.getState()
    except GLib.GError:
        return True
    return state.contains(pyatspi.STATE_DEFUNCT) or not state.contains(pyatspi.STATE_SHOWING)


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
    """The children of root with that role."""
    return [child for child in root if child is not None and child.getRoleName() == role]


def window_of(app, role, name):
    """A showing top-level window of the program: a dialog, or a message box ("alert")."""
    for child in find_all(app, role):
        if child.name == name and is_showing(child):
            return child
    return None


def labelled(window, label_name):
    """The control that the label names, found as a screen reader finds it."""
    label = find(window, "label", label_name)
    for relation in label.getRelationSet() if label is not None else []:
        if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
            return relation.getTarget(0)
    return None


def labelled_value(window, label_name):
    """The text of the control that the label names: what a screen reader says after it."""
    control = labelled(window, label_name)
    return None if control is None else control.name


def labels_of(window):
    labels = pyatspi.findAllDescendants(window, lambda child: child.getRoleName() == "label")
    return [label.name for label in labels]


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def tree_rows(tree):
    """Every row of the expanded tree, those scrolled out of view too, as (depth, name); the depth
    is read from each row's indentation."""
    cells = find_all(tree, "table cell")
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


# Checking and acting


def expect(what, got, wanted):
    if got != wanted:
        raise TestFailure(f"{what}: expected {wanted!r}, AT-SPI shows {got!r}")
    print(f"ok: {what} = {got!r}")


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


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        raise TestFailure(f"{describe(accessible)} has no Press action, only {names}")
    action.doAction(names.index("Press"))


def button(window, name):
    found = find(window, "push button", name)
    if found is None:
        raise TestFailure(f"no showing push button named {name!r} in {describe(window)}")
    return found


def answer_message_box(app, caption, text_part, answer):
    box = wait_for(f"the message box {caption!r}", lambda: window_of(app, "alert", caption))
    texts = labels_of(box)
    if not any(text_part in text for text in texts):
        raise TestFailure(f"the box {caption!r} says {texts}, nothing with {text_part!r}")
    print(f"ok: message box {caption!r} says {texts}")
    press(button(box, answer))
    wait_for(f"the box {caption!r} to close", lambda: window_of(app, "alert", caption) is None)


def read_report(app, report_button, title, close):
    """Opens the report window with its button; its text, once the window is closed again."""
    press(report_button)
    report = wait_for(f"the window {title!r}", lambda: window_of(app, "dialog", title))
    text = find(report, "text")
    if text is None or "Text" not in pyatspi.utils.listInterfaces(text):
        raise TestFailure("the report window has no text object with the Text interface")
    content = text_of(text)
    print(f"ok: the report reads {content!r}")
    press(button(report, close))
    wait_for("the report to close", lambda: window_of(app, "dialog", title) is None)
    return content


# The program and its settings


def settings_file():
    return Path(os.environ["XDG_CONFIG_HOME"]) / "Orbelle" / "Zanvo.conf"


def write_settings(lines):
    """In Qt's INI dialect: a backslash is written twice, sub-keys are joined by one."""
    settings_file().parent.mkdir(parents=True, exist_ok=True)
    settings_file().write_text("\n".join(lines) + "\n")


class Program:
    def __init__(self, command, log):
        self.log, self.began, self.app = log, time.monotonic(), None
        with open(log, "wb") as output:
            self.process = subprocess.Popen(
                [str(part) for part in command], stdout=output, stderr=subprocess.STDOUT
            )

    def age(self):
        return time.monotonic() - self.began

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
def running(command, log):
    """The program started with command; on a failure, what it showed and printed."""
    program = Program(command, log)
    try:
        yield program
    except Exception as error:
        print(f"FAILED: {error}")
        program.report_failure()
        error.reported = True
        raise
    finally:
        program.stop()


def main(driver):
    """Runs driver with the command line's arguments; exit status 1 on a failure."""
    try:
        # Asking for the desktop starts the accessibility bus and its registry before the program.
        pyatspi.Registry.getDesktop(0)
        driver(*sys.argv[1:])
    except TestFailure as failure:
        if not getattr(failure, "reported", False):
            print(f"FAILED: {failure}")
        sys.exit(1)
