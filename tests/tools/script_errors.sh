#!/usr/bin/env bash
# A script of the project never stops without a word: a command failing deep inside it (in a
# function, in $(...), in a pipeline) ends it with the script, the line and the command named.
# And every script of the project takes that behaviour from tools/lib.sh.
source "$(dirname "$0")/../../tools/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cat >"$scratch/failing.sh" <<SCRIPT
#!/usr/bin/env bash
source "$root/tools/lib.sh"
first_folder() {
    local found
    found=\$(find "$scratch/missing" -maxdepth 1 -type d | head -n 1)
    echo "\$found"
}
folder=\$(first_folder)
echo "went on past the failure"
SCRIPT
chmod +x "$scratch/failing.sh"
rc=0
"$scratch/failing.sh" >"$scratch/out" 2>"$scratch/err" || rc=$?
[ $rc -ne 0 ] || { echo "FAIL: the script went on"; exit 1; }
! grep -q 'went on' "$scratch/out" || { echo "FAIL: the script went on after the failure"; exit 1; }
grep -q "^$scratch/failing.sh: line 5: '.*' failed with exit status 1$" "$scratch/err" || {
    echo "FAIL: the failure is not reported with script, line and command; stderr was:"
    cat "$scratch/err"
    exit 1
}

silent=()
while IFS= read -r script; do
    grep -q 'source "$(dirname "$0")/.*lib\.sh"' "$root/$script" || silent+=("$script")
done < <(cd "$root" && find tools tests -name '*.sh' ! -path tools/lib.sh | sort)
[ ${#silent[@]} -eq 0 ] || { echo "FAIL: scripts without tools/lib.sh: ${silent[*]}"; exit 1; }
echo "A failing command is named with its script and line, in every script"
