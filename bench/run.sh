#!/usr/bin/env bash
# Benchmarks zanvo-cli against unzip on generated archives and prints a markdown table.
# Usage: bench/run.sh [--runs N] [--only LABEL]... [ARCHIVE_FOLDER]
#   --runs N        timed runs of each command after its warm-up run (default 5; commands
#                   of under 0.6 s run more often, until they have taken 3 s)
#   --only LABEL    keep only works whose "work archive" label contains LABEL (repeatable)
#   ARCHIVE_FOLDER  where the archives are made and kept (default build/bench)
# Exit status: 0 all targets met, 3 a target missed, 1 a tool gave a wrong result.
set -euo pipefail
bench="$(cd "$(dirname "$0")" && pwd)"
cd "$bench/.."

runs=5
only=()
folder=build/bench
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift 2 ;;
        --only) only+=(--only "$2"); shift 2 ;;
        -h|--help) sed -n '2,8p' "$bench/run.sh" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "run.sh: unknown option $1" >&2; exit 2 ;;
        *) folder="$1"; shift ;;
    esac
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
missing=()
for package in unzip time python3; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}" >&2
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The project's own set-up installs the build tools when they are not there yet.
if ! command -v cmake >/dev/null || ! command -v ninja >/dev/null; then
    scripts/setup.sh release
fi
if [ ! -f build/release/CMakeCache.txt ]; then
    cmake --preset release >/dev/null
fi
cmake --build --preset release --target zanvo-cli >&2

python3 bench/make_archives.py "$folder" >&2
python3 bench/bench.py --cli build/release/cli/zanvo-cli --archives "$folder" --runs "$runs" \
    --output "$folder/results.md" "${only[@]}"
