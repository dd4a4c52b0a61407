# Sourced by every script of the project. A failing command ends the script, also inside
# functions, subshells and $(...), and says first which script, line and command it was: a
# script never stops without a word.
set -Eeuo pipefail
shopt -s inherit_errexit

report_failure() {
    local status=$1 line=$2 command=$3
    echo "${BASH_SOURCE[1]:-$0}: line $line: '$command' failed with exit status $status" >&2
}
error_trap='report_failure $? "$LINENO" "$BASH_COMMAND"'
trap "$error_trap" ERR

# Package installation and system files go through sudo unless we are root already.
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
