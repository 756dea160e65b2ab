#!/usr/bin/env bash
# The desktop entry, metainfo and Debian package description: valid for the
# tools that read them, and agreeing with each other and the build.
# usage: test_desktop_files.sh SOURCE_DIR PROJECT_VERSION
. "$(dirname "$0")/common.sh"
source=$1
version=$2
id=io.github.cratoria.Cratoria
desktop="$source/packaging/$id.desktop"
metainfo="$source/packaging/$id.metainfo.xml"

# CI installs both validators; a developer without them is told, not failed.
missing=""
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || missing="$missing $tool"
done
if [ -n "$missing" ]; then
    echo "SKIP: not installed:$missing (apt-get install desktop-file-utils appstream)"
    exit 77
fi

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli rejects $metainfo"

grep -qx "Exec=cratoria" "$desktop" || fail "the menu entry does not start the launcher"
grep -qx "Icon=cratoria" "$desktop" || fail "the menu entry names another icon"
grep -qF "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not point at $id.desktop"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
head -n 1 "$source/debian/changelog" | grep -qF "cratoria ($version-" ||
    fail "debian/changelog does not start with version $version"

# The package must build wherever ./build.sh builds, and with nothing more.
wanted=$(sed -e 's/#.*//' "$source/deps/build.txt" | tr -s ' \n' '\n' | sed '/^$/d' | sort -u)
declared=$(sed -n '/^Build-Depends:/,/^[^ ]/p' "$source/debian/control" | sed -e 's/^Build-Depends://' |
    grep -v '^[A-Z]' | tr ',' '\n' | sed -e 's/(.*)//' -e 's/ //g' | sed '/^$/d' |
    grep -v '^debhelper-compat$' | sort -u)
[ "$wanted" = "$declared" ] ||
    fail "Build-Depends differ from deps/build.txt: $(diff <(echo "$wanted") <(echo "$declared") | grep '^[<>]' | tr '\n' ' ')"

finish
