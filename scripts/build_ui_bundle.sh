#!/usr/bin/env bash
# Builds the page bundle of the setup program.
#
#   scripts/build_ui_bundle.sh OUT_DIR
#
# produces OUT_DIR/ui/ (pages, scripts, styles, fonts, generated images and
# icons: everything the pages load) and OUT_DIR/ui_bundle.zip, and prints the
# zip's size.
#
# Zip layout: the archive root holds the files of ui/ themselves (index.html
# at the root, no "ui/" folder). The program unpacks the archive into the
# "ui" folder of its extraction folder and opens pages from there, so a "ui/"
# folder inside the archive would put the pages one level too deep.
#
# Tools: zip, python3, rsvg-convert and cwebp (all from scripts/setup.sh); the
# fonts come from the npm packages in node_modules (npm install in the root).
set -euo pipefail

MAX_ZIP_BYTES=$((600 * 1024))

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 OUT_DIR" >&2
  exit 2
fi

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SRC="$ROOT/pages"
OUT="$(mkdir -p "$1" && cd "$1" && pwd)"
STAGE="$OUT/ui"
ZIP="$OUT/ui_bundle.zip"
FONTS="$ROOT/node_modules/@fontsource"

for tool in zip python3 rsvg-convert cwebp; do
  command -v "$tool" >/dev/null 2>&1 || { echo "build_ui_bundle: missing $tool (run scripts/setup.sh)" >&2; exit 1; }
done
for pkg in inter manrope; do
  [ -d "$FONTS/$pkg/files" ] || { echo "build_ui_bundle: missing @fontsource/$pkg (run npm install in $ROOT)" >&2; exit 1; }
done

rm -rf "$STAGE" "$ZIP"
mkdir -p "$STAGE/assets" "$STAGE/fonts"

# Team-written sources; pages/art holds only the drawings the images are made from.
cp "$SRC"/*.html "$SRC"/*.js "$SRC"/*.css "$STAGE/"
cp "$SRC"/assets/*.svg "$STAGE/assets/"

# One face per family keeps the bundle small: Inter for text, Manrope bold
# for headings and buttons. The OFL asks for its text to travel with the fonts.
cp "$FONTS/inter/files/inter-latin-400-normal.woff2" "$STAGE/fonts/Inter.woff2"
cp "$FONTS/manrope/files/manrope-latin-700-normal.woff2" "$STAGE/fonts/Manrope.woff2"
cp "$FONTS/inter/LICENSE" "$STAGE/fonts/OFL-Inter.txt"
cp "$FONTS/manrope/LICENSE" "$STAGE/fonts/OFL-Manrope.txt"

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# Feature images at twice their 320 x 180 display size for high-DPI screens.
for name in speed privacy browsers farewell; do
  rsvg-convert -w 640 -h 360 "$SRC/art/feature-$name.svg" -o "$TMP/feature-$name.png"
  cwebp -quiet -q 80 -m 6 "$TMP/feature-$name.png" -o "$STAGE/assets/feature-$name.webp"
done

rsvg-convert -w 20 -h 20 "$SRC/art/uac-shield.svg" -o "$STAGE/assets/uac-shield.png"
rsvg-convert -w 40 -h 40 "$SRC/art/uac-shield.svg" -o "$STAGE/assets/uac-shield@2x.png"

# Icons hold PNG-compressed images, which every supported Windows reads.
ICON_SIZES="16 24 32 48 64 256"
make_icon() {
  local svg="$1" ico="$2" size
  for size in $ICON_SIZES; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$TMP/icon-$size.png"
  done
  python3 - "$ico" "$TMP" $ICON_SIZES <<'PY'
import struct, sys
ico, folder, sizes = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]
images = [open(f"{folder}/icon-{s}.png", "rb").read() for s in sizes]
offset = 6 + 16 * len(images)
out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
for size, data in zip(sizes, images):
    dim = 0 if size >= 256 else size
    out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
for data in images:
    out += data
open(ico, "wb").write(out)
PY
}
make_icon "$SRC/assets/corvane-icon.svg" "$STAGE/corvane.ico"
make_icon "$SRC/art/corvane-installer-icon.svg" "$STAGE/corvane-installer.ico"

# Fixed times (in one time zone: zip stores local time), fixed modes and a sorted file list make
# the archive the same on every build machine, whatever its umask or clock.
chmod -R u=rwX,go=rX "$STAGE"
find "$STAGE" -exec env TZ=UTC touch -h -t 202001010000 {} +
(cd "$STAGE" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | TZ=UTC zip -X -9 -q "$ZIP" -@)

size=$(stat -c %s "$ZIP")
echo "ui_bundle.zip: $size bytes ($(( (size + 1023) / 1024 )) KB)"
if [ "$size" -gt "$MAX_ZIP_BYTES" ]; then
  echo "build_ui_bundle: ui_bundle.zip is larger than 600 KB" >&2
  exit 1
fi
