#!/usr/bin/python3
"""Installs map packs from the main window as a user would, driven only over AT-SPI.

Usage: main_window_atspi.py ZANVO WORKDIR ZANVO_CLI english|french

Runs inside a private X server and D-Bus session (run_under_xvfb.sh sets them up). The program
starts as a user starts it, in the language of its stored settings: the folders are typed into
the main window, the packs installed through the Extracting window with one "Yes For All" to
the replace question, the tree, the report and the buttons' tooltips read back, and the program
quit. Then the settings file must hold the folders and the untouched options, a second start
must offer the folders again, and the files and the report must be those that zanvo-cli gives
for the same packs, starting target and options. On a failure it prints what was missing and
the program's whole accessible tree.
"""

import os
import shutil
import subprocess
import time
import zipfile
from pathlib import Path

import pyatspi

from atspi_kit import (
    TestFailure,
    answer_message_box,
    button,
    describe,
    expect,
    find,
    find_all,
    gone,
    is_showing,
    labelled,
    labelled_value,
    labels_of,
    main,
    paths_of,
    press,
    read_report,
    running,
    settings_file,
    text_of,
    tree_rows,
    wait_for,
    window_of,
    write_settings,
)

# What each language shows, English and French; accessible names have no '&'.
WORDS = {
    "main": ("Zanvo", "Zanvo"),
    "source": ("Source:", "Source:"),
    "target": ("Target:", "Cible:"),
    "extract": ("Extract", "Extraire"),
    "quit": ("Quit Zanvo", "Quitter l'application"),
    "extracting": ("Extracting", "Extraction en cours"),
    "unzip": ("Unzip", "Lancer"),
    "unzip_tip": ("Unzip files", "Lancer l'extraction des fichiers"),
    "error": ("Error", "Erreur"),
    "no_details": (
        "No details of extraction to\n be posted for the moment.",
        "Pas de détails d'extraction\nà afficher pour l'instant.",
    ),
    "question": ("Warning", "Attention"),
    "replace": ("Replace existing file:", "Remplacer le fichier existant:"),
    "with": ("With file:", "Par le fichier:"),
    "yes_for_all": ("Yes For All", "Oui pour Tous"),
    "size_date": ("{size} bytes {date}", "{size} octets du {date}"),
    "thousands": (",", " "),
    "file": ("File:", "Fichier:"),
    "done": ("Done.", "Extraction achevée."),
    "details": ("Détails", "Détails"),
    "tree": ("Extracted Files:", "Fichiers Extraits:"),
    "report": ("Report", "Rapport"),
    "report_tip": ("View extraction report", "Afficher le rapport d'extraction"),
    "report_title": ("Extract Report", "Rapport d'extraction"),
    "close": ("Close", "Fermer"),
}
TEXTS = {
    language: {key: pair[i] for key, pair in WORDS.items()}
    for i, language in enumerate(("english", "french"))
}

# The packs, in the order the program takes them (by name). beta and gamma bring files of alpha
# again in other versions, and every pack a new version of the target's wad: without Yes For All
# the question would come six times.
ALPHA_TIME = (2021, 3, 14, 15, 9, 26)
WAD_IN_ALPHA = b"WAD3" + bytes(range(256)) * 5 + b"a" * 216  # 1,500 bytes
PACKS = {
    "alpha.zip": (
        ALPHA_TIME,
        {
            "maps/alpha.bsp": b"BSP alpha" * 40,
            "maps/alpha.txt": b"Alpha: a small map for two teams.\r\n",
            "halflife.wad": WAD_IN_ALPHA,
            "models/player/alpha/alpha.mdl": b"IDST alpha model" * 20,
            "sound/ambience/wind.wav": b"RIFF alpha wind" * 30,
            "readme.txt": b"Alpha by someone.\r\n",
        },
    ),
    "beta.zip": (
        (2022, 6, 1, 8, 0, 0),
        {
            "maps/beta.bsp": b"BSP beta" * 50,
            "halflife.wad": b"WAD3" + b"b" * 1596,
            "models/player/alpha/alpha.mdl": b"IDST alpha model, fixed" * 20,
            "sound/ambience/wind.wav": b"RIFF beta wind" * 30,
            "readme.txt": b"Beta by someone else.\r\n",
        },
    ),
    "gamma.zip": (
        (2023, 11, 30, 22, 45, 0),
        {
            "maps/gamma.bsp": b"BSP gamma" * 60,
            "halflife.wad": b"WAD3" + b"g" * 1696,
            "sound/ambience/wind.wav": b"RIFF gamma wind" * 30,
        },
    ),
}
# In the target before the run.
OLD_WAD = b"WAD3" + b"o" * 1996  # 2,000 bytes
OLD_WAD_TIME = (2020, 1, 5, 10, 30, 0)


