#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those still missing.
# Extra package names given as arguments are installed too.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libqt6svg6 libxcb1-dev
    fonts-liberation xvfb xauth xdotool
    desktop-file-utils appstream locales
    clang libclang-rt-14-dev libbenchmark-dev
    dpkg-dev rpm file lintian xdotool
    "$@"
)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

# The window tests run a second time under Russian regional settings.
if ! locale -a | grep -qx 'ru_RU\.utf8'; then
    echo "Generating the locale ru_RU.UTF-8"
    "${sudo[@]}" sed -i 's/^# *\(ru_RU\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    "${sudo[@]}" locale-gen
fi
