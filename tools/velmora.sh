#!/usr/bin/env bash
# Velmora's one entry point for people and CI.
#   bash tools/velmora.sh run [FOLDER | FILE...]
#                                install what is missing, build, start Velmora
#   bash tools/velmora.sh test   install what is missing, build, run every test,
#                                check what an install and the package hold,
#                                and that every C++ file is formatted
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
build="${VELMORA_BUILD_DIR:-$root/build}"

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libtag1-dev libssl-dev libgtest-dev googletest zlib1g-dev
          desktop-file-utils appstream dpkg-dev lintian clang-format
          flac vorbis-tools opus-tools ffmpeg python3-mutagen)

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

# Installs into a temporary prefix and validates the desktop entry, the
# AppStream metainfo and the manual page there; then builds the Debian package,
# checks that it holds the same files and that lintian finds nothing to warn of.
check_install_and_package() {
    local prefix
    prefix=$(mktemp -d)
    trap 'rm -rf "$prefix"' RETURN
    cmake --install "$build" --prefix "$prefix" >/dev/null
    local installed=(bin/velmora bin/velmora-cli share/man/man1/velmora-cli.1.gz
                     share/bash-completion/completions/velmora-cli share/velmora/velmora.html share/applications/velmora.desktop
                     share/icons/hicolor/scalable/apps/velmora.svg share/metainfo/org.velmora.velmora.metainfo.xml
                     share/man/man1/velmora.1.gz share/doc/velmora/copyright share/doc/velmora/changelog.Debian.gz
                     share/lintian/overrides/velmora)
    for f in "${installed[@]}"; do
        [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; return 1; }
    done
    desktop-file-validate "$prefix/share/applications/velmora.desktop"
    appstreamcli validate --no-net "$prefix/share/metainfo/org.velmora.velmora.metainfo.xml"
    # The manual page must be valid roff: man reports its warnings on stderr.
    local manwarnings
    local page
    for page in velmora velmora-cli; do
        manwarnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
        [ -z "$manwarnings" ] || { echo "$page.1: $manwarnings" >&2; return 1; }
    done
    # The command line runs where there is no display.
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/velmora-cli" --version >/dev/null \
        || { echo "velmora-cli does not run without a display" >&2; return 1; }
    (cd "$build" && rm -f velmora_*.deb && cpack -G DEB >/dev/null)
    local deb
    deb=$(ls "$build"/velmora_*.deb)
    local contents
    contents=$(dpkg-deb --contents "$deb")
    for f in "${installed[@]}"; do
        grep -q "\./usr/$f\$" <<<"$contents" || { echo "not in $deb: usr/$f" >&2; return 1; }
    done
    dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || { echo "$deb: no Qt dependency" >&2; return 1; }
    # lintian warns that it runs as root unless told that this is meant; a
    # container's build often is root.
    local asroot=()
    [ "$(id -u)" -eq 0 ] && asroot=(--allow-root)
    lintian "${asroot[@]}" --fail-on error,warning "$deb" || { echo "$deb: lintian reports errors or warnings" >&2; return 1; }
    echo "Install and package checked: $deb"
}

# Every C++ file must be as .clang-format makes it.
check_format() {
    local files
    files=$(git -C "$root" ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
    # shellcheck disable=SC2086
    if ! clang-format --dry-run --Werror $files; then
        echo "Files above are not formatted: run clang-format -i on them." >&2
        return 1
    fi
}

configure_and_build() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    configure_and_build
    exec "$build/src/app/velmora" "${@:2}"
    ;;
test)
    install_missing
    configure_and_build
    (cd "$build" && ctest --output-on-failure -j"$(nproc)")
    check_install_and_package
    check_format
    ;;
*)
    echo "usage: bash tools/velmora.sh run|test" >&2
    exit 2
    ;;
esac
