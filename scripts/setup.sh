#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, builds Corvalt, then
# starts it ("run") or runs the whole test suite ("test").
#
#   scripts/setup.sh run           build and start corvalt
#   scripts/setup.sh test          build and run every test
#   scripts/setup.sh package       build the Debian package build-package/corvalt_*.deb
#                                  from debian/ with dpkg-buildpackage
#   scripts/setup.sh test-windows  cross-build for Windows into build-windows/ and
#                                  run every test there under Wine
#   scripts/setup.sh package-windows  build-windows/corvalt-cli-*-windows-x86_64.zip
#   scripts/setup.sh packages P…   only install the Debian packages P… if missing
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

# The Windows build: MinGW-w64 (the -posix compilers, whose threads
# GoogleTest needs), Wine to run what it builds, GoogleTest's sources and
# the header-only libraries.
readonly WINDOWS_PACKAGES=(
    cmake ninja-build
    g++-mingw-w64-x86-64-posix wine64
    googletest libcli11-dev nlohmann-json3-dev
)
# The Linux program that drives the Windows build against umockdev's
# emulated readers through Wine's HID stack.
readonly WINE_HID_PACKAGES=(g++ pkg-config libgtest-dev nlohmann-json3-dev umockdev libumockdev-dev)
readonly WINDOWS_DIR=build-windows
readonly WINE=/usr/lib/wine/wine64
readonly WINESERVER=/usr/lib/wine/wineserver

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

# What the cross build finds instead of the host's: GoogleTest built for
# MinGW from Debian's sources, and CLI11's and nlohmann-json's CMake
# packages beside links to their headers. Pointing the cross build at
# /usr/share/cmake would pull all of /usr/include in, glibc's headers too.
windows_prefix() {
    local prefix=$PWD/$WINDOWS_DIR/prefix
    if [ ! -f "$prefix/lib/libgtest.a" ]; then
        # shellcheck disable=SC2086 # CMAKE_ARGS is a list of words on purpose
        cmake -S /usr/src/googletest -B "$WINDOWS_DIR/googletest" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
            -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$prefix" ${CMAKE_ARGS:-}
        cmake --build "$WINDOWS_DIR/googletest"
        cmake --install "$WINDOWS_DIR/googletest" >/dev/null
    fi
    mkdir -p "$prefix/include" "$prefix/share/cmake"
    ln -sfn /usr/include/CLI "$prefix/include/CLI"
    ln -sfn /usr/include/nlohmann "$prefix/include/nlohmann"
    cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}

# Builds everything but the window (Qt) for Windows into build-windows/,
# its tests set to run under Wine; CMake arguments given are added.
windows_build() {
    install_missing "${WINDOWS_PACKAGES[@]}"
    windows_prefix
    local prefix=$PWD/$WINDOWS_DIR/prefix
    # shellcheck disable=SC2086 # CMAKE_ARGS is a list of words on purpose
    # -O2 as in the Linux build: at -O3 MinGW's GCC 12 warns falsely
    # (-Wrestrict) inside std::string's operator+.
    cmake -S . -B "$WINDOWS_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE" \
        -DCORVALT_WINDOW=OFF -DCORVALT_BENCH=OFF ${CMAKE_ARGS:-} "$@"
    cmake --build "$WINDOWS_DIR"
}

# The Linux program of the Wine HID tests, from a build without Qt in
# build-windows/host; prints its path.
# Run in a command substitution, where set -e does not hold: each step
# ends it on failure itself.
wine_hid_run() {
    install_missing "${WINE_HID_PACKAGES[@]}" >&2 || exit 1
    # shellcheck disable=SC2086 # CMAKE_ARGS is a list of words on purpose
    cmake -S . -B "$WINDOWS_DIR/host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCORVALT_WINDOW=OFF -DCORVALT_BENCH=OFF ${CMAKE_ARGS:-} >&2 || exit 1
    cmake --build "$WINDOWS_DIR/host" --target wine_hid_run >&2 || exit 1
    echo "$PWD/$WINDOWS_DIR/host/tests/windows/wine_hid_run"
}

# Runs a command with Wine set up: a private prefix in the build folder,
# made on first use, and one wineserver kept for the whole run (each
# program would otherwise start and stop its own), ended afterwards.
with_wine() {
    export WINEPREFIX=$PWD/$WINDOWS_DIR/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "setup: making the Wine prefix $WINEPREFIX"
        "$WINE" wineboot --init
        # Wine's bus driver looks for hidraw devices only with its SDL
        # bus off.
        "$WINE" reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' /t REG_DWORD /d 0 /f
    fi
    # The server of the set-up above, or one left by an interrupted run,
    # would make the kept one refuse to start (status 2).
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w
    "$WINESERVER" -p
    # Wine's services start with the first program and keep its standard
    # handles: started here, they hold none of ctest's pipes open.
    "$WINE" wineboot </dev/null >/dev/null 2>&1
    local status=0
    "$@" || status=$?
    "$WINESERVER" -k || true
    "$WINESERVER" -w || true
    return $status
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
    test-windows)
        hid_run=$(wine_hid_run)
        windows_build -DCORVALT_WINE_HID_RUN="$hid_run"
        with_wine ctest --test-dir "$WINDOWS_DIR" --output-on-failure -LE wine-hid
        # The Wine HID tests start the wineserver themselves, inside the
        # umockdev world: none may be running.
        export WINEPREFIX=$PWD/$WINDOWS_DIR/wineprefix WINEDEBUG=-all WINE WINESERVER
        ctest --test-dir "$WINDOWS_DIR" --output-on-failure -L wine-hid
        ;;
    package-windows)
        windows_build
        version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WINDOWS_DIR/CMakeCache.txt")
        name=corvalt-cli-$version-windows-x86_64
        stage=$WINDOWS_DIR/zip/$name
        rm -rf "$WINDOWS_DIR/zip" "$WINDOWS_DIR/$name.zip"
        mkdir -p "$stage/licences"
        x86_64-w64-mingw32-strip -o "$stage/corvalt-cli.exe" "$WINDOWS_DIR/cli/corvalt-cli.exe"
        cp README.md LICENSE "$stage/"
        # The libraries built into the program, and the terms they come under.
        cp /usr/share/doc/libcli11-dev/copyright "$stage/licences/CLI11.txt"
        cp /usr/share/doc/nlohmann-json3-dev/copyright "$stage/licences/nlohmann-json.txt"
        cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licences/mingw-w64.txt"
        cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$stage/licences/gcc-runtime.txt"
        (cd "$WINDOWS_DIR/zip" && cmake -E tar cf "../$name.zip" --format=zip "$name")
        echo "setup: wrote $WINDOWS_DIR/$name.zip"
        ;;
    packages)
        shift
        install_missing "$@"
        ;;
    *)
        echo "usage: $0 run | test | package | test-windows | package-windows | packages PACKAGE..." >&2
        exit 2
        ;;
esac
