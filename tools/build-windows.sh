#!/usr/bin/env bash
# Cross-builds the Windows program with mingw-w64 and packs it into a zip.
#
# No Qt for Windows is packaged for Debian, so the first run fetches Debian's own Qt source
# (qt6-base) with `apt-get source` and cross-builds it into a cache folder outside the tree,
# ${VORPA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-~/.cache}/vorpa-windows}. That takes 30 to 60
# minutes on two cores; later runs reuse it. The program is then built with that Qt in
# build-windows/ and packed with the DLLs, plugins, translation and mingw runtime it needs, as
# build-windows/vorpa-windows.zip. `ctest` in build-windows/ then runs the tests under Wine.
#
# Qt's SVG module is not built: the source of Debian's qt6-svg cannot be fetched from the
# archive this project reaches, so the program's icons go in as PNG instead.
#
#   tools/build-windows.sh            Qt (when not cached), the program, the zip
#   tools/build-windows.sh --qt-only  only Qt
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
source=$PWD

cache=${VORPA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vorpa-windows}
prefix=$cache/qt6-mingw
jobs=${VORPA_JOBS:-$(nproc)}
build=${VORPA_WINDOWS_BUILD:-$source/build-windows}

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

tools/setup.sh mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev unzip xdotool xvfb \
    librsvg2-bin

# `apt-get source` needs a deb-src entry for the release the machine runs.
add_source_entries() {
    if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    local codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "== Adding a deb-src entry for Debian $codename"
    "${sudo[@]}" tee /etc/apt/sources.list.d/vorpa-debian-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    "${sudo[@]}" apt-get update -qq
}

# Prints the unpacked source folder of a Debian source package, fetching it when missing.
fetch_source() {
    local package=$1 dir
    dir=$(find "$cache/src" -maxdepth 1 -type d -name "$package-[0-9]*" 2>/dev/null | head -n 1)
    if [ -z "$dir" ] || [ ! -f "$dir/.vorpa-unpacked" ]; then
        rm -rf "$cache/src"
        mkdir -p "$cache/src"
        (cd "$cache/src" && apt-get source -qq "$package") >&2
        dir=$(find "$cache/src" -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)
        [ -n "$dir" ] || { echo "apt-get source $package unpacked nothing" >&2; return 1; }
        touch "$dir/.vorpa-unpacked"
    fi
    echo "$dir"
}

# Rewritten only when it changes, so that a finished Qt build is not configured anew.
write_toolchain() {
    mkdir -p "$cache"
    cat >"$cache/mingw-w64.cmake.new" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
    if cmp -s "$cache/mingw-w64.cmake.new" "$cache/mingw-w64.cmake"; then
        rm "$cache/mingw-w64.cmake.new"
    else
        mv "$cache/mingw-w64.cmake.new" "$cache/mingw-w64.cmake"
    fi
}

# The stamp is written only after a complete install. Without it the build folder, kept between
# runs so that an interrupted build goes on where it stopped, is finished and installed anew.
build_qt() {
    local stamp=$prefix/.vorpa-complete
    if [ -f "$stamp" ]; then
        echo "== Qt for Windows: cached in $prefix"
        return
    fi
    echo "== Qt for Windows: building into $prefix (30 to 60 minutes the first time)"
    add_source_entries
    write_toolchain
    local base hostinfo
    base=$(fetch_source qt6-base)
    # Qt 6.4 builds its DirectWrite font support only along with Direct2D, yet the windows
    # platform plugin asks for the DirectWrite font database whenever DirectWrite 3 is there:
    # without Direct2D it then fails to link. It uses the GDI one, its default, instead.
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$base/src/plugins/platforms/windows/qwindowsintegration.cpp"
    hostinfo=$(find /usr/lib -path '*/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake' | head -n 1)

    # Only what the program and its tests use: Core, Gui, Widgets, Test, the windows and
    # offscreen platforms. wintab.h (tablet input) is not in Debian's source.
    cmake -S "$base" -B "$cache/build-qtbase" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr \
        -DQt6HostInfo_DIR="$(dirname "$hostinfo")" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF >/dev/null
    cmake --build "$cache/build-qtbase" -j "$jobs"
    rm -rf "$prefix"
    cmake --install "$cache/build-qtbase" >/dev/null
    basename "$base" >"$stamp"
}

build_qt
[ "${1:-}" = "--qt-only" ] && exit 0

echo "== The program for Windows, in $build"
"$prefix/bin/qt-cmake" -S "$source" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_BINDIR=. >/dev/null
cmake --build "$build" -j "$jobs"
echo "== Packed: $build/vorpa-windows.zip"
