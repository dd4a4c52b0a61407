#!/usr/bin/env bash
# Cross-builds the Windows program with mingw-w64 and packs it into a zip.
#
# No Qt for Windows is packaged for Debian, so the first run fetches Debian's own Qt source
# (qt6-base) with `apt-get source` and cross-builds it into a cache folder outside the tree,
# ${VORPA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-~/.cache}/vorpa-windows}. That takes about half an
# hour on two cores; later runs reuse it. The program is then built with that Qt in
# build-windows/ and packed with the DLLs, plugins, translation and mingw runtime it needs, as
# build-windows/vorpa-windows.zip. `ctest` in build-windows/ then runs the tests under Wine.
#
# Qt's SVG module is not built: the source of Debian's qt6-svg cannot be fetched from the
# archive this project reaches, so the program's icons go in as PNG instead.
#
#   tools/build-windows.sh                Qt (when not cached), the program, the zip
#   tools/build-windows.sh --qt-only      only Qt
#   tools/build-windows.sh --configure-qt Qt's first steps only: the source fetched, unpacked and
#                                         mended, the build configured (tests/setup checks them)
source "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/.."
source=$PWD
mode=${1:-all}
case $mode in
all | --qt-only | --configure-qt) ;;
*) echo "Unknown option $mode; see the head of $0" >&2; exit 2 ;;
esac

cache=${VORPA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vorpa-windows}
prefix=$cache/qt6-mingw
jobs=${VORPA_JOBS:-$(nproc)}
build=${VORPA_WINDOWS_BUILD:-$source/build-windows}
source_list=/etc/apt/sources.list.d/vorpa-deb-src.sources

tools/setup.sh mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev unzip xdotool xvfb \
    librsvg2-bin wixl msitools icoutils

# `apt-get source` needs deb-src entries for the release the machine runs: derived from its own
# deb entries where they are missing.
add_source_entries() {
    local entries
    entries=$(tools/deb-src-entries.sh)
    [ -n "$entries" ] || return 0
    echo "== Adding deb-src entries beside the machine's deb entries ($source_list)"
    printf '\n%s\n' "$entries" | "${as_root[@]}" tee -a "$source_list" >/dev/null
    "${as_root[@]}" apt-get update -qq
}

# Prints the unpacked source folder of a Debian source package, fetching it when missing. A
# fetch cut short leaves no mark, so the next run starts it again.
fetch_source() {
    local package=$1 dir=
    mkdir -p "$cache/src"
    dir=$(find "$cache/src" -maxdepth 1 -type d -name "$package-[0-9]*" | head -n 1)
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
    if [ -f "$stamp" ] && [ "$mode" != --configure-qt ]; then
        echo "== Qt for Windows: cached in $prefix"
        return
    fi
    echo "== Qt for Windows: building into $prefix (about half an hour the first time)"
    add_source_entries
    write_toolchain
    local base hostinfo
    base=$(fetch_source qt6-base)
    # Qt 6.4 builds its DirectWrite font support only along with Direct2D, yet the windows
    # platform plugin asks for the DirectWrite font database whenever DirectWrite 3 is there:
    # without Direct2D it then fails to link. It uses the GDI one, its default, instead.
    local mended=$base/src/plugins/platforms/windows/qwindowsintegration.cpp
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$mended"
    grep -qx '#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' "$mended" ||
        { echo "The DirectWrite condition in $mended was not found: mend it by hand" >&2; return 1; }
    hostinfo=$(find /usr/lib -path '*/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake' | head -n 1)
    [ -n "$hostinfo" ] || { echo "No Qt6HostInfoConfig.cmake under /usr/lib (qt6-base-dev)" >&2; return 1; }

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
    [ "$mode" != --configure-qt ] || { echo "== Qt for Windows: configured in $cache/build-qtbase"; exit 0; }
    cmake --build "$cache/build-qtbase" -j "$jobs"
    rm -rf "$prefix"
    cmake --install "$cache/build-qtbase" >/dev/null
    basename "$base" >"$stamp"
}

build_qt
[ "$mode" != --qt-only ] || exit 0

echo "== The program for Windows, in $build"
"$prefix/bin/qt-cmake" -S "$source" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_BINDIR=. >/dev/null
cmake --build "$build" -j "$jobs"
echo "== Packed: $build/vorpa-windows.zip"
