#!/usr/bin/env bash
# Sets Zanvo up and runs every test headless, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, once with each inflater (ISA-L and zlib); then the suites that
# run entries on several threads again under ThreadSanitizer. Fails when a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
# strace: a test watches every path zanvo-cli looks at. xvfb to dbus: a test drives the real
# program under Xvfb over the accessibility bus (AT-SPI). desktop-file-utils to groff-base: the
# install tests validate the desktop files and the man page, and build the Debian packages.
ZANVO_EXTRA_PACKAGES="strace xvfb xauth at-spi2-core python3-pyatspi dbus \
    desktop-file-utils appstream dpkg-dev groff-base" scripts/setup.sh asan
for preset in asan-zlib tsan; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j 2 "$@"
ctest --preset asan-zlib -j 2 "$@"
ctest --preset tsan -j 2 "$@"
