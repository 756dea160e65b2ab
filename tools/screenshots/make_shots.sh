#!/usr/bin/env bash
# Runs board_shots from the repository root and turns its BMP files into
# docs/board-<size>.png (ImageMagick's convert, without dates in the file,
# so unchanged pictures give unchanged bytes).
set -euo pipefail
program=${1:?usage: make_shots.sh PATH_TO_board_shots}
cd "$(dirname "$0")/../.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$program" "$scratch"
mkdir -p docs
for size in 50 40 30 20 12; do
    convert "$scratch/board-$size.bmp" -strip -define png:exclude-chunks=date,time "docs/board-$size.png"
done
