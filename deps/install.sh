#!/usr/bin/env bash
# Installs the Debian packages named in the given lists that are not yet
# installed, with apt-get, through sudo when not run as root.
# usage: deps/install.sh LIST...
set -euo pipefail
wanted=$(sed -e 's/#.*//' "$@" | tr -s ' \n' '\n' | sed '/^$/d' | sort -u)
missing=()
for p in $wanted; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
