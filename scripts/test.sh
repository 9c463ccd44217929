#!/usr/bin/env bash
# Sets Zanvo up and runs every test headless, built with AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails when a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh asan
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j 2 "$@"
