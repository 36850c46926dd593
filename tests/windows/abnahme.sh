#!/usr/bin/env bash
# The lookup of the Windows build on a Windows installation: the Ding word list imported by zanit-import.exe,
# the program and the dictionary registered in Wine's registry by zanit-setup.exe, then
# `zanit-lookup.exe --dictionary Englisch Haus` (and the reverse direction) print the same lines as the Linux
# build on the same list. The Linux side imports into a cache beside the test (about 10 s, once).
#   abnahme.sh LINUX_BUILD WINDOWS_BUILD
set -uo pipefail
lbuild=$(cd "$1" && pwd)
winbuild=$2
ding=/usr/share/trans/de-en
work=$winbuild/test-abnahme
rm -rf "$work" && mkdir -p "$work/medium" "$work/Woerterbuecher"
[ -r "$ding" ] || { echo "FAIL: $ding is missing (Debian package trans-de-en)"; exit 1; }
[ -x "$lbuild/bin/zanit-lookup" ] || { echo "FAIL: the Linux build's tools are missing in $lbuild/bin"; exit 1; }
[ -n "${WINEPREFIX:-}" ] || { echo "FAIL: no Wine prefix; run through make windows-test"; exit 1; }
W() { "$winbuild/wine-run" "$winbuild/bin/$1.exe" "${@:2}" | sed 's/\r$//'; return "${PIPESTATUS[0]}"; }
win() { echo "Z:$1" | tr / '\\'; }

# Linux: the same word list, imported once into the build's cache, in a hive file of its own.
cache=$winbuild/test-cache/linux-ding
mkdir -p "$cache"
if [ ! -f "$cache/ENGLISCH.DBF" ] || [ "$lbuild/bin/zanit-import" -nt "$cache/ENGLISCH.DBF" ]; then
    "$lbuild/bin/zanit-import" ding "$ding" --textm Deutsch --textf Englisch --out "$cache/ENGLISCH.DBF" >/dev/null ||
        { echo "FAIL: Linux import"; exit 1; }
fi
export ZANIT_REGISTRY=$work/linux.reg XDG_CONFIG_HOME=$work/config
"$lbuild/bin/zanit-setup" install --program "$lbuild/bin" --medium "$work/medium" >/dev/null &&
"$lbuild/bin/zanit-setup" add-dictionary Englisch --file "$cache/ENGLISCH.DBF" --textm Deutsch --textf Englisch \
    >/dev/null || { echo "FAIL: Linux registration"; exit 1; }

# Windows: import, registration in the registry, lookup.
start=$(date +%s)
W zanit-import ding "Z:$ding" --textm Deutsch --textf Englisch --out "$(win "$work/Woerterbuecher/ENGLISCH.DBF")" \
    >/dev/null || { echo "FAIL: zanit-import.exe"; exit 1; }
echo "zanit-import.exe took $(( $(date +%s) - start ))s for the Ding list"
W zanit-setup install --program "$(win "$winbuild/bin")" --medium "$(win "$work/medium")" >/dev/null &&
W zanit-setup add-dictionary Englisch --file "$(win "$work/Woerterbuecher/ENGLISCH.DBF")" --textm Deutsch \
    --textf Englisch >/dev/null || { echo "FAIL: zanit-setup.exe"; exit 1; }
W zanit-setup list >"$work/settings.txt" || { echo "FAIL: zanit-setup.exe list"; exit 1; }
grep -qi 'ENGLISCH.DBF' "$work/settings.txt" || { echo "FAIL: the registration is not in the registry"; cat "$work/settings.txt"; exit 1; }

failures=0
for args in "Haus" "--direction 2 house" "--reverse Haus" "--incremental Hau"; do
    # shellcheck disable=SC2086
    "$lbuild/bin/zanit-lookup" --dictionary Englisch $args >"$work/linux.txt"; lrc=$?
    # shellcheck disable=SC2086
    W zanit-lookup --dictionary Englisch $args >"$work/windows.txt"; wrc=$?
    if [ $lrc -ne 0 ] || [ $wrc -ne 0 ] || ! cmp -s "$work/linux.txt" "$work/windows.txt"; then
        echo "FAIL: zanit-lookup --dictionary Englisch $args (Linux exit $lrc, Windows exit $wrc)"
        diff "$work/linux.txt" "$work/windows.txt" | head -20
        failures=$((failures + 1))
    else
        echo "same $(wc -l <"$work/linux.txt") lines for: $args"
    fi
done
[ $failures -eq 0 ] && grep -q '^Haus|house, home' <("$lbuild/bin/zanit-lookup" --dictionary Englisch Haus) ||
    { echo "FAIL: Haus|house, home is not among the lines"; failures=$((failures + 1)); }
[ $failures -eq 0 ]
