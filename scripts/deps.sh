#!/usr/bin/env bash
# Installs what Tarnwick needs on Debian 12: with --run only what building and starting
# the window takes; without it everything the tests need as well.
set -euo pipefail
packages=(g++ cmake make libexpat1-dev qt6-base-dev libgl-dev
          fonts-wine fonts-dejavu-core
          # The links and the help open in the browser through xdg-open.
          xdg-utils)
if [[ ${1:-} != --run ]]; then
    packages+=(googletest libgtest-dev python3
               # A vCard parser we did not write, to read our cards back.
               python3-vobject
               # The Windows builds, cross-compiled and tested under Wine: 64-bit Wine, and
               # Debian's 32-bit Wine beside it for the i686 build; an X server for the
               # window tests; NSIS and zip for the installers and portable zips. dpkg-dev
               # unpacks the expat sources they are built with. (chmcmd, for Help.chm, is
               # unpacked from its package by cmake/fetch-chmcmd.sh at configure time.)
               g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386 dpkg-dev
               xvfb nsis zip
               # The fuzz target: clang with libFuzzer and the sanitizers' run-time libraries.
               clang libclang-rt-14-dev
               # The Debian package and its checks (scripts/build-package.sh).
               fakeroot lintian desktop-file-utils appstream)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0
sudo=()
((EUID == 0)) || sudo=(sudo)
# Packages of another architecture (wine32:i386) need it enabled before the lists are read.
for p in "${missing[@]}"; do
    [[ $p == *:* ]] || continue
    arch=${p#*:}
    if [[ $arch != "$(dpkg --print-architecture)" ]] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        "${sudo[@]}" dpkg --add-architecture "$arch"
    fi
done
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
