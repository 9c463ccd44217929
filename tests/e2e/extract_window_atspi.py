#!/usr/bin/python3
"""Installs a map pack through the Extracting window opened on its own (--extract-window),
driven only over AT-SPI: no language stored, so the window speaks French, and one entry fails
its CRC check.

Usage: extract_window_atspi.py ZANVO WORKDIR

Runs inside a private X server and D-Bus session (run_under_xvfb.sh sets them up). The whole
run from the main window, in both languages, is main_window_atspi.py's.
"""

import zipfile
from pathlib import Path

from atspi_kit import (
    answer_message_box,
    button,
    expect,
    find,
    labelled_value,
    main,
    press,
    running,
    wait_for,
    wait_for_value,
    window_of,
    write_settings,
)


def drive(executable, work):
    folder = Path(work) / "french"
    source, target = folder / "source", folder / "target"
    source.mkdir(parents=True)
    target.mkdir()
    good, damaged = b"C" * 100, b"damaged-map" * 10
    with zipfile.ZipFile(source / "c.zip", "w", zipfile.ZIP_STORED) as pack:
        pack.writestr("maps/c.bsp", good)
        pack.writestr("maps/d.bsp", damaged)
    # One byte of d.bsp's stored data changed: its CRC no longer matches.
    raw = (source / "c.zip").read_bytes()
    at = raw.index(damaged)
    (source / "c.zip").write_bytes(raw[:at] + bytes([raw[at] ^ 0xFF]) + raw[at + 1 :])
    write_settings(["[Settings]", "Analyse=1", "Replace=0", "Newer=0", "MiscPath=divers\\\\"])

    command = [executable, "--extract-window", target, source]
    with running(command, folder / "program.log") as program:
        app = program.find_application()
        title = "Extraction en cours"
        window = wait_for(f"the window {title!r}", lambda: window_of(app, "dialog", title))
        expect("Source:", labelled_value(window, "Source:"), f"{source}/")
        expect("Cible:", labelled_value(window, "Cible:"), f"{target}/")
        press(button(window, "Lancer"))
        answer_message_box(app, "Erreur", "d.bsp", "OK")
        wait_for_value(window, "Fichier:", "Extraction achevée:  1 Erreur(s).")
        wait_for("the Rapport button", lambda: find(window, "push button", "Rapport"))
        print("ok: the Rapport button")
        # The install journal (.zanvo) has tests of its own.
        landed = sorted(path.relative_to(target).as_posix() for path in target.rglob("*")
                        if ".zanvo" not in path.relative_to(target).parts)
        expect("what landed in the target", landed, ["maps", "maps/c.bsp"])
        expect("maps/c.bsp", (target / "maps/c.bsp").read_bytes(), good)
        press(button(window, "Fermer"))
        expect("the program's exit status", program.wait_for_exit(), 0)
    print("passed")


if __name__ == "__main__":
    main(drive)
