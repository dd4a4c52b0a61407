#!/usr/bin/env bash
# Prints, in apt's deb822 format, a deb-src entry for every deb entry of the machine's own
# release (suites CODENAME and CODENAME-*) that has none yet: the same URIs, suites, components
# and keyring, read from both of apt's formats (one-line sources.list and *.list files, deb822
# *.sources files). The machine's apt configuration is the only source of where packages come
# from, so a mirror is used as it is. Prints nothing when every such entry has its deb-src.
#   tools/deb-src-entries.sh [APT_ETC_DIR [CODENAME]]   (defaults: /etc/apt, the running release)
source "$(dirname "$0")/lib.sh"
etc=${1:-/etc/apt}
codename=${2:-$(. /etc/os-release && echo "$VERSION_CODENAME")}

# The files apt itself reads, in its order; other names in sources.list.d are ignored by apt.
files=()
[ -f "$etc/sources.list" ] && files+=("$etc/sources.list")
for file in "$etc"/sources.list.d/*.list "$etc"/sources.list.d/*.sources; do
    [ -f "$file" ] && files+=("$file")
done
[ ${#files[@]} -gt 0 ] || exit 0

# The files are read twice: the first pass notes every (URI, suite) that has a deb-src entry,
# the second prints what is missing.
awk -v codename="$codename" '
function ours(suite) {
    return suite == codename || index(suite, codename "-") == 1
}
function key(uri, suite) {
    sub(/\/+$/, "", uri)
    return uri SUBSEP suite
}
function has_type(types, wanted,    n, list, i) {
    n = split(types, list, /[ \t]+/)
    for (i = 1; i <= n; i++)
        if (list[i] == wanted)
            return 1
    return 0
}
# One line of a sources.list: type, [options], URI, suite, components.
function one_line(line,    options, n, word, i, type, uri, suite, components, signed, trusted) {
    sub(/#.*/, "", line)
    options = ""
    if (match(line, /\[[^]]*\]/)) {
        options = substr(line, RSTART + 1, RLENGTH - 2)
        line = substr(line, 1, RSTART - 1) " " substr(line, RSTART + RLENGTH)
    }
    n = split(line, word, /[ \t]+/)
    i = (word[1] == "") ? 2 : 1
    type = word[i]; uri = word[i + 1]; suite = word[i + 2]
    if ((type != "deb" && type != "deb-src") || suite == "")
        return
    if (pass == 1) {
        if (type == "deb-src")
            sourced[key(uri, suite)] = 1
        return
    }
    if (type != "deb" || !ours(suite) || (key(uri, suite) in sourced))
        return
    components = ""
    for (i += 3; i <= n; i++)
        if (word[i] != "")
            components = components (components == "" ? "" : " ") word[i]
    signed = ""; trusted = ""
    n = split(options, word, /[ \t]+/)
    for (i = 1; i <= n; i++) {
        if (word[i] ~ /^signed-by=/) signed = substr(word[i], 11)
        if (word[i] ~ /^trusted=/) trusted = substr(word[i], 9)
    }
    print "Types: deb-src"
    print "URIs: " uri
    print "Suites: " suite
    if (components != "") print "Components: " components
    if (signed != "") print "Signed-By: " signed
    if (trusted != "") print "Trusted: " trusted
    print ""
    sourced[key(uri, suite)] = 1
}
# A deb822 stanza, its lines in stanza[1..lines] with continuation lines joined to their field.
function field(name,    i, n, line) {
    for (i = 1; i <= lines; i++) {
        line = stanza[i]
        n = index(line, ":")
        if (n > 0 && tolower(substr(line, 1, n - 1)) == tolower(name)) {
            line = substr(line, n + 1)
            gsub(/\n/, " ", line)
            gsub(/^[ \t]+|[ \t]+$/, "", line)
            return line
        }
    }
    return ""
}
function end_stanza(    types, nu, uris, ns, suites, i, j, missing, name, n) {
    if (lines == 0)
        return
    types = field("Types")
    if (tolower(field("Enabled")) != "no") {
        nu = split(field("URIs"), uris, /[ \t]+/)
        ns = split(field("Suites"), suites, /[ \t]+/)
        if (pass == 1 && has_type(types, "deb-src")) {
            for (i = 1; i <= nu; i++)
                for (j = 1; j <= ns; j++)
                    sourced[key(uris[i], suites[j])] = 1
        } else if (pass == 2 && has_type(types, "deb")) {
            missing = ""
            for (j = 1; j <= ns; j++) {
                if (!ours(suites[j]))
                    continue
                for (i = 1; i <= nu; i++)
                    if (!(key(uris[i], suites[j]) in sourced)) {
                        missing = missing (missing == "" ? "" : " ") suites[j]
                        break
                    }
            }
            if (missing != "") {
                # The stanza as it stands (URIs, components, keyring, an inline key), with its
                # type and the suites that lack sources.
                print "Types: deb-src"
                print "Suites: " missing
                for (i = 1; i <= lines; i++) {
                    n = index(stanza[i], ":")
                    name = tolower(substr(stanza[i], 1, n - 1))
                    if (name != "types" && name != "suites" && name != "enabled")
                        print stanza[i]
                }
                print ""
                for (j = 1; j <= ns; j++)
                    for (i = 1; i <= nu; i++)
                        sourced[key(uris[i], suites[j])] = 1
            }
        }
    }
    lines = 0
}
FNR == 1 {
    end_stanza()
    if (FILENAME == first) pass = 2
    if (first == "") { first = FILENAME; pass = 1 }
    deb822 = FILENAME ~ /\.sources$/
}
deb822 && /^[ \t]*#/ { next }
deb822 && /^[ \t]*$/ { end_stanza(); next }
deb822 && /^[ \t]/ { stanza[lines] = stanza[lines] "\n" $0; next }
deb822 { stanza[++lines] = $0; next }
{ one_line($0) }
END { end_stanza() }
' "${files[@]}" "${files[@]}"
