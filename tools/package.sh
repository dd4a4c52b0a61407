#!/usr/bin/env bash
# Builds the Debian and the RPM package into the folder given (packages/ by default) and runs
# lintian on the .deb.
source "$(dirname "$0")/lib.sh"
out=$(realpath -m "${1:-$(dirname "$0")/../packages}")
cd "$(dirname "$0")/.."

tools/setup.sh

# Debian's hardening flags, with immediate binding.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-package -j "$(nproc)"
mkdir -p "$out"
cpack --config build-package/CPackConfig.cmake -B "$out/.cpack"
mv "$out"/.cpack/*.deb "$out"/.cpack/*.rpm "$out"/
rm -rf "$out/.cpack"
lintian --fail-on error "$out"/*.deb
ls -l "$out"
