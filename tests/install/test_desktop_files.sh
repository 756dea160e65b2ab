#!/usr/bin/env bash
# The desktop entry and metainfo: valid for the tools that read them, and
# agreeing with each other, the launcher and the Debian changelog.
# usage: test_desktop_files.sh SOURCE_DIR PROJECT_VERSION
. "$(dirname "$0")/common.sh"
id=io.github.cratoria.Cratoria
desktop="$1/packaging/$id.desktop"
metainfo="$1/packaging/$id.metainfo.xml"

# CI installs both validators; a developer without them is told, not failed.
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (desktop-file-utils, appstream)"; exit 77; }
done
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli rejects $metainfo"

grep -qx "Exec=cratoria" "$desktop" && grep -qx "Icon=cratoria" "$desktop" ||
    fail "the menu entry does not start the launcher with its icon"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not point at $id.desktop"
grep -qF "<release version=\"$2\"" "$metainfo" && head -n 1 "$1/debian/changelog" | grep -qF "cratoria ($2-" ||
    fail "metainfo or debian/changelog lacks version $2"
finish