def packed(pack, path):
    return PACKS[pack][1][path]


# Where the sorting puts each file, and which version stays: the last pack's.
EXPECTED_FILES = {
    "halflife.wad": packed("gamma.zip", "halflife.wad"),
    "maps/alpha.bsp": packed("alpha.zip", "maps/alpha.bsp"),
    "maps/alpha.txt": packed("alpha.zip", "maps/alpha.txt"),
    "maps/beta.bsp": packed("beta.zip", "maps/beta.bsp"),
    "maps/gamma.bsp": packed("gamma.zip", "maps/gamma.bsp"),
    "models/player/alpha/alpha.mdl": packed("beta.zip", "models/player/alpha/alpha.mdl"),
    "sound/ambience/wind.wav": packed("gamma.zip", "sound/ambience/wind.wav"),
    "divers/alpha/readme.txt": packed("alpha.zip", "readme.txt"),
    "divers/beta/readme.txt": packed("beta.zip", "readme.txt"),
}

# What the Extracting window's tree lists under each pack: folders first, each level by name.
TREE_FILES = {
    "alpha.zip": [
        "divers/alpha/readme.txt",
        "maps/alpha.bsp",
        "maps/alpha.txt",
        "models/player/alpha/alpha.mdl",
        "sound/ambience/wind.wav",
        "halflife.wad",
    ],
    "beta.zip": [
        "divers/beta/readme.txt",
        "maps/beta.bsp",
        "models/player/alpha/alpha.mdl",
        "sound/ambience/wind.wav",
        "halflife.wad",
    ],
    "gamma.zip": ["maps/gamma.bsp", "sound/ambience/wind.wav", "halflife.wad"],
}

SPLASH_SECONDS = 10


# Files and settings


def local_timestamp(date_time):
    return time.mktime(date_time + (0, 0, -1))


def write_packs(source):
    source.mkdir(parents=True)
    for name, (date_time, entries) in PACKS.items():
        with zipfile.ZipFile(source / name, "w", zipfile.ZIP_DEFLATED) as pack:
            for path, data in entries.items():
                pack.writestr(zipfile.ZipInfo(path, date_time), data, zipfile.ZIP_DEFLATED)


def write_starting_target(target):
    target.mkdir(parents=True)
    old = target / "halflife.wad"
    old.write_bytes(OLD_WAD)
    stamp = local_timestamp(OLD_WAD_TIME)
    os.utime(old, (stamp, stamp))


def tree_files(root):
    """Every file under root: relative path -> (content, modification second)."""
    files = {}
    for path in sorted(root.rglob("*")):
        if ".zanvo" in path.relative_to(root).parts:
            continue  # the install journals differ by their times
        if path.is_file():
            stamp = int(path.stat().st_mtime)
            files[path.relative_to(root).as_posix()] = (path.read_bytes(), stamp)
        elif not path.is_dir():
            raise TestFailure(f"{path} is neither a file nor a folder")
    return files


