#!/bin/sh
# Renders the SVG sources in this folder to the PNG files that the program
# embeds through tarnwick.qrc.
#
# Renderer: rsvg-convert, from the Debian package librsvg2-bin
# (apt-get install -y librsvg2-bin). It draws these SVGs exactly and
# anti-aliases cleanly at 16 and 32 px, and its output is byte-for-byte
# repeatable. ImageMagick's `convert` (package imagemagick) is used only for
# the optional enlarged previews: its own SVG reader draws the small icons
# blurred and fills the file icon wrongly, so it is not used for the PNGs.
#
#   sh assets/make-images.sh            # write the PNGs next to the SVGs
#   sh assets/make-images.sh PREVIEWDIR # also write 8x enlarged copies there
set -eu

cd "$(dirname "$0")"
preview=${1:-}

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "make-images.sh: rsvg-convert not found; install it with" >&2
    echo "  apt-get install -y librsvg2-bin" >&2
    exit 1
fi
if [ -n "$preview" ] && ! command -v convert >/dev/null 2>&1; then
    echo "make-images.sh: previews need ImageMagick's convert; install it with" >&2
    echo "  apt-get install -y imagemagick" >&2
    exit 1
fi

# render SOURCE.svg WIDTH HEIGHT OUTPUT.png
render() {
    rsvg-convert --width "$2" --height "$3" --format png --output "$4" "$1"
    echo "  $4 ($2x$3)"
    if [ -n "$preview" ]; then
        mkdir -p "$preview"
        convert "$4" -background white -flatten -scale 800% \
            "$preview/$(basename "$4" .png)-x8.png"
    fi
}

render tarnwick.svg    32  32 tarnwick-32.png
render tarnwick.svg    48  48 tarnwick-48.png
render tarnwick.svg   256 256 tarnwick-256.png
render strip.svg      713   2 strip.png
render csvfile.svg     16  16 csvfile-16.png
render conversion.svg  16  16 conversion-16.png
render conversion.svg  32  32 conversion-32.png
