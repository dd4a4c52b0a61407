#!/usr/bin/env bash
# Makes the Windows installer from the zip's folder: the same files, a Start-menu shortcut and
# an entry in the installed-programs list (packaging/vorpa.wxs). Called by the Windows build
# (target vorpa_msi); the installer test also calls it to make a second version.
#   tools/make-msi.sh BUNDLE_FOLDER VERSION OUTPUT.msi
source "$(dirname "$0")/lib.sh"
bundle=$(realpath "$1") version=$2 output=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/.." && pwd)
description='Обучающие примеры по арифметике'
newer_installed='Уже установлена более новая версия Vorpa. Чтобы поставить эту, сначала удалите установленную.'

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The icon of the shortcut and of the installed-programs entry, from the program's own.
for size in 16 32 48 256; do
    rsvg-convert -w $size -h $size "$root/data/icons/vorpa.svg" -o "$scratch/$size.png"
done
icotool -c -o "$scratch/vorpa.ico" "$scratch"/{16,32,48}.png --raw="$scratch/256.png"

# Every file of the folder but vorpa.exe, which vorpa.wxs names itself.
(cd "$bundle/.." && find "$(basename "$bundle")" -type f | LC_ALL=C sort |
    wixl-heat --directory-ref INSTALLDIR --component-group BundleFiles --var var.Bundle \
        -p "$(basename "$bundle")/" -x vorpa.exe --win64) >"$scratch/files.wxs"

# wixl takes only relative source paths.
ln -s "$bundle" "$scratch/bundle"
rm -f "$output"
(cd "$scratch" && wixl -a x64 -D Version="$version" -D Bundle=bundle -D Icon=vorpa.ico -D Win64=yes \
    -o "$output" "$root/packaging/vorpa.wxs" files.wxs)

# wixl 0.101 leaves the database without a code page and drops the Cyrillic letters from its
# tables; with the code page set, msibuild writes them.
printf '\r\n\r\n1251\t_ForceCodepage\r\n' >"$scratch/_ForceCodepage.idt"
msibuild "$output" -i "$scratch/_ForceCodepage.idt"
msibuild "$output" -q "UPDATE \`Shortcut\` SET \`Description\` = '$description' WHERE \`Shortcut\` = 'StartMenu'"
msibuild "$output" -q "UPDATE \`LaunchCondition\` SET \`Description\` = '$newer_installed' WHERE \`Condition\` = 'NOT NEWERFOUND'"
echo "Made $output ($(du -k "$output" | cut -f1) KiB)"
