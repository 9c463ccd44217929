#!/usr/bin/env bash
# Sets Zanvo up (scripts/setup.sh) and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh release
if [ "$#" -eq 0 ]; then
    set -- --help
fi
exec build/release/cli/zanvo-cli "$@"
