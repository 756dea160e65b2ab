# Helpers shared by the install tests: a scratch directory, a staged install
# and one-line failure reports.

set -euo pipefail

# Spaces in every path, since players' home directories have them.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/cratoria install test.XXXXXX")
chmod 755 "$scratch"
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# stage_install BUILD_DIR: a real `cmake --install` staged in $stage, quietly;
# the launcher runs the staged tree, and the folders it was configured for
# are $bindir, $privatedir, $datadir and the like.
stage_install() {
    . "$1/tests/install/installed.sh"
    stage="$scratch/stage"
    DESTDIR="$stage" cmake --install "$1" >"$scratch/install.log" 2>&1 ||
        { cat "$scratch/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }
    export CRATORIA_STAGE="$stage"
    launcher="$stage$bindir/cratoria"
}

finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
    echo "all checks passed"
}
