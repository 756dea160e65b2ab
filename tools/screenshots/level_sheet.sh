#!/usr/bin/env bash
# Draws every level of a collection as the player first sees it, into
# OUTPUT/NAME-NNN.png, and puts their boards side by side with numbers and
# titles, twenty to a sheet, in OUTPUT/NAME-sheet-N.png, so that a whole set
# can be looked over at once.
set -euo pipefail
program=${1:?usage: level_sheet.sh PATH_TO_board_shots COLLECTION_FILE OUTPUT_DIRECTORY}
collection=$(realpath "${2:?collection file}")
output=$(realpath -m "${3:?output directory}")
name=$(basename "$collection")
cd "$(dirname "$0")/../.."
mkdir -p "$output"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$program" "$scratch" "$collection"
labels=()
number=0
while IFS= read -r title; do
    number=$((number + 1))
    shot=$(printf '%s/%s-%03d' "$output" "$name" "$number")
    convert "$scratch/$(basename "$shot").bmp" -strip "$shot.png"
    convert "$shot.png" -crop 800x510+0+50 +repage "$scratch/board-$number.png"
    labels+=(-label "$number ${title#\'}" "$scratch/board-$number.png")
done < <(awk '/^;/ { getline title; print title }' "$collection")
# Three arguments a board; the game's own font names them, as no other font
# can be counted on.
for ((first = 0; first < ${#labels[@]}; first += 60)); do
    montage "${labels[@]:first:60}" -tile 5x -geometry 320x204+4+4 -font gfx/vera.ttf -pointsize 14 \
        "$output/$name-sheet-$((first / 60 + 1)).png"
done
