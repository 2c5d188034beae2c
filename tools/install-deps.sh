#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are missing. Quiet and
# idempotent: with everything present it only checks.
#
# Another package manager run (an update, unattended upgrades, a second `make`) holds
# apt's locks for a while: the install waits for them (up to APT_LOCK_WAIT seconds)
# instead of failing.
set -euo pipefail
cd "$(dirname "$0")/.."
APT_LOCK_WAIT=${APT_LOCK_WAIT:-600}
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

# apt-get waits for the dpkg lock itself (DPkg::Lock::Timeout), but `apt-get update` does
# not wait for the lock of the package lists: it is tried again while that lock is held.
apt_update() {
  local waited=0 out
  while :; do
    if out=$($SUDO apt-get -o DPkg::Lock::Timeout="$APT_LOCK_WAIT" update -qq 2>&1); then
      return 0
    fi
    if ! grep -q 'Could not get lock' <<<"$out" || [ "$waited" -ge "$APT_LOCK_WAIT" ]; then
      echo "$out" >&2
      return 1
    fi
    [ "$waited" -eq 0 ] && echo "Waiting for another package manager run to finish..."
    sleep 5
    waited=$((waited + 5))
  done
}

apt_update
$SUDO apt-get install -y -qq -o DPkg::Lock::Timeout="$APT_LOCK_WAIT" --no-install-recommends "${missing[@]}" >/dev/null
