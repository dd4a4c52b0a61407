#!/usr/bin/env bash
# tools/deb-src-entries.sh on an apt configuration written by hand: a school's local mirror in the
# one-line format with options and comments, a deb822 file with an inline key, entries of other
# releases, a disabled one and a file apt ignores. It prints a deb-src entry for each deb entry of
# the release that has none, with its URIs, suites, components and keyring, and nothing once they
# are all there.
source "$(dirname "$0")/../../tools/lib.sh"
entries=$(cd "$(dirname "$0")/../../tools" && pwd)/deb-src-entries.sh
etc=$(mktemp -d)
trap 'rm -rf "$etc"' EXIT
mkdir "$etc/sources.list.d"

cat >"$etc/sources.list" <<'LIST'
# the school's mirror
deb [ arch=amd64 signed-by=/usr/share/keyrings/school.gpg ] file:/srv/mirror/debian/ bookworm main contrib # and a comment
  deb file:/srv/mirror/debian/ bookworm-updates main
deb-src file:/srv/mirror/debian bookworm-updates main
deb file:/srv/other/repo stable main
#deb-src file:/srv/mirror/debian/ bookworm main
LIST
cat >"$etc/sources.list.d/security.sources" <<'LIST'
# deb822
Types: deb
URIs: file:/srv/security/debian-security
suites: bookworm-security
Components: main non-free-firmware
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mQINBGPL0BUBEADmW5NdOOHwPIJlgPu6JDcKw/NZJPJs
 -----END PGP PUBLIC KEY BLOCK-----

Types: deb
URIs: file:/srv/off/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb deb-src
URIs: file:/srv/both/debian
Suites: bookworm-backports
Components: main
LIST
echo 'deb file:/srv/ignored/debian bookworm main' >"$etc/sources.list.d/old.list.disabled"

expected='Types: deb-src
URIs: file:/srv/mirror/debian/
Suites: bookworm
Components: main contrib
Signed-By: /usr/share/keyrings/school.gpg

Types: deb-src
Suites: bookworm-security
URIs: file:/srv/security/debian-security
Components: main non-free-firmware
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mQINBGPL0BUBEADmW5NdOOHwPIJlgPu6JDcKw/NZJPJs
 -----END PGP PUBLIC KEY BLOCK-----'

actual=$("$entries" "$etc" bookworm)
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") || true
    echo "FAIL: the derived entries differ from the expected ones (above: - expected, + printed)"
    exit 1
fi

# Written where build-windows.sh writes them, the entries are not asked for again.
printf '\n%s\n' "$actual" >"$etc/sources.list.d/vorpa-deb-src.sources"
again=$("$entries" "$etc" bookworm)
[ -z "$again" ] || { echo "FAIL: printed again once present:"; echo "$again"; exit 1; }
# No configuration at all is no error.
[ -z "$("$entries" "$etc/none" bookworm)" ] || { echo "FAIL: entries from no files"; exit 1; }
echo "The deb-src entries are derived from the deb entries, and only once"
