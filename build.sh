#!/usr/bin/env bash
# Installs what is missing from Debian's packages, builds, and then plays the
# game or runs the tests. Each command keeps its own build folder, so that
# switching between them never reconfigures one.
set -euo pipefail
cd "$(dirname "$0")"

usage() {
    cat <<'USAGE'
usage: ./build.sh [run | test | build | --help]
  run    builds the game in build/ and plays it from here (the default)
  test   builds the game, its importer, the workshop and every test in
         build-test/, and runs the tests
  build  builds all of that and the benchmarks in build-dev/
USAGE
}

# build FOLDER OPTIONS... -- TARGETS...
build() {
    local folder=$1 options=() targets=()
    shift
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    for t in "$@"; do targets+=(--target "$t"); done
    cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    cmake --build "$folder" -j "$(nproc)" "${targets[@]}"
}

case "${1:-run}" in
    run)
        deps/install.sh deps/build.txt
        build build -- cratoria cratoria-import
        exec build/cratoria
        ;;
    test)
        deps/install.sh deps/build.txt deps/test.txt deps/authoring.txt
        build build-test -DCRATORIA_AUTHORING=ON -DCRATORIA_TESTS=ON -DCRATORIA_BENCHMARKS=OFF
        ctest --test-dir build-test --output-on-failure --timeout 600 -j "$(nproc)"
        ;;
    build)
        deps/install.sh deps/build.txt deps/test.txt deps/authoring.txt deps/dev.txt
        build build-dev -DCRATORIA_AUTHORING=ON -DCRATORIA_TESTS=ON -DCRATORIA_BENCHMARKS=ON
        ;;
    -h | --help)
        usage
        ;;
    *)
        usage >&2
        exit 2
        ;;
esac
