#!/usr/bin/env python3
"""What a build delivers, checked in a temporary folder removed at the end.

install_test.py files|validate|deb BUILD_DIR gui|cli CMAKE CPACK
  files     cmake --install puts down exactly the expected files, and each is what it claims
  validate  the desktop entry, the metainfo and the man page pass their validators
  deb       cpack -G DEB makes one package per component, with those files and dependencies
"""
import gzip
import os
import struct
import subprocess
import sys
import tempfile

APP_ID = "example.orbelle.Zanvo"
CLI_FILES = [
    "bin/zanvo-cli",
    "share/man/man1/zanvo-cli.1.gz",
]
GUI_FILES = [
    "bin/zanvo",
    "share/applications/example.orbelle.Zanvo.desktop",
    "share/icons/hicolor/128x128/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/16x16/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/22x22/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/24x24/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/256x256/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/32x32/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/48x48/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/64x64/apps/example.orbelle.Zanvo.png",
    "share/icons/hicolor/scalable/apps/example.orbelle.Zanvo.svg",
    "share/metainfo/example.orbelle.Zanvo.metainfo.xml",
]
SOURCE = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))


def run(command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)} ended with {result.returncode}:\n"
                 f"{result.stdout}{result.stderr}")
    return result


def files_below(root):
    found = []
    for folder, _, names in os.walk(root):
        found += [os.path.relpath(os.path.join(folder, name), root) for name in names]
    return sorted(found)


def expect(condition, message):
    if not condition:
        sys.exit(message)


def check_files(root, with_gui):
    expected = sorted(CLI_FILES + (GUI_FILES if with_gui else []))
    found = files_below(root)
    missing, unexpected = sorted(set(expected) - set(found)), sorted(set(found) - set(expected))
    expect(found == expected, f"missing: {missing}\nunexpected: {unexpected}")
    for program in ("zanvo-cli", "zanvo") if with_gui else ("zanvo-cli",):
        expect(os.access(os.path.join(root, "bin", program), os.X_OK), f"{program} not executable")
    with gzip.open(os.path.join(root, "share/man/man1/zanvo-cli.1.gz"), "rb") as page, \
            open(os.path.join(SOURCE, "desktop/zanvo-cli.1"), "rb") as source:
        expect(page.read() == source.read(), "the installed man page is not desktop/zanvo-cli.1")
    for icon in (f for f in expected if f.endswith(".png")):
        size = int(icon.split("/")[3].split("x")[0])
        with open(os.path.join(root, icon), "rb") as png:
            header = png.read(24)
        expect(header[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", header[16:24])
               == (size, size), f"{icon} is not a {size}x{size} PNG")


def install(build, cmake, prefix):
    run([cmake, "--install", build, "--prefix", prefix])


def validate(root, with_gui):
    with gzip.open(os.path.join(root, "share/man/man1/zanvo-cli.1.gz"), "rt") as page:
        rendered = run(["groff", "-man", "-Tutf8", "-ww"], input=page.read())
    expect(rendered.stderr == "" and "zanvo-cli" in rendered.stdout,
           f"groff warns about the man page:\n{rendered.stderr}")
    if with_gui:
        desktop = run(["desktop-file-validate",
                       os.path.join(root, f"share/applications/{APP_ID}.desktop")])
        expect(desktop.stdout + desktop.stderr == "",
               f"desktop-file-validate:\n{desktop.stdout}{desktop.stderr}")
        # Information (I:) and pedantic (P:) notes are allowed; warnings and errors are not.
        metainfo = run(["appstreamcli", "validate", "--no-net",
                        os.path.join(root, f"share/metainfo/{APP_ID}.metainfo.xml")])
        complaints = [line for line in metainfo.stdout.splitlines() if line[:2] in ("W:", "E:")]
        expect(not complaints, "appstreamcli validate:\n" + metainfo.stdout)


def check_packages(folder, with_gui):
    packages = {}
    for name in sorted(os.listdir(folder)):
        if name.endswith(".deb"):
            deb = os.path.join(folder, name)
            fields = run(["dpkg-deb", "-f", deb, "Package", "Version", "Architecture",
                          "Depends"]).stdout
            info = dict(line.split(": ", 1) for line in fields.splitlines())
            expect(name == f"{info['Package']}_{info['Version']}_{info['Architecture']}.deb",
                   f"{name} is not named the Debian way")
            packages[info["Package"]] = (deb, info)
    expect(sorted(packages) == sorted(["zanvo-cli"] + (["zanvo"] if with_gui else [])),
           f"packages made: {sorted(packages)}")
    for package, files in (("zanvo-cli", CLI_FILES), ("zanvo", GUI_FILES)):
        if package in packages:
            deb, info = packages[package]
            unpacked = os.path.join(folder, package)
            run(["dpkg", "-x", deb, unpacked])
            found = files_below(unpacked)
            expect(found == sorted("usr/" + f for f in files), f"{package} holds {found}")
            print(f"{package} Depends: {info.get('Depends', '')}")
    cli_depends = packages["zanvo-cli"][1].get("Depends", "")
    expect("libc6" in cli_depends and "qt6" not in cli_depends.lower(),
           f"zanvo-cli Depends: {cli_depends}")
    if with_gui:
        depends = packages["zanvo"][1].get("Depends", "")
        version = packages["zanvo-cli"][1]["Version"]
        expect(f"zanvo-cli (= {version})" in depends and "libqt6widgets6" in depends,
               f"zanvo Depends: {depends}")


def main():
    check, build, gui, cmake, cpack = sys.argv[1:6]
    with_gui = gui == "gui"
    with tempfile.TemporaryDirectory(prefix="zanvo-install-") as temp:
        if check == "files":
            install(build, cmake, temp)
            check_files(temp, with_gui)
        elif check == "validate":
            install(build, cmake, temp)
            validate(temp, with_gui)
        elif check == "deb":
            run([cpack, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                 "-B", temp], cwd=temp)
            check_packages(temp, with_gui)
        else:
            sys.exit(f"unknown check {check}")


if __name__ == "__main__":
    main()
