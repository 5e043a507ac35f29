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
               # The Windows build, cross-compiled and tested under Wine; dpkg-dev unpacks
               # the expat sources it is built with.
               g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 dpkg-dev
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
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
