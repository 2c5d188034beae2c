#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are missing. Quiet and
# idempotent: with everything present it only checks.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' packages.txt)
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
