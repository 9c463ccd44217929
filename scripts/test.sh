#!/usr/bin/env bash
# Sets Zanvo up and runs every test headless, built with AddressSanitizer and
# UndefinedBehaviorSanitizer, once with each inflater (ISA-L and zlib). Fails when a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh asan
cmake --preset asan-zlib >/dev/null
cmake --build --preset asan-zlib
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j 2 "$@"
ctest --preset asan-zlib -j 2 "$@"
