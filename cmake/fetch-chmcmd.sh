#!/usr/bin/env bash
# Unpacks chmcmd, Free Pascal's CHM compiler, and chmls, its reader, from Debian's
# fp-utils-3.2.2 into DEST, for Help.chm in the Windows builds. Installing the package
# would pull in the whole Free Pascal source tree (hundreds of megabytes) for two
# programs that need only the C library; so the package is downloaded alone and the two
# programs are taken out of it.
#
# Only the Debian archive this machine already installs from is asked, through apt-get
# with a private cache folder. Prints nothing when DEST already holds both programs.
set -euo pipefail
dest=${1:?usage: fetch-chmcmd.sh DEST}
package=fp-utils-3.2.2

# A copy made earlier is kept as long as it still runs.
runs() {
    # A clean environment: nothing of the build machine's (a library path, say) helps it.
    # Both print their usage on stderr and exit 1 for --help; a program that cannot be
    # loaded says something else.
    local said
    said=$(env -i "$1" --help 2>&1 || true)
    grep -q "^$2, a CHM" <<<"$said"
}
if [[ -x $dest/chmcmd && -x $dest/chmls ]] && runs "$dest/chmcmd" chmcmd && runs "$dest/chmls" chmls; then
    exit 0
fi

work=$dest.download
rm -rf "$work"
mkdir -p "$work/unpacked"
trap 'rm -rf "$work"' EXIT

if ! apt-cache show "$package" >/dev/null 2>&1; then
    echo "fetch-chmcmd: apt knows no package $package; run apt-get update (Debian 12 has it in main)" >&2
    exit 1
fi
# The downloading user must be able to write the folder; root downloads as itself.
if ! (cd "$work" && apt-get -o APT::Sandbox::User="$(id -un)" -qq download "$package") >"$work/log" 2>&1; then
    echo "fetch-chmcmd: $package could not be downloaded:" >&2
    cat "$work/log" >&2
    exit 1
fi
deb=$(compgen -G "$work/${package}_*.deb" | head -n 1 || true)
[[ -n $deb ]] || { echo "fetch-chmcmd: apt-get download left no .deb of $package" >&2; exit 1; }
dpkg-deb -x "$deb" "$work/unpacked"

mkdir -p "$dest"
for program in chmcmd chmls; do
    # The package names its programs after the compiler's version; the alternatives
    # that give them their plain names are what installing it would have made.
    binary=$(compgen -G "$work/unpacked/usr/bin/$program-*" | head -n 1 || true)
    [[ -n $binary ]] || { echo "fetch-chmcmd: $(basename "$deb") holds no $program" >&2; exit 1; }
    install -m 755 "$binary" "$dest/$program.new"
    if ! runs "$dest/$program.new" "$program"; then
        echo "fetch-chmcmd: $program from $(basename "$deb") does not run here without its package's dependencies:" >&2
        env -i "$dest/$program.new" --help >&2 || true
        rm -f "$dest/$program.new"
        exit 1
    fi
    mv "$dest/$program.new" "$dest/$program"
done
dpkg-deb -f "$deb" Version >"$dest/DEBIAN-VERSION"
