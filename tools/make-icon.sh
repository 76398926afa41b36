#!/usr/bin/env bash
# Draws the program icon (a mouse outline on a dark disc with a cyan glow) in the sizes Windows
# asks for and writes src/app/win32/res/v270.ico. Needs imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 256x256 xc:none \
    -fill '#0b1418' -stroke '#00d8ff' -strokewidth 10 -draw 'circle 128,128 128,10' \
    -fill '#16242a' -stroke '#00e5ff' -strokewidth 8 -draw 'roundrectangle 84,52 172,208 44,44' \
    -stroke '#00e5ff' -strokewidth 6 -draw 'line 128,56 128,112' -draw 'line 86,112 170,112' \
    -fill '#ff2a55' -stroke none -draw 'roundrectangle 122,72 134,98 5,5' \
    "$work/icon.png"
convert "$work/icon.png" -define icon:auto-resize=256,48,32,16 src/app/win32/res/v270.ico
