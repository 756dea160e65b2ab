#!/usr/bin/env bash
# Draws every level of a collection as the player first sees it, into
# OUTPUT/NAME-NNN.png, and puts them side by side with their numbers and
# titles in OUTPUT/NAME-sheet.png, so a whole set can be looked over at once.
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
    labels+=(-label "$number ${title#\'}" "$shot.png")
done < <(awk '/^;/ { getline title; print title }' "$collection")
montage "${labels[@]}" -tile 4x -geometry 400x300+6+6 -pointsize 16 "$output/$name-sheet.png"
