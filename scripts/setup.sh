#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, builds Corvalt, then
# starts it ("run") or runs the whole test suite ("test").
#
#   scripts/setup.sh run          build and start corvalt
#   scripts/setup.sh test         build and run every test
#   scripts/setup.sh package      build the Debian package build-package/corvalt_*.deb
#                                 from debian/ with dpkg-buildpackage
#   scripts/setup.sh packages P…  only install the Debian packages P… if missing
#
# Runs as root, or as a user who may use sudo. BUILD_DIR (default: build)
# and CMAKE_ARGS add to the build.
set -euo pipefail

cd "$(dirname "$0")/.."

readonly PACKAGES=(
    cmake g++ pkg-config ninja-build
    qt6-base-dev libqt6svg6
    libgtest-dev
    libcli11-dev nlohmann-json3-dev
    umockdev libumockdev-dev
    appstream desktop-file-utils groff-base
    fonts-arphic-uming
    at-spi2-core python3-pyatspi dbus-x11 xvfb xdotool
)
BUILD_DIR=${BUILD_DIR:-build}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "setup: installing packages needs root; run this as root or install sudo" >&2
        exit 1
    fi
}

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    # shellcheck disable=SC2086 # CMAKE_ARGS is a list of words on purpose
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

case "${1:-}" in
    run)
        install_missing "${PACKAGES[@]}"
        build
        exec "$BUILD_DIR/app/corvalt"
        ;;
    test)
        install_missing "${PACKAGES[@]}"
        build
        ctest --test-dir "$BUILD_DIR" --output-on-failure
        ;;
    package)
        # Built from a copy of the tree, as dpkg-buildpackage writes the
        # package beside the source folder; debian/control lists what the
        # build needs.
        install_missing dpkg-dev debhelper
        rm -rf build-package
        mkdir -p build-package/corvalt
        tar -c --exclude=./.git --exclude='./build*' . | tar -x -C build-package/corvalt
        cd build-package/corvalt
        dpkg-checkbuilddeps 2>/dev/null || as_root apt-get build-dep -y -q ./
        dpkg-buildpackage -b -us -uc -j"$(nproc)"
        ;;
    packages)
        shift
        install_missing "$@"
        ;;
    *)
        echo "usage: $0 run | test | package | packages PACKAGE..." >&2
        exit 2
        ;;
esac
