# Shared by the end-to-end scripts: a scratch working directory with the
# game's own pictures and fonts and the fixture levels, and exact checks.
# Usage from a script: . common.sh GAME SOURCE_DIR

game=$1
source_dir=$2
fixtures=$source_dir/tests/data/e2e
failures=0
work=$(mktemp -d /tmp/cratoria-e2e-XXXXXX)
trap '[ -n "${cleanup_extra:-}" ] && eval "$cleanup_extra"; rm -rf "$work"' EXIT

# A fresh working directory: gfx/ as shipped, the fixture levels.
fresh_dir() {
    rm -rf "$work/run"
    mkdir -p "$work/run"
    cp -r "$source_dir/gfx" "$fixtures/levels" "$work/run/"
    cd "$work/run"
}

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# expect_file NAME FILE EXPECTED-TEXT: the file holds exactly the text.
expect_file() {
    printf '%s' "$3" | cmp -s - "$2" || fail "$1: expected «$3», got «$(cat "$2")»"
}

# expect_same NAME FILE EXPECTED-FILE: both files hold the same bytes.
expect_same() {
    cmp -s "$2" "$3" || expect_file "$1" "$2" "$(cat "$3")"
}

finish() {
    [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
    echo "all checks passed"
    exit 0
}
