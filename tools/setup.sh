#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those still missing.
# Extra package names given as arguments are installed too.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libqt6svg6 libxcb1-dev
    fonts-liberation xvfb xauth
    desktop-file-utils appstream
    clang libclang-rt-14-dev libbenchmark-dev
    dpkg-dev rpm file lintian xdotool
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
