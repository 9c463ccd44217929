#!/usr/bin/env bash
# Sets Zanvo up (scripts/setup.sh) and starts its window. Arguments go to the program.
# Without a display it says so and how to go on, and exits with status 1.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "zanvo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); the window cannot open." >&2
    echo "  Install from a terminal: $top/build/release/cli/zanvo-cli --help" >&2
    echo "  Or start the window on a virtual display: xvfb-run $top/build/release/app/zanvo" >&2
    exit 1
fi
exec "$top/build/release/app/zanvo" "$@"