def differing(got, wanted):
    return sorted(key for key in set(got) | set(wanted) if got.get(key) != wanted.get(key))


def write_old_settings(language, old_sources):
    lines = ["[Settings]", f"Language={language}", "Analyse=1", "Replace=0", "Newer=0"]
    lines += ["WebUpdate=0", "MiscPath=divers\\\\", f"SourceDir={old_sources[0]}", "", "[Recents]"]
    write_settings(lines + [f"Source\\Path{i}={path}" for i, path in enumerate(old_sources, 1)])


def unescape_ini(value):
    """A value as Qt reads it back: quotes dropped, backslash escapes resolved."""
    escapes = {"n": "\n", "r": "\r", "t": "\t", "0": "\0"}
    out, i = [], 0
    while i < len(value):
        if value[i] == '"':
            i += 1
        elif value[i] == "\\" and i + 1 < len(value):
            out.append(escapes.get(value[i + 1], value[i + 1]))
            i += 2
        else:
            out.append(value[i])
            i += 1
    return "".join(out)


def read_settings():
    """Every value of the settings file, as "Group/SubKey/Name": value."""
    values, group = {}, ""
    for line in settings_file().read_text().splitlines():
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            group = "" if line == "[General]" else line[1:-1] + "/"
            continue
        key, _, value = line.partition("=")
        values[group + key.strip().replace("\\", "/")] = unescape_ini(value.strip())
    return values


# The program and its windows


def main_window(app, texts):
    title = texts["main"]
    return wait_for(f"the main window {title!r}", lambda: window_of(app, "dialog", title))


def combo_text_field(window, label_name):
    # Qt on Linux names a combo box after its text; the label says what the box is for.
    combo = labelled(window, label_name)
    if combo is None or combo.getRoleName() != "combo box":
        raise TestFailure(f"no combo box labelled {label_name!r} in {describe(window)}")
    field = find(combo, "text")
    if field is None or "EditableText" not in pyatspi.utils.listInterfaces(field):
        raise TestFailure(f"the combo box {label_name!r} has no text field to type into")
    # Its text field, where a screen reader lands, carries the label's name.
    expect(f"the name of the text field of {label_name}", field.name, label_name)
    return combo, field


def type_into_combo(window, label_name, text):
    field = combo_text_field(window, label_name)[1]
    if not field.queryEditableText().setTextContents(text):
        raise TestFailure(f"the text field of {label_name!r} refused the text {text!r}")
    expect(f"the text typed into {label_name}", text_of(field), text)


def combo_items(window, label_name):
    combo = combo_text_field(window, label_name)[0]
    items = pyatspi.findAllDescendants(combo, lambda child: child.getRoleName() == "list item")
    return [item.name for item in items]


def expected_tree_paths():
    """Each pack, then every folder and file it installed, as paths from the top."""
    paths = []
    for pack, files in TREE_FILES.items():
        paths.append(pack)
        for file in files:
            parts = file.split("/")
            for depth in range(1, len(parts) + 1):
                path = "/".join([pack] + parts[:depth])
                if path not in paths:
                    paths.append(path)
    return paths


def size_date_line(texts, data, date_time):
    size = f"{len(data):,}".replace(",", texts["thousands"])
    day = time.strftime("%d/%m/%Y %H:%M", time.localtime(local_timestamp(date_time)))
    return texts["size_date"].format(size=size, date=day)


def quit_program(program, window, texts):
    press(button(window, texts["quit"]))
    expect("the program's exit status", program.wait_for_exit(), 0)


# Steps


