#!/usr/bin/env bash
# The READMEs name the tests that hold each behaviour; a name there that no test has any more
# (a renamed or removed test function) sends a reader looking for nothing. Every `tst_*`,
# `wine_*` or `fuzz_*` name in their tables must be a test, and every camelCase name that follows
# a suite's name in the same cell must be a test function of that suite.
source "$(dirname "$0")/../../tools/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

# The tests CTest knows, by the names the CMake files give them, and the suites' source files.
known_test() {
    local name=$1
    [ -n "$(find tests fuzz -name "$name.cpp" -print -quit)" ] && return 0
    grep -rqE "(add_test\(NAME|vorpa_add_test\(|wine_test\(|foreach\(name)[^)]*\b$name\b" \
        --include=CMakeLists.txt --include='*.cmake' tests fuzz && return 0
    # Names made by a loop, such as tst_forms_ru_RU from tst_forms.
    case $name in *_ru_RU) known_test "${name%_ru_RU}" ;; *) return 1 ;; esac
}

suite_source() {
    find tests -name "${1%_ru_RU}.cpp" -print -quit
}

missing=()
while IFS= read -r line; do
    suite=
    # One table cell at a time; the suite named last in a cell owns the functions after it.
    IFS='|' read -ra cells <<<"$line"
    for cell in "${cells[@]}"; do
        suite=
        while read -r name; do
            [ -n "$name" ] || continue
            if [[ $name =~ ^(tst|wine|fuzz)_[A-Za-z0-9_]+$ ]]; then
                known_test "$name" || missing+=("test $name")
                suite=$name
            elif [[ $name =~ ^[a-z]+[A-Z][A-Za-z0-9]*$ ]] && [ -n "$suite" ]; then
                source=$(suite_source "$suite")
                [ -n "$source" ] && grep -qE "void $name\(" "$source" ||
                    missing+=("function $suite $name")
            else
                suite=
            fi
        done < <({ grep -oE '`[^`]+`' <<<"$cell" || true; } | tr -d '`')
    done
done < <(grep -hE '^\|' README.md tests/README.md)

if [ ${#missing[@]} -gt 0 ]; then
    echo "The READMEs name tests that do not exist:"
    printf '  %s\n' "${missing[@]}"
    exit 1
fi
echo "Every test the READMEs name exists."
