#!/usr/bin/env bash
# The whole test suite, end-to-end runs included, built with AddressSanitizer
# and UndefinedBehaviorSanitizer in build-asan. Every process writes its
# sanitizer reports to files as well as failing, so a report from a child or
# a program whose status a test ignores still fails the check.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo"
deps/install.sh deps/build.txt deps/test.txt deps/authoring.txt
build_dir=${SANITIZE_BUILD_DIR:-build-asan}

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCRATORIA_SANITIZE=ON \
    -DCRATORIA_AUTHORING=ON -DCRATORIA_TESTS=ON -DCRATORIA_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" >/dev/null

reports=$(mktemp -d "${TMPDIR:-/tmp}/cratoria-sanitize.XXXXXX")
trap 'rm -rf "$reports"' EXIT
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1:log_path=$reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
export LSAN_OPTIONS="suppressions=$repo/.ci/lsan.supp:print_suppressions=0"

status=0
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600 || status=$?
# The logs also catch warnings such as LeakSanitizer's note on threads it
# could not stop; only an error or a summary line is a report.
found=0
for log in "$reports"/*; do
    [ -e "$log" ] || continue
    if grep -qE 'ERROR: |runtime error|^SUMMARY: ' "$log"; then
        found=1
        echo "== sanitizer report ${log##*/}"
    else
        echo "== sanitizer note ${log##*/}"
    fi
    cat "$log"
done
if [ "$found" -ne 0 ]; then
    echo "sanitize check: sanitizer reports above" >&2
    exit 1
fi
exit $status
