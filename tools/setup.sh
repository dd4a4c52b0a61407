#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those still missing.
# Extra package names given as arguments are installed too; `--arch ARCH` (arm64, armhf) adds
# what a build for that processor needs: the architecture in dpkg, the cross compiler, Debian's
# Qt of that architecture and the qemu-user emulator that runs its tests.
source "$(dirname "$0")/lib.sh"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libqt6svg6 libxcb1-dev
    fonts-liberation fonts-noto-core xvfb xauth xdotool x11-utils
    desktop-file-utils appstream locales
    clang libclang-rt-14-dev libbenchmark-dev
    dpkg-dev rpm file lintian
)
architectures=()
while [ $# -gt 0 ]; do
    case $1 in
    --arch) architectures+=("$2"); shift 2 ;;
    *) packages+=("$1"); shift ;;
    esac
done

# Installed means installed: a package removed with its configuration left behind is missing.
# A name without an architecture means the machine's own, also once others are added to dpkg.
install_missing() {
    local missing=() package native
    native=$(dpkg --print-architecture)
    for package in "$@"; do
        dpkg-query -W -f='${binary:Package} ${Status}\n' "$package" 2>/dev/null |
            grep -qxF -e "$package install ok installed" -e "$package:$native install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

install_missing "${packages[@]}"

for arch in "${architectures[@]}"; do
    if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        echo "Adding the architecture $arch to dpkg"
        "${as_root[@]}" dpkg --add-architecture "$arch"
    fi
    triple=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
    install_missing "g++-$triple" qemu-user-static \
        "qt6-base-dev:$arch" "qt6-qpa-plugins:$arch" "libqt6svg6:$arch" "libxcb1-dev:$arch"
done

# The window tests run a second time under Russian regional settings.
if ! locale -a 2>/dev/null | grep -x 'ru_RU\.utf8' >/dev/null; then
    echo "Generating the locale ru_RU.UTF-8"
    "${as_root[@]}" sed -i 's/^# *\(ru_RU\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    grep -qx 'ru_RU\.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ru_RU.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    "${as_root[@]}" locale-gen
fi
