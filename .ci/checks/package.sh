#!/usr/bin/env bash
# Builds the Debian package from the committed tree, running the game's tests
# on the way, checks that the build leaves the tree as it was, installs the
# package, starts the game the way the menu entry does under a virtual
# display, quits it, and removes the package again.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

work=$(mktemp -d "${TMPDIR:-/tmp}/cratoria-package.XXXXXX")
xvfb_pid=""
game_pid=""
installed_here=no
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    if [ "$installed_here" = yes ]; then
        DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq cratoria >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

step() { echo "-- $*"; }
die() { echo "package check: $*" >&2; exit 1; }

if dpkg-query -W -f='${Status}' cratoria 2>/dev/null | grep -q 'install ok installed'; then
    die "a cratoria package is already installed; remove it first so this check leaves the machine as it found it"
fi

# dpkg-buildpackage writes beside the source tree, so the clone lives in a
# directory of its own; a clone also proves the committed files suffice.
step "building the package from a clean clone"
git clone -q "$repo" "$work/src/cratoria"
src=$work/src/cratoria
"$repo/deps/install.sh" "$repo/.ci/deps/package.txt"
if ! (cd "$src" && dpkg-checkbuilddeps) >/dev/null 2>&1; then
    echo "   installing the build dependencies of debian/control"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get build-dep -y -qq --no-install-recommends "$src" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; die "cannot install the build dependencies"; }
fi
(cd "$src" && dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1 ||
    { tail -n 60 "$work/build.log"; die "dpkg-buildpackage failed"; }
grep -E '^[0-9]+% tests passed|\(Skipped\)$|^Total Test time' "$work/build.log" | sed 's/^/   /'
[ -z "$(git -C "$src" status --porcelain)" ] || { git -C "$src" status --short; die "the build left files in the tree"; }
deb=$(ls "$work"/src/cratoria_*.deb)
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for path in ./usr/games/cratoria ./usr/libexec/cratoria/cratoria ./usr/libexec/cratoria/cratoria-import ./usr/share/cratoria/levels/default \
    ./usr/share/cratoria/gfx/vera.ttf ./usr/share/applications/io.github.cratoria.Cratoria.desktop \
    ./usr/share/metainfo/io.github.cratoria.Cratoria.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/cratoria.png \
    ./usr/share/man/man6/cratoria.6.gz ./usr/share/doc/cratoria/copyright; do
    grep -qxF "$path" "$work/contents" || die "the package lacks $path"
done
! grep -q '/levels/solutions' "$work/contents" || die "the package holds the level solutions"

step "installing ${deb##*/}"
installed_here=yes
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; die "apt-get install failed"; }

step "starting the menu entry's command under Xvfb"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.cratoria.Cratoria.desktop)
[ "$exec_line" = cratoria ] || die "unexpected Exec line: $exec_line"
# -displayfd picks a free display, so a developer's own X server or another
# check running at the same time is never disturbed.
. "$repo/.ci/lib/xvfb.sh"
start_xvfb

home="$work/fresh home"
mkdir "$home"
# The command is looked up on the PATH that Debian gives a player's session.
env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games HOME="$home" DISPLAY="$DISPLAY" \
    "$exec_line" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
window=$(timeout 30 xdotool search --sync --name '^Cratoria$' | head -n 1) ||
    { cat "$work/game.out" "$work/game.err"; die "no Cratoria window within 30 s"; }
echo "   window $window is up"
sleep 1
xdotool mousemove 400 300
xdotool key q
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$game_pid" 2>/dev/null; then
    echo "   Q was not taken; asking the game to quit with SIGTERM"
    kill -TERM "$game_pid"
fi
set +e
wait "$game_pid"
status=$?
set -e
game_pid=""
[ "$status" -eq 0 ] || { cat "$work/game.out" "$work/game.err"; die "the game ended with status $status"; }

userdir="$home/.local/share/cratoria"
[ -d "$userdir/levels" ] || die "$userdir/levels was not created"
[ -e "$userdir/levels/default" ] || die "the installed collections are not in $userdir/levels"
[ -e "$userdir/gfx/vera.ttf" ] || die "$userdir/gfx does not lead to the installed pictures"
[ -f "$userdir/scores.xml" ] || die "the game did not write $userdir/scores.xml"
echo "   quit with status 0; $userdir holds levels/, gfx/ and scores.xml"

step "removing the package"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq cratoria >/dev/null
installed_here=no
[ ! -e /usr/games/cratoria ] || die "/usr/games/cratoria is still there after removal"
echo "package check passed"
