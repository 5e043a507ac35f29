#!/usr/bin/env bash
# The scan of a generated address book through Notes' automation classes in another
# process (the stand-in Notes server of the Wine tests, which serves the book through the
# DXL reader) against the DXL reader alone, under Wine, for each bitness: what the round
# trips to the Notes client's process cost.
#
#   bash bench/com-bench.sh BUILD [CONTACTS] [WORKDIR]
#
# BUILD is a build tree configured with the Wine tests whose cross builds are made (ctest's
# first test, windows_build, makes them); CONTACTS defaults to 30,000. A 64-bit Wine
# prefix is made in WORKDIR (/tmp/tarnwick-com-bench by default) the first time.
set -euo pipefail
build=$(realpath "$1")
contacts=${2:-30000}
work=${3:-/tmp/tarnwick-com-bench}
mkdir -p "$work"
work=$(realpath "$work")
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all DISPLAY= LC_ALL=C.UTF-8
export WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=
if [[ ! -d $WINEPREFIX ]]; then
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    /usr/lib/wine/wineserver --wait
fi
book=$work/book-$contacts.dxl
[[ -f $book ]] || "$build/bench/tarnwick-genbook" "$contacts" 7 "$book"
windows() { printf 'Z:%s' "${1//\//\\}"; }

echo "Tarnwick scan through the Notes automation classes, $contacts contacts, $(nproc) cores, $(date +%F)"
printf '%-8s %-10s %10s %14s\n' program way seconds contacts/s
for arch in x86_64 i686; do
    [[ $arch == x86_64 ]] && loader=/usr/lib/wine/wine64 || loader=/usr/lib/wine/wine
    cli=$build/tests/wine/$arch/build/src/tarnwick-cli.exe
    server=$build/tests/wine/$arch/build/tests/wine/notes-server.exe
    "$loader" "$server" /unregister
    "$loader" "$server" /register "--book=$(windows "$book")"
    for way in dxl com; do
        [[ $way == dxl ]] && path=$(windows "$book") || path='C:\Notes\Data\names.nsf'
        start=$(date +%s.%N)
        "$loader" "$cli" scan "$path" >"$work/$arch-$way.log" 2>/dev/null
        seconds=$(echo "$(date +%s.%N) - $start" | bc)
        printf '%-8s %-10s %10.1f %14.0f\n' "$arch" "$way" "$seconds" "$(echo "$contacts / $seconds" | bc -l)"
    done
    cmp -s <(grep -v '^Source File' "$work/$arch-dxl.log") <(grep -v '^Source File' "$work/$arch-com.log") ||
        echo "$arch: the two logs differ" >&2
    "$loader" "$server" /unregister
done
