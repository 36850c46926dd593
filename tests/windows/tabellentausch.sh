#!/usr/bin/env bash
# Tables exchanged between the Linux build and the Windows build (under Wine): each side reads what the other
# wrote, value for value, and leaves the files as they were; tables without a password come out of both
# builds byte for byte the same, and an index rebuilt on either side is the same file. Encrypted tables (a
# password, the dictionary and catalogue tables) get a fresh random salt at every creation, so their files
# differ: they are compared by what they hold.
#   tabellentausch.sh LINUX_BUILD WINDOWS_BUILD SOURCE_DIR
set -uo pipefail
linux=$1/bin
winbuild=$2
src=$3
work=$winbuild/test-tausch
rm -rf "$work" && mkdir -p "$work/l" "$work/w"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -x "$linux/zanit-table" ] || { echo "FAIL: the Linux build's tools are missing in $linux (make build)"; exit 1; }
[ -f "$winbuild/bin/zanit-table.exe" ] || { echo "FAIL: the Windows build's tools are missing"; exit 1; }

L() { "$linux/$1" "${@:2}"; }
# A Windows tool with its output as text lines (Windows ends them with CR LF).
W() { "$winbuild/wine-run" "$winbuild/bin/$1.exe" "${@:2}" | sed 's/\r$//'; return "${PIPESTATUS[0]}"; }
win() { echo "Z:$1" | tr / '\\'; }   # the Windows spelling of a path: drive letter and backslashes
sums() { (cd "$1" && md5sum "$2".* | sort); }

# Values a table must carry unchanged: Windows-1252 letters, quotes, escapes, an empty memo, a long memo.
printf 'W1\tNR\tOK\tDATUM\tNOTE\n' >"$work/daten.tsv"
printf 'Haus\t12.50\tT\t20261209\tein Geb\xc3\xa4ude\n' >>"$work/daten.tsv"
printf 'Stra\xc3\x9fe\t-3.00\tF\t19991231\t\n' >>"$work/daten.tsv"
printf '\xc3\x84rger "Zitat"\t0.00\t\t\tZeile 1\\nZeile 2\\tTab\n' >>"$work/daten.tsv"
long=$(printf 'lang%.0s' $(seq 1 400))
printf 'zzz\t99999.99\tT\t20000229\t%s\n' "$long" >>"$work/daten.tsv"
schema='W1:C:30,NR:N:8:2,OK:L,DATUM:D,NOTE:M'

for variant in plain password; do
    pw=()
    [ $variant = password ] && pw=(--password 'Geheim 1')
    for side in l w; do
        name=${side^^}_$variant
        if [ $side = l ]; then
            L zanit-table create "$work/l/$name.DBF" --schema "$schema" --tag IW1=W1 "${pw[@]}" "$work/daten.tsv" ||
                fail "Linux create $name"
        else
            W zanit-table create "$(win "$work/w/$name.DBF")" --schema "$schema" --tag IW1=W1 "${pw[@]}" \
                "$(win "$work/daten.tsv")" || fail "Windows create $name"
        fi
        dir=$work/$side
        before=$(sums "$dir" "$name")
        L zanit-table dump "$dir/$name.DBF" "${pw[@]}" --order IW1 >"$work/$name.linux.tsv" || fail "Linux dump $name"
        W zanit-table dump "$(win "$dir/$name.DBF")" "${pw[@]}" --order IW1 >"$work/$name.windows.tsv" ||
            fail "Windows dump $name"
        cmp -s "$work/$name.linux.tsv" "$work/$name.windows.tsv" || {
            fail "$name reads differently on the two sides"
            diff "$work/$name.linux.tsv" "$work/$name.windows.tsv" | head -20
        }
        grep -q $'^Stra\xc3\x9fe\t-3.00' "$work/$name.linux.tsv" || fail "$name: a value did not come back"
        L zanit-table verify "$dir/$name.DBF" "${pw[@]}" >/dev/null || fail "Linux verify $name"
        W zanit-table verify "$(win "$dir/$name.DBF")" "${pw[@]}" >/dev/null || fail "Windows verify $name"
        [ "$before" = "$(sums "$dir" "$name")" ] || fail "$name was changed by reading it"
    done
done
# The same input gives the same files on both sides (no password: no random salt).
for ext in DBF FPT ZIX; do
    cmp "$work/l/L_plain.$ext" "$work/w/W_plain.$ext" || fail "the .$ext files of the two builds differ"
done
# An index rebuilt by the other side is the same file.
cp "$work/l/L_plain.ZIX" "$work/l.zix"
W zanit-table reindex "$(win "$work/l/L_plain.DBF")" --tag IW1=W1 >/dev/null || fail "Windows reindex"
cmp "$work/l.zix" "$work/l/L_plain.ZIX" || fail "the index rebuilt on Windows differs"
L zanit-table reindex "$work/w/W_plain.DBF" --tag IW1=W1 >/dev/null || fail "Linux reindex"
cmp "$work/l.zix" "$work/w/W_plain.ZIX" || fail "the index rebuilt on Linux differs"
# A wrong password is refused on both sides.
L zanit-table dump "$work/w/W_password.DBF" --password falsch >/dev/null 2>&1 && fail "Linux read with a wrong password"
W zanit-table dump "$(win "$work/l/L_password.DBF")" --password falsch >/dev/null 2>&1 &&
    fail "Windows read with a wrong password"

# Dictionary tables (encrypted with the dictionary password): built by each side's dictionary tool from the
# sample source, read by the other side's table tool.
pw='qT#4m2-w'
L zanit-dict build "$src/resources/dictionaries/deutsch-englisch.tsv" --out "$work/l/DE.DBF" \
    --textm Deutsch --textf Englisch >/dev/null || fail "Linux dictionary build"
W zanit-dict build "$(win "$src/resources/dictionaries/deutsch-englisch.tsv")" --out "$(win "$work/w/DE.DBF")" \
    --textm Deutsch --textf Englisch >/dev/null || fail "Windows dictionary build"
for order in IWI1 IWI2; do
    L zanit-table dump "$work/w/DE.DBF" --password "$pw" --order $order >"$work/de.w.$order" || fail "Linux dump DE"
    W zanit-table dump "$(win "$work/l/DE.DBF")" --password "$pw" --order $order >"$work/de.l.$order" ||
        fail "Windows dump DE"
    [ -s "$work/de.w.$order" ] && cmp -s "$work/de.w.$order" "$work/de.l.$order" ||
        fail "the dictionaries of the two builds hold different records in order $order"
done

[ $failures -eq 0 ] && echo "tables exchanged between the builds: all identical"
[ $failures -eq 0 ]
