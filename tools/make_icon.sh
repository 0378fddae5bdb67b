#!/usr/bin/env bash
# Rasterises the project's SVG icon into a multi-size .ico (16..256 px) for resource 103.
set -euo pipefail
svg="$1" out="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for size in 16 24 32 48 64 256; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$tmp/$size.png"
done
convert "$tmp"/16.png "$tmp"/24.png "$tmp"/32.png "$tmp"/48.png "$tmp"/64.png "$tmp"/256.png "$out"
