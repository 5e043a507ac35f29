#!/usr/bin/env bash
# Builds the Debian package in build-package/ with Debian's compiler and linker flags, and
# checks it: lintian (no error allowed), desktop-file-validate and appstreamcli on the
# files as the package installs them. Prints the .deb's path on its last line.
#   bash scripts/build-package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=${1:-build-package}

# dpkg-buildflags gives hardening (fortify, stack protector, relro, bindnow) as a Debian
# package is built with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DTARNWICK_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >&2
# Only what the package holds; the benchmarks need not be built for it.
cmake --build "$build" -j2 --target tarnwick tarnwick-cli compress-tarnwick.1 compress-tarnwick-cli.1 \
      compress-changelog.Debian >&2
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tarnwick_*.deb)

echo "== lintian $deb" >&2
lintian --info --display-info "$deb" >&2 || true
if lintian "$deb" 2>/dev/null | grep -q '^E:'; then
    echo "build-package.sh: lintian found errors" >&2
    exit 1
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
echo "== desktop-file-validate" >&2
desktop-file-validate "$root"/usr/share/applications/example.korvane.Tarnwick.desktop >&2
echo "== appstreamcli validate" >&2
# --no-net: the screenshot's and home page's addresses are not fetched.
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/example.korvane.Tarnwick.metainfo.xml >&2
echo "$deb"
