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
#   scripts/setup.sh package-windows  build-windows/corvalt-*-windows-x86_64.zip (the window
#                                  and corvalt-cli) and corvalt-cli-*-windows-x86_64.zip
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
    at-spi2-core python3-pyatspi dbus-x11 xvfb xdotool openbox x11-utils
)
BUILD_DIR=${BUILD_DIR:-build}

# The Windows build: MinGW-w64 (the -posix compilers, whose threads
# GoogleTest needs), Wine to run what it builds with its own faces and the
# system's Song face the window asks for, which Wine lends to the programs
# it runs, GoogleTest's sources and the header-only libraries; for Qt, built
# from Debian's source by scripts/build-qt-windows.sh, Debian's host tools
# of the same version; the icon rendered from its SVG; Xvfb and xdotool for
# the window under Wine.
readonly WINDOWS_PACKAGES=(
    cmake ninja-build
    g++-mingw-w64-x86-64-posix wine64 fonts-wine
    googletest libcli11-dev nlohmann-json3-dev
    fonts-arphic-uming fonts-dejavu-core
    dpkg-dev perl qt6-base-dev qt6-base-dev-tools
    librsvg2-bin icoutils
    xvfb xauth xdotool
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
        cmake --build "$WINDOWS_DIR/googletest" -j "$(nproc)"
        cmake --install "$WINDOWS_DIR/googletest" >/dev/null
    fi
    mkdir -p "$prefix/include" "$prefix/share/cmake"
    ln -sfn /usr/include/CLI "$prefix/include/CLI"
    ln -sfn /usr/include/nlohmann "$prefix/include/nlohmann"
    cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
}

# Builds everything for Windows into build-windows/, the window against Qt
# for MinGW (built once per machine, the first time ~20 minutes on two
# cores), its tests set to run under Wine; CMake arguments given are added.
# Sets QT_WINDOWS to Qt's prefix.
windows_build() {
    install_missing "${WINDOWS_PACKAGES[@]}"
    windows_prefix
    QT_WINDOWS=$(scripts/build-qt-windows.sh)
    local prefix=$PWD/$WINDOWS_DIR/prefix
    # shellcheck disable=SC2086 # CMAKE_ARGS is a list of words on purpose
    # -O2 as in the Linux build: at -O3 MinGW's GCC 12 warns falsely
    # (-Wrestrict) inside std::string's operator+. Debian's moc, rcc and
    # uic serve the cross build as Qt's host tools.
    cmake -S . -B "$WINDOWS_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_FIND_ROOT_PATH="$prefix;$QT_WINDOWS" -DCMAKE_PREFIX_PATH="$prefix;$QT_WINDOWS" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE" \
        -DCORVALT_WINDOW=ON -DCORVALT_BENCH=OFF ${CMAKE_ARGS:-} "$@"
    cmake --build "$WINDOWS_DIR" -j "$(nproc)"
}

# The folders of the DLLs the window's programs load: Qt's, and the MinGW
# runtime's (libstdc++, libgcc, winpthread) that Qt links.
windows_dll_folders() {
    echo "$QT_WINDOWS/bin"
    dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)"
    dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)"
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
    cmake --build "$WINDOWS_DIR/host" --target wine_hid_run -j "$(nproc)" >&2 || exit 1
    echo "$PWD/$WINDOWS_DIR/host/tests/windows/wine_hid_run"
}

# Wine's settings for the programs of the build: a private prefix in the
# build folder; Qt's and the runtime's DLLs, and Qt's plugins, found where
# they were built.
wine_environment() {
    export WINEPREFIX=$PWD/$WINDOWS_DIR/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINE WINESERVER
    WINEPATH=$(windows_dll_folders | sed 's/^/Z:/' | paste -sd ';')
    export WINEPATH QT_PLUGIN_PATH="Z:$QT_WINDOWS/plugins"
}

