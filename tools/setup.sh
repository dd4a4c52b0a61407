#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those still missing.
# Extra package names given as arguments are installed too.
source "$(dirname "$0")/lib.sh"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libqt6svg6 libxcb1-dev
    fonts-liberation xvfb xauth xdotool
    desktop-file-utils appstream locales
    clang libclang-rt-14-dev libbenchmark-dev
    dpkg-dev rpm file lintian
    "$@"
)

# Installed means installed: a package removed with its configuration left behind is missing.
missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) || status=
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

# The window tests run a second time under Russian regional settings.
if ! locale -a 2>/dev/null | grep -x 'ru_RU\.utf8' >/dev/null; then
    echo "Generating the locale ru_RU.UTF-8"
    "${as_root[@]}" sed -i 's/^# *\(ru_RU\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    grep -qx 'ru_RU\.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ru_RU.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    "${as_root[@]}" locale-gen
fi
