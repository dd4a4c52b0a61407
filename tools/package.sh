#!/usr/bin/env bash
# Builds the Debian and the RPM package into the folder given (packages/ by default) and runs
# lintian on the .deb. With --arch arm64 or --arch armhf it cross-builds with Debian's own Qt of
# that architecture and makes only the .deb, whose dependencies dpkg-shlibdeps reads from the
# target's libraries.
#   tools/package.sh [--arch amd64|arm64|armhf] [FOLDER]
source "$(dirname "$0")/lib.sh"
arch=amd64
if [ "${1:-}" = --arch ]; then
    arch=$2
    shift 2
fi
out=$(realpath -m "${1:-$(dirname "$0")/../packages}")
cd "$(dirname "$0")/.."

configure=()
case $arch in
amd64) tools/setup.sh ;;
arm64 | armhf)
    tools/setup.sh --arch "$arch"
    toolchain=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
    configure=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$toolchain.cmake")
    export DEB_HOST_ARCH=$arch # the hardening flags of that architecture
    ;;
*) echo "Unknown architecture $arch: amd64, arm64 or armhf" >&2; exit 2 ;;
esac

# Debian's hardening flags, with immediate binding.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
build=build-package
[ "$arch" = amd64 ] || build=build-package-$arch
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "${configure[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out/.cpack"
mv "$out"/.cpack/*.deb "$out"/
[ "$arch" != amd64 ] || mv "$out"/.cpack/*.rpm "$out"/
rm -rf "$out/.cpack"
lintian --fail-on error "$out"/vorpa_*_"$arch".deb
ls -l "$out"
