#!/usr/bin/env bash
# The settings store in the registry: with the key deleted the load reads zeros, and a save
# leaves seven REG_DWORD values that Wine's own reg.exe reads back. Usage: registry.sh WINE_RUN
# TEST_PROGRAM
source "$(dirname "$0")/../../tools/lib.sh"
run=$1 test=$2
key='HKCU\Software\Quorvantelle\Vorpa'

"$run" reg delete "$key" /f >/dev/null 2>&1 || true
"$run" "$test"

# Name, type and data of each value, one a line, as reg.exe prints them.
actual=$("$run" reg query "$key" | tr -d '\r' | awk 'NF == 3 { print $1, $2, $3 }' | sort)
expected=$(sort <<'LIST'
ExampleType REG_DWORD 0x4
ExampleDifficult REG_DWORD 0x1
ExampleMin1 REG_DWORD 0xfffffffb
ExampleMax1 REG_DWORD 0x5
ExampleMin2 REG_DWORD 0x80000000
ExampleMax2 REG_DWORD 0x7fffffff
IntellectualMode REG_DWORD 0x1
LIST
)
if [ "$actual" != "$expected" ]; then
    echo "reg query $key shows:"
    echo "$actual"
    echo "expected:"
    echo "$expected"
    exit 1
fi
echo "reg query $key shows the seven REG_DWORD values"
