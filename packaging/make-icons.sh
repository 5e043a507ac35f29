#!/bin/sh
# Renders the program's icon (assets/tarnwick.svg) at the hicolor theme's usual sizes into
# packaging/icons/. The PNGs are kept in the repository: a build needs no SVG renderer.
#
# Renderer: rsvg-convert (apt-get install -y librsvg2-bin), as for assets/make-images.sh.
set -eu
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "make-icons.sh: rsvg-convert not found; install it with apt-get install -y librsvg2-bin" >&2
    exit 1
fi
for size in 16 22 24 32 48 64 128 256 512; do
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "icons/tarnwick-$size.png" ../assets/tarnwick.svg
    echo "  icons/tarnwick-$size.png"
done
