#!/usr/bin/env bash
# Unpacks Debian's source package of expat, Debian's patches applied, into DEST, for the
# Windows builds: Debian ships expat for MinGW-w64 in no binary package, and this way the
# Windows programs parse with the same expat, security fixes included, as the Linux ones.
#
# Only the Debian archive this machine already installs from is asked, through apt-get
# with a private state folder: the system's apt configuration and lists stay untouched.
# Needs apt-get and dpkg-source (package dpkg-dev).
set -euo pipefail
dest=${1:?usage: fetch-expat-source.sh DEST}
[[ -f $dest/expat/CMakeLists.txt ]] && exit 0

work=$dest.download
rm -rf "$work" "$dest.unpacked"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
trap 'rm -rf "$work" "$dest.unpacked"' EXIT

# deb-src lines for the Debian suites of the configured deb lines (main, updates, security).
targets=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Origin: Debian' 'Created-By: Packages' | sort -u)
if [[ -z $targets ]]; then
    # No lists fetched yet: fall back to the suites named after this release.
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    targets=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' |
              awk -v c="$codename" '$2 == c || $2 == c "-updates" || $2 == c "-security"' | sort -u)
fi
if [[ -z $targets ]]; then
    echo "fetch-expat-source: no Debian archive is configured for apt" >&2
    exit 1
fi
sed 's/^/deb-src /' <<<"$targets" >"$work/sources.list"

apt=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
     -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
     -o APT::Sandbox::User="$(id -un)")
apt-get "${apt[@]}" -qq update

# Newest first. A version the index lists may be missing from the mirror (a security
# update not mirrored yet, say): then the next one.
versions=$(apt-cache "${apt[@]}" showsrc expat | sed -n 's/^Version: //p' | sort -urV)
fetched=
for version in $versions; do
    if (cd "$work" && apt-get "${apt[@]}" -qq source --download-only "expat=$version") >"$work/log" 2>&1; then
        fetched=${version#*:}
        break
    fi
done
if [[ -z $fetched ]]; then
    echo "fetch-expat-source: no source of expat could be downloaded (tried: $versions)" >&2
    cat "$work/log" >&2 || true
    exit 1
fi

# apt-get checked every file against the archive's signed index already.
dpkg-source --no-check --no-copy -x "$work/expat_$fetched.dsc" "$dest.unpacked" >/dev/null

# Debian builds expat with autotools, whose config header defines XML_DTD and XML_NS as 1,
# and its backported fixes test "XML_DTD == 1". Expat's CMake template defines them empty;
# make it say 1 as well.
sed -i 's/^#cmakedefine \(XML_DTD\|XML_NS\)$/#cmakedefine \1 1/' "$dest.unpacked/expat/expat_config.h.cmake"
# The library is all the Windows builds want: the test data alone is most of the tree.
rm -rf "$dest.unpacked/testdata" "$dest.unpacked/expat/tests" "$dest.unpacked/expat/fuzz"
echo "$fetched" >"$dest.unpacked/DEBIAN-VERSION"
rm -rf "$dest"
mv "$dest.unpacked" "$dest"