# Runs a command with Wine set up: the prefix made on first use, and one
# wineserver kept for the whole run (each program would otherwise start and
# stop its own), ended afterwards.
with_wine() {
    wine_environment
    # The window's tests run offscreen unless one names Windows' own
    # platform.
    export QT_QPA_PLATFORM=offscreen
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

# Runs a command with DISPLAY naming an Xvfb of its own, for the window
# under Wine: a 1366x768 screen, at Wine's 96 DPI. Started before Wine, so
# that Wine's desktop opens on it.
with_xvfb() {
    local display_file xvfb status=0
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb=$!
    while [ ! -s "$display_file" ]; do
        kill -0 "$xvfb" 2>/dev/null || { echo "setup: Xvfb did not start" >&2; return 1; }
        sleep 0.1
    done
    (
        export DISPLAY=":$(cat "$display_file")"
        "$@"
    ) || status=$?
    rm -f "$display_file"
    kill "$xvfb"
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
        # Two at a time where the machine has the cores: starting Wine and Qt
        # is most of each test's time. The tests on Wine's display run alone.
        with_xvfb with_wine ctest --test-dir "$WINDOWS_DIR" --output-on-failure -LE wine-hid -j "$(nproc)"
        # The Wine HID tests start the wineserver themselves, inside the
        # umockdev world: none may be running.
        wine_environment
        with_xvfb ctest --test-dir "$WINDOWS_DIR" --output-on-failure -L wine-hid
        ;;
    package-windows)
        windows_build
        version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WINDOWS_DIR/CMakeCache.txt")
        rm -rf "$WINDOWS_DIR/zip"
        # corvalt-cli alone: one .exe that needs only the system's DLLs.
        cli=$WINDOWS_DIR/zip/corvalt-cli-$version-windows-x86_64
        mkdir -p "$cli/licences"
        x86_64-w64-mingw32-strip -o "$cli/corvalt-cli.exe" "$WINDOWS_DIR/cli/corvalt-cli.exe"
        # The window beside it, with Qt's DLLs, its Windows platform and
        # style plugins where Qt looks for them (beside the program), and
        # the MinGW runtime DLLs Qt links.
        window=$WINDOWS_DIR/zip/corvalt-$version-windows-x86_64
        mkdir -p "$window/licences" "$window/platforms" "$window/styles"
        x86_64-w64-mingw32-strip -o "$window/corvalt.exe" "$WINDOWS_DIR/app/corvalt.exe"
        cp "$cli/corvalt-cli.exe" "$window/"
        strip_dll() { x86_64-w64-mingw32-strip --strip-unneeded -o "$2/$(basename "$1")" "$1"; }
        for dll in Qt6Core Qt6Gui Qt6Widgets; do
            strip_dll "$QT_WINDOWS/bin/$dll.dll" "$window"
        done
        strip_dll "$QT_WINDOWS/plugins/platforms/qwindows.dll" "$window/platforms"
        strip_dll "$QT_WINDOWS/plugins/styles/qwindowsvistastyle.dll" "$window/styles"
        for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
            strip_dll "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)" "$window"
        done
        for stage in "$cli" "$window"; do
            cp README.md LICENSE "$stage/"
            # The libraries built into the programs, and the terms they
            # come under.
            cp /usr/share/doc/libcli11-dev/copyright "$stage/licences/CLI11.txt"
            cp /usr/share/doc/nlohmann-json3-dev/copyright "$stage/licences/nlohmann-json.txt"
            cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licences/mingw-w64.txt"
            cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright "$stage/licences/gcc-runtime.txt"
        done
        # Qt, under the LGPL 3, and what it carries of others (FreeType,
        # HarfBuzz, libpng, PCRE2, zlib, ...), as Debian's source lists
        # them; the DLLs can be replaced by the user's own build, and where
        # the source they were built from is.
        cp /usr/share/doc/libqt6core6/copyright "$window/licences/Qt.txt"
        cp /usr/share/common-licenses/LGPL-3 "$window/licences/LGPL-3.txt"
        cp /usr/share/common-licenses/GPL-3 "$window/licences/GPL-3.txt"
        qt_source=$(dpkg-query -W -f='${source:Package} ${source:Version}' qt6-base-dev-tools)
        cat >"$window/licences/Qt-source.txt" <<SOURCE
Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll and the plugins in platforms\ and
styles\ are Qt $(sed 's/+.*//' <<<"${qt_source#* }"), under the GNU Lesser General Public License
version 3 (LGPL-3.txt, GPL-3.txt). They were built, unchanged, from
Debian's source package "$qt_source" (deb.debian.org, or
"apt-get source qt6-base=${qt_source#* }" on Debian 12) by the script
scripts/build-qt-windows.sh of Corvalt's own source. You may replace them
with your own build of the same Qt version.
SOURCE
        for stage in "$cli" "$window"; do
            name=$(basename "$stage")
            rm -f "$WINDOWS_DIR/$name.zip"
            (cd "$WINDOWS_DIR/zip" && cmake -E tar cf "../$name.zip" --format=zip "$name")
            echo "setup: wrote $WINDOWS_DIR/$name.zip"
        done
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
