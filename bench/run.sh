#!/usr/bin/env bash
# Benchmarks zanvo-cli against unzip, bsdtar and 7z on generated archives, and the Extracting
# window and the archive viewer against zanvo-cli; markdown tables.
# Usage: bench/run.sh [--backend isal|zlib|both] [--cli PATH]... [--window PATH] [--viewer PATH]
#                     [--runs N] [--only LABEL]... [ARCHIVE_FOLDER]
#   --backend B     build and time the ISA-L build (preset release), the zlib one
#                   (release-zlib) or both, taking turns in one run (default both)
#   --cli PATH      time this zanvo-cli binary instead of building (repeatable)
#   --window PATH   time this zanvo-window-bench instead of building it (the window works)
#   --viewer PATH   time this zanvo-viewer-bench instead of building it (the viewer work)
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
backend=both
clis=()
presets=()
window=""
viewer=""
while [ $# -gt 0 ]; do
    case "$1" in
        --backend)
            backend="$2"; shift 2
            case "$backend" in
                isal|zlib|both) ;;
                *) echo "run.sh: --backend takes isal, zlib or both" >&2; exit 2 ;;
            esac ;;
        --cli) clis+=(--cli "$2"); shift 2 ;;
        --runs) runs="$2"; shift 2 ;;
        --only) only+=(--only "$2"); shift 2 ;;
        --window) window="$2"; shift 2 ;;
        --viewer) viewer="$2"; shift 2 ;;
        -h|--help) sed -n '2,15p' "$bench/run.sh" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "run.sh: unknown option $1" >&2; exit 2 ;;
        *) folder="$1"; shift ;;
    esac
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
# The peers and tools, each with the Debian package that brings it.
missing=()
for pair in unzip:unzip bsdtar:libarchive-tools 7z:p7zip-full /usr/bin/time:time \
            python3:python3; do
    if ! command -v "${pair%%:*}" >/dev/null; then
        missing+=("${pair#*:}")
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
if [ "${#clis[@]}" -eq 0 ]; then
    case "$backend" in
        isal) presets=(release) ;;
        zlib) presets=(release-zlib) ;;
        both) presets=(release release-zlib) ;;
    esac
    for preset in "${presets[@]}"; do
        if [ ! -f "build/$preset/CMakeCache.txt" ]; then
            cmake --preset "$preset" >/dev/null
        fi
        cmake --build --preset "$preset" --target zanvo-cli >&2
        # The release preset falls back to zlib quietly when the build does not find ISA-L.
        if [ "$preset" = release ] && ! ldd build/release/cli/zanvo-cli | grep -q libisal; then
            echo "run.sh: build/release inflates with zlib: install libisal-dev" \
                 "(scripts/setup.sh) and remove build/release/CMakeCache.txt" >&2
            exit 2
        fi
        clis+=(--cli "build/$preset/cli/zanvo-cli")
    done
fi

# The window works ("window map-pack.zip", "window small-files.zip") need the window bench:
# built in the preset of the back-end (release when both), to run against the zanvo-cli of
# the same inflater. With --cli nothing is built; bench.py then takes the release preset's if
# there is one.
window_wanted=$([ "${#only[@]}" -eq 0 ] && echo yes || echo no)
for ((i = 1; i < ${#only[@]}; i += 2)); do
    for label in "window map-pack.zip" "window small-files.zip"; do
        if [[ "$label" == *"${only[$i]}"* ]]; then
            window_wanted=yes
        fi
    done
done
window_args=()
if [ -n "$window" ]; then
    window_args=(--window "$window")
elif [ "$window_wanted" = yes ] && [ "${#presets[@]}" -gt 0 ]; then
    preset="${presets[0]}"
    cmake --build --preset "$preset" --target zanvo-window-bench >&2
    window_args=(--window "build/$preset/bench/zanvo-window-bench")
fi

# The viewer work ("viewer small-files.zip") needs the viewer bench, built the same way.
viewer_wanted=$([ "${#only[@]}" -eq 0 ] && echo yes || echo no)
for ((i = 1; i < ${#only[@]}; i += 2)); do
    if [[ "viewer small-files.zip" == *"${only[$i]}"* ]]; then
        viewer_wanted=yes
    fi
done
viewer_args=()
if [ -n "$viewer" ]; then
    viewer_args=(--viewer "$viewer")
elif [ "$viewer_wanted" = yes ] && [ "${#presets[@]}" -gt 0 ]; then
    preset="${presets[0]}"
    cmake --build --preset "$preset" --target zanvo-viewer-bench >&2
    viewer_args=(--viewer "build/$preset/bench/zanvo-viewer-bench")
fi

python3 bench/make_archives.py "$folder" >&2
python3 bench/bench.py "${clis[@]}" "${window_args[@]}" "${viewer_args[@]}" --archives "$folder" \
    --runs "$runs" --output "$folder/results.md" "${only[@]}"
