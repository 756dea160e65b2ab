#!/usr/bin/env bash
# Installs what is missing from Debian's packages, builds, and then runs the
# game (./build.sh run) or every test (./build.sh test).
set -euo pipefail
cd "$(dirname "$0")"

what=${1:-run}
build_dir=${BUILD_DIR:-build}

package_lists() {
    case "$what" in
        run) echo deps/build.txt ;;
        build) echo deps/build.txt deps/authoring.txt deps/test.txt deps/bench.txt ;;
        *) ls deps/*.txt ;;
    esac
}

install_missing() {
    local wanted missing=()
    wanted=$(cat $(package_lists) | sed -e 's/#.*//' | tr -s ' \n' '\n' | sed '/^$/d' | sort -u)
    for p in $wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure OPTIONS... -- TARGETS...
build() {
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    for t in "$@"; do targets+=(--target "$t"); done
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
}

case "$what" in
    run)
        install_missing
        build -DCRATORIA_AUTHORING=OFF -- cratoria
        exec "$build_dir/cratoria"
        ;;
    build)
        install_missing
        build -DCRATORIA_AUTHORING=ON -DCRATORIA_TESTS=ON -DCRATORIA_BENCHMARKS=ON
        ;;
    test)
        install_missing
        build -DCRATORIA_AUTHORING=ON -DCRATORIA_TESTS=ON -DCRATORIA_BENCHMARKS=ON
        ctest --test-dir "$build_dir" --output-on-failure --timeout 600 -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 [run|build|test]" >&2
        exit 2
        ;;
esac
