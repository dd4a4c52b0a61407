#!/usr/bin/env bash
# The Windows build's first run, as on a machine that has never made one: with a cache folder
# that does not exist yet, tools/build-windows.sh fetches Debian's Qt source, unpacks and mends
# it and configures Qt's build, whatever Qt is cached elsewhere. It stops there: building Qt is
# the Windows build's own step.
source "$(dirname "$0")/../../tools/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cache=$scratch/cache
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

VORPA_WINDOWS_CACHE=$cache "$root/tools/build-windows.sh" --configure-qt

sources=("$cache"/src/qt6-base-[0-9]*/)
[ ${#sources[@]} -eq 1 ] && [ -d "${sources[0]}" ] || fail "no single qt6-base source in $cache/src"
[ -f "${sources[0]}.vorpa-unpacked" ] || fail "the source is not marked as completely unpacked"
grep -qx '#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' \
    "${sources[0]}src/plugins/platforms/windows/qwindowsintegration.cpp" ||
    fail "the DirectWrite mend is not applied"
grep -qx "CMAKE_INSTALL_PREFIX:PATH=$cache/qt6-mingw" "$cache/build-qtbase/CMakeCache.txt" ||
    fail "Qt's build is not configured for $cache/qt6-mingw"
grep -qx 'set(CMAKE_CXX_COMPILER ".*/x86_64-w64-mingw32-g++-posix")' \
    "$cache"/build-qtbase/CMakeFiles/*/CMakeCXXCompiler.cmake ||
    fail "Qt's build does not use the mingw-w64 compiler"
[ -f "$cache/build-qtbase/build.ninja" ] || fail "configuring Qt wrote no build.ninja"
[ ! -e "$cache/qt6-mingw/.vorpa-complete" ] || fail "a Qt that was only configured is marked complete"
echo "The first run fetched $(basename "${sources[0]}"), mended it and configured Qt's build"