def answer_replace_question(app, texts, target):
    """The first existing file: the target's old wad against alpha's."""
    title = texts["question"]
    question = wait_for(f"the question {title!r}", lambda: window_of(app, "dialog", title))
    existing = f"{target}/halflife.wad"
    expect(texts["replace"], labelled_value(question, texts["replace"]), existing)
    expect(texts["with"], labelled_value(question, texts["with"]), existing)
    shown = labels_of(question)
    for line in (
        size_date_line(texts, OLD_WAD, OLD_WAD_TIME),
        size_date_line(texts, WAD_IN_ALPHA, ALPHA_TIME),
    ):
        if line not in shown:
            raise TestFailure(f"the question shows {shown}, not the line {line!r}")
    print(f"ok: the question shows {shown}")
    press(button(question, texts["yes_for_all"]))
    wait_for(f"the question {title!r} to close", lambda: gone(question))


def wait_for_done_without_questions(app, window, texts):
    """Later packs hold existing files too; after Yes For All none of them may be asked about."""

    def done():
        question = window_of(app, "dialog", texts["question"])
        if question is not None:
            raise TestFailure(f"another question came after Yes For All: {labels_of(question)}")
        for box in find_all(app, "alert"):
            raise TestFailure(f"the message box {box.name!r} came: {labels_of(box)}")
        return labelled_value(window, texts["file"]) == texts["done"]

    wait_for(f"{texts['file']} to read {texts['done']!r}", done)
    print(f"ok: {texts['file']} = {texts['done']!r}, and no other question came")


def install_through_windows(program, texts, source, target):
    """From the main window through the Extracting window to Quit; the report's text."""
    app = program.find_application()
    window = main_window(app, texts)
    # Typed without the final separator: the main window adds it.
    type_into_combo(window, texts["source"], str(source))
    type_into_combo(window, texts["target"], str(target))
    press(button(window, texts["extract"]))

    title = texts["extracting"]
    extracting = wait_for(f"the window {title!r}", lambda: window_of(app, "dialog", title))
    expect(texts["source"], labelled_value(extracting, texts["source"]), f"{source}/")
    expect(texts["target"], labelled_value(extracting, texts["target"]), f"{target}/")
    unzip = button(extracting, texts["unzip"])
    expect(f"the tooltip of {texts['unzip']}", unzip.description, texts["unzip_tip"])
    # Nothing to show before the run.
    press(button(extracting, texts["details"]))
    answer_message_box(app, texts["error"], texts["no_details"], "OK")
    press(unzip)
    answer_replace_question(app, texts, target)
    wait_for_done_without_questions(app, extracting, texts)
    total = find(extracting, "progress bar", "Total:").queryValue().currentValue
    expect("the progress bar Total:", total, float(len(PACKS)))

    press(button(extracting, texts["details"]))
    tree = wait_for("the tree of extracted files", lambda: find(extracting, "tree"))
    expect("the tree's name", tree.name, texts["tree"])
    rows = wait_for("the tree's rows", lambda: tree_rows(tree))
    expect("the tree's rows", paths_of(rows), expected_tree_paths())

    report = wait_for(texts["report"], lambda: find(extracting, "push button", texts["report"]))
    expect(f"the tooltip of {texts['report']}", report.description, texts["report_tip"])
    report = read_report(app, report, texts["report_title"], texts["close"])
    press(button(extracting, texts["close"]))
    wait_for(f"the window {title!r} to close", lambda: window_of(app, "dialog", title) is None)
    quit_program(program, main_window(app, texts), texts)
    return report


def check_installed_files(target):
    got = {path: data for path, (data, _) in tree_files(target).items()}
    if got != EXPECTED_FILES:
        raise TestFailure(f"the target differs from the packs in {differing(got, EXPECTED_FILES)}")
    print(f"ok: on disk {sorted(got)}")


