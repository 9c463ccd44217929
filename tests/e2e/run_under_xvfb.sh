#!/usr/bin/env bash
# Runs the AT-SPI driver against the real program: a private X server, a private D-Bus session
# (the accessibility bus and its registry start in it on demand) and a temporary HOME, so that
# neither the user's desktop nor the user's settings are touched.
# Usage: run_under_xvfb.sh ZANVO [DRIVER [ARGUMENTS...]]   Exits 77 (skipped) when the tools are
# not installed. DRIVER, a script of this folder, defaults to extract_window_atspi.py.
set -euo pipefail

program=${1:?usage: run_under_xvfb.sh ZANVO}
here=$(cd "$(dirname "$0")" && pwd)
# Debian's interpreter: pyatspi comes as a Debian package, not for other installations.
python=/usr/bin/python3

skip() {
    echo "SKIPPED: $1 (apt-get install xvfb xauth at-spi2-core python3-pyatspi dbus)"
    exit 77
}
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the AT-SPI bus launcher is not installed"
"$python" -c 'import pyatspi' 2>/dev/null || skip "$python cannot import pyatspi"

work=$(mktemp -d "${TMPDIR:-/tmp}/zanvo-e2e.XXXXXX")
xvfb_pid=""
# What the session started (the accessibility bus and its registry) carries its runtime folder.
session_pids() {
    grep -lsxzF "XDG_RUNTIME_DIR=$work/runtime" /proc/[0-9]*/environ | cut -d/ -f3 || true
}
cleanup() {
    # They end on their own once the session bus is gone; the X server waits for them.
    for _ in $(seq 50); do
        [ -z "$(session_pids)" ] && break
        sleep 0.1
    done
    for pid in $(session_pids); do
        kill "$pid" 2>/dev/null || true
    done
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts clients: no race with
# another X server started at the same time.
mkdir -m 700 "$work/home" "$work/runtime"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    if [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
display=$(head -n 1 "$work/display" 2>/dev/null || true)
if [ -z "$display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

# Qt reaches the accessibility bus only on xcb (offscreen has no bridge) and only when asked.
status=0
env -u DBUS_SESSION_BUS_ADDRESS -u AT_SPI_BUS_ADDRESS -u WAYLAND_DISPLAY -u SESSION_MANAGER \
    DISPLAY=":$display" \
    HOME="$work/home" \
    XDG_CONFIG_HOME="$work/home/.config" \
    XDG_CACHE_HOME="$work/home/.cache" \
    XDG_DATA_HOME="$work/home/.local/share" \
    XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=xcb \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    timeout --kill-after=10 240 \
    dbus-run-session -- "$python" "$here/${2:-extract_window_atspi.py}" "$program" "$work" \
    "${@:3}" || status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "FAILED: the driver did not end within 240 s" >&2
fi
exit "$status"
