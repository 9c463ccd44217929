#!/usr/bin/env bash
# Sets Zanvo up (scripts/setup.sh) and starts it. Arguments go to the program, and relative
# paths among them are taken from the folder the command was started in.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/setup.sh" release
if [ "$#" -eq 0 ]; then
    set -- --help
fi
exec "$top/build/release/cli/zanvo-cli" "$@"
