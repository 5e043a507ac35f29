#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, runs the installed programs on
# the sample book, then purges the package and checks that nothing of it is left.
# It changes the system, so scripts/test.sh runs it only when CI is set, or when asked
# with TARNWICK_PACKAGE_TEST=1. An installed tarnwick package is purged first.
set -euo pipefail
cd "$(dirname "$0")/.."
fixtures=$PWD/tests/fixtures
book=$fixtures/sample-book.dxl

deb=$PWD/$(bash scripts/build-package.sh | tail -n 1)
sudo=()
((EUID == 0)) || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

fail() { echo "package-test.sh: $*" >&2; exit 1; }
installed() { dpkg-query -W -f='${Status}' tarnwick 2>/dev/null | grep -q 'install ok installed'; }

installed && "${sudo[@]}" dpkg --purge tarnwick >/dev/null
"${sudo[@]}" dpkg -i "$deb" || "${sudo[@]}" apt-get -f install -y -qq
installed || fail "the package did not install"
mapfile -t files < <(dpkg -L tarnwick)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The command-line tool: the log and the file, as the fixtures hold them.
tarnwick-cli scan "$book" >"$work/scan.txt" 2>"$work/scan.err" || fail "tarnwick-cli scan failed"
sed "s|@BOOK@|$book|" "$fixtures/sample-book.scan.txt" | cmp - "$work/scan.txt" || fail "scan log differs"
[[ $(cat "$work/scan.err") == "Korvane Software: Notes Address Book Scan Completed" ]] || fail "scan message differs"
[[ $(tarnwick-cli export "$book" "$work") == "37 Contacts Saved Successfully" ]] || fail "export message differs"
cmp "$fixtures/sample-book.all.csv" "$work/GMAILContacts.csv" || fail "exported file differs"

# The window, as far as finding its help.
help=$(QT_QPA_PLATFORM=offscreen tarnwick --help-path 2>/dev/null) || fail "the window does not find its help ($help)"
[[ $help == /usr/share/tarnwick/Help.html ]] || fail "help found at $help"
cmp docs/help/Help.html "$help" || fail "the installed help differs"
man -w tarnwick tarnwick-cli >/dev/null || fail "a man page is missing"
# gdk-pixbuf (GTK launchers) knows an SVG only by an <svg> element near its start.
head -c 256 /usr/share/icons/hicolor/scalable/apps/example.korvane.Tarnwick.svg | grep -q '<svg' ||
    fail "the scalable icon does not show its <svg> element early enough"

"${sudo[@]}" dpkg --purge tarnwick >/dev/null
! dpkg-query -W tarnwick >/dev/null 2>&1 || fail "dpkg still knows the package"
left=()
for f in "${files[@]}"; do
    # Shared folders (/usr/bin, the icon theme's) stay; anything that was ours must go.
    if [[ -e $f && ! -d $f ]] || [[ $f == */tarnwick && -d $f ]]; then
        left+=("$f")
    fi
done
((${#left[@]} == 0)) || fail "left after purge: ${left[*]}"
echo "package-test.sh: installed, ran and removed $(basename "$deb") (${#files[@]} paths)"
