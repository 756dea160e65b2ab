#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a
# short while from its seeds; a crash, a leak, a time-out or a broken
# round trip fails the check and leaves the input that caused it.
#   FUZZ_SECONDS   time per target (default 60)
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo"
deps/install.sh deps/build.txt .ci/deps/fuzz.txt
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCRATORIA_FUZZ=ON -DCRATORIA_AUTHORING=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target fuzz_level_reader fuzz_import fuzz_score_store >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/cratoria-fuzz.XXXXXX")
# The targets write each input to a file here; in memory where possible.
scratch=$(mktemp -d /dev/shm/cratoria-fuzz.XXXXXX 2>/dev/null || mktemp -d "$work/scratch.XXXXXX")
trap 'rm -rf "$work" "$scratch"' EXIT

failed=0
for target in level_reader import score_store; do
    seeds=tests/fuzz/corpus/${target%_*}
    dict=tests/fuzz/${target%_*}.dict
    mkdir -p "$work/$target/corpus" "$work/$target/crash"
    echo "-- fuzz_$target for ${seconds}s"
    # The committed seeds are read but never written: new finds go to the
    # scratch corpus.
    if ! TMPDIR="$scratch" "$build_dir/fuzz_$target" "$work/$target/corpus" "$seeds" \
        -dict="$dict" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$work/$target/crash/" -print_final_stats=1 \
        >"$work/$target/log" 2>&1; then
        failed=1
        tail -n 60 "$work/$target/log"
        for artefact in "$work/$target/crash"/*; do
            [ -e "$artefact" ] || continue
            keep="$repo/$build_dir/${target}-${artefact##*/}"
            cp "$artefact" "$keep"
            echo "fuzz_$target failed on $keep:"
            od -A d -c "$keep" | head -n 40
        done
    else
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/$target/log" || true
    fi
done
exit $failed