def check_settings(language, source, target, old_sources):
    values = read_settings()
    wanted = {
        "Settings/SourceDir": f"{source}/",
        "Settings/TargetDir": f"{target}/",
        "Settings/Type": "1",
        "Settings/Language": language,
        "Settings/Analyse": "1",
        "Settings/Replace": "0",
        "Settings/Newer": "0",
        "Settings/WebUpdate": "0",
        "Settings/Journal": "1",
        "Settings/MiscPath": "divers\\",
        "Recents/Target/Path1": f"{target}/",
    }
    for i, path in enumerate([f"{source}/"] + old_sources, 1):
        wanted[f"Recents/Source/Path{i}"] = path
    for key, value in wanted.items():
        expect(f"the setting {key}", values.get(key), value)
    unexpected = sorted(set(values) - set(wanted))
    if unexpected:
        raise TestFailure(f"the settings file holds unexpected values {unexpected}")
    return values


def splash_windows(app, texts):
    """The start-up picture: a window of the program beside the main window."""
    return [child for child in app if child and is_showing(child) and child.name != texts["main"]]


def check_second_start(executable, folder, texts, source, target, old_sources):
    """The folders of the last installation are back, and with them the recent lists."""
    with running([executable], folder / "second-start.log") as program:
        app = program.find_application()
        window = main_window(app, texts)
        splash = wait_for("the start-up picture", lambda: splash_windows(app, texts))[0]
        print(f"ok: the start-up picture shows: {describe(splash)} after {program.age():.1f} s")
        for name, path in ((texts["source"], source), (texts["target"], target)):
            field = combo_text_field(window, name)[1]
            expect(f"the field {name}", text_of(field), f"{path}/")
        sources = sorted([f"{source}/"] + old_sources, key=str.casefold)
        expect(f"the list of {texts['source']}", combo_items(window, texts["source"]), sources)
        targets = combo_items(window, texts["target"])
        expect(f"the list of {texts['target']}", targets, [f"{target}/"])
        what = "the start-up picture to close by itself"
        wait_for(what, lambda: not splash_windows(app, texts), SPLASH_SECONDS)
        print(f"ok: the start-up picture closed by itself after {program.age():.1f} s")
        quit_program(program, window, texts)


def compare_with_cli(cli, language, texts, source, target, cli_target, report):
    """zanvo-cli, with the stored options and Yes For All, must do and say the same."""
    command = [cli, "--language", language, "install", "--sort", "--no-replace"]
    command += ["--no-confirm-different", "--misc", "divers\\", "--yes-all", source, cli_target]
    done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    status = done.stderr.decode(errors="replace")
    if done.returncode != 0:
        raise TestFailure(f"zanvo-cli install ended with status {done.returncode}: {status}")
    expect("zanvo-cli's final status", status.splitlines()[-1], texts["done"])
    theirs = done.stdout.decode().replace("\r\n", "\n")
    expect("the report, against zanvo-cli's", report.replace("\r\n", "\n"), theirs)
    ours, theirs = tree_files(target), tree_files(cli_target)
    if ours != theirs:
        raise TestFailure(f"zanvo-cli's target differs in {differing(ours, theirs)}")
    print(f"ok: zanvo-cli installed the same {len(ours)} files, byte for byte and dated alike")


def drive(executable, work, cli, language):
    began = time.monotonic()
    texts = TEXTS[language]
    folder = Path(work) / language
    source, target, cli_target = folder / "packs", folder / "game", folder / "game-cli"
    # Recent sources from earlier runs; the installation puts its own first.
    old_sources = [f"{folder / 'Older'}/", f"{folder / 'old'}/"]
    for old in old_sources:
        Path(old).mkdir(parents=True)
    write_packs(source)
    write_starting_target(target)
    shutil.copytree(target, cli_target)
    write_old_settings(language, old_sources)

    with running([executable], folder / "first-start.log") as program:
        report = install_through_windows(program, texts, source, target)
    check_installed_files(target)
    settings = check_settings(language, source, target, old_sources)
    check_second_start(executable, folder, texts, source, target, old_sources)
    expect("the settings after a start without work", read_settings(), settings)
    compare_with_cli(cli, language, texts, source, target, cli_target, report)
    print(f"passed in {time.monotonic() - began:.1f} s")


if __name__ == "__main__":
    main(drive)
