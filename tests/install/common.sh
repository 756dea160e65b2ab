# Helpers shared by the install tests: a scratch directory, an installed
# tree and one-line failure reports.

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

# install_tree BUILD_DIR PREFIX: a real `cmake --install`, quietly.
install_tree() {
    cmake --install "$1" --prefix "$2" >"$scratch/install.log" 2>&1 ||
        { cat "$scratch/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }
}

finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
    echo "all checks passed"
}
