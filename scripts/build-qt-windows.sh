#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (MinGW-w64, posix threads) from Debian's own
# source package of qtbase, once per machine, into a cache folder outside the
# clone, and prints that folder. Nothing is downloaded but Debian's source
# package; Debian's moc, rcc and uic of the same version serve as host tools.
#
#   scripts/build-qt-windows.sh            build if missing, print the prefix
#   scripts/build-qt-windows.sh --prefix   only print where the prefix goes
#
# The prefix is keyed by the Qt version, the compiler and the options below,
# so a change of any builds afresh beside the old. Only what the window
# needs is built: Core, Gui, Widgets, Test, the Windows platform plugin and
# the offscreen one the window's tests run on (with FreeType, Qt's own copy:
# that plugin draws text only through it). The prefix records its own path
# in a few files, so it stays where it was built. CORVALT_CACHE (default
# ~/.cache/corvalt) moves the cache.
set -euo pipefail

cd "$(dirname "$0")/.."

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools | sed 's/+.*//')
debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
compiler_version=$(x86_64-w64-mingw32-g++-posix -dumpversion)
cache=${CORVALT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvalt}
# 6.4.2's traps: -DFEATURE_opengl=OFF leaves dynamic OpenGL on and the
# Windows plugin fails to compile, hence INPUT_opengl; Direct2D stays on, as
# the DirectWrite font code every program links is built only with it.
# Tablet events need the wintab headers Debian's source leaves out.
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DINPUT_opengl=no
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_tabletevent=OFF
)
key=$(printf '%s\n' "${options[@]}" | sha256sum | cut -c1-8)
prefix=$cache/qt-$qt_version-mingw-w64-x86_64-gcc$compiler_version-$key

if [ "${1:-}" = --prefix ]; then
    echo "$prefix"
    exit 0
fi
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian's sources for the release the machine runs, beside its binaries.
sources=/etc/apt/sources.list.d/corvalt-qt-source.sources
if ! apt-get source --print-uris -q "qt6-base=$debian_version" >/dev/null 2>&1; then
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    as_root tee "$sources" >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    as_root apt-get update -q >&2
fi

# An interrupted build goes on where it stopped: the unpacked source and
# the build tree are kept until the prefix is complete.
work=$cache/qt-$qt_version-mingw-work-$key
if [ ! -f "$work/.unpacked" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$work" && apt-get source -q "qt6-base=$debian_version" >&2)
    touch "$work/.unpacked"
fi
qtbase=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
# The build keeps the toolchain it was configured with, whatever the clone
# it is resumed from.
toolchain=$work/mingw-w64-x86_64.cmake
[ -f "$toolchain" ] || cp cmake/mingw-w64-x86_64.cmake "$toolchain"

jobs=$(nproc)
cmake -S "$qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${options[@]}" >&2
cmake --build "$work/build" --parallel "$jobs" >&2
cmake --install "$work/build" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
