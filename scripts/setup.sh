#!/usr/bin/env bash
# Installs what Zanvo needs on Debian 12 (only what is missing), then configures and builds.
# Usage: scripts/setup.sh [PRESET]   (debug, release or asan; default release)
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-release}"

packages=(
    build-essential cmake ninja-build pkg-config
    zlib1g-dev libisal-dev libssl-dev nlohmann-json3-dev libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
    clang libclang-rt-14-dev
)
# Callers may ask for more (the tests need strace).
read -r -a extra <<< "${ZANVO_EXTRA_PACKAGES:-}"
packages+=("${extra[@]}")
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
