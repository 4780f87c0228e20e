#!/usr/bin/env bash
# Velmora's one entry point for people and CI.
#   bash tools/velmora.sh run    install what is missing, build, start Velmora
#   bash tools/velmora.sh test   install what is missing, build, run every test
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
build="${VELMORA_BUILD_DIR:-$root/build}"

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libtag1-dev libgtest-dev googletest)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    configure_and_build
    exec "$build/src/app/velmora"
    ;;
test)
    install_missing
    configure_and_build
    cd "$build"
    ctest --output-on-failure -j"$(nproc)"
    ;;
*)
    echo "usage: bash tools/velmora.sh run|test" >&2
    exit 2
    ;;
esac
