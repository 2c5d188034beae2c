#!/usr/bin/env bash
# make fuzz: installs clang and its fuzzing runtime when missing, builds the harnesses of
# fuzz/ with clang into BUILD, and runs each for SECONDS on its corpus (seeded from
# fuzz/corpus/<name>, grown in BUILD/corpus/<name>). A fault stops that harness and leaves
# the input in BUILD/artifacts/<name>/ (the others still run, and the script fails at the
# end); minimise it with the harness's -minimize_crash=1 and turn it into a unit test.
#
#   fuzz/run.sh BUILD SECONDS [NAME...]      (default: every harness)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
shift $(( $# > 2 ? 2 : $# ))
names=("$@")
[ ${#names[@]} -eq 0 ] && names=(angle_text list_file record_file resources picture paths catalog_builder command_line
  mount_replies text_imports user_databases nmea tle observer_log minor_body_lines)

missing=()
for p in clang libclang-rt-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKARION_FUZZ=ON
fi
cmake --build "$build" -j "$(nproc)" --target fuzzers

export VELKARION_RESOURCES="$PWD/resources"
# The harnesses' scratch files go to memory: every save syncs, which on a disk would take
# most of the time.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
faults=()
for name in "${names[@]}"; do
  if [ ! -x "$build/fuzz/fuzz_$name" ]; then
    echo "== $name: not built (see the configure warning)"
    continue
  fi
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  [ -d "fuzz/corpus/$name" ] && cp -n fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
  extra=()
  # The program prints its message boxes; only the fuzzer's own lines matter here.
  [ "$name" = command_line ] && extra+=(-close_fd_mask=1)
  echo "== $name: ${seconds} s"
  "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" \
    -rss_limit_mb=4096 -max_len=65536 "${extra[@]}" "$corpus" || faults+=("$name")
done
if [ ${#faults[@]} -gt 0 ]; then
  echo "Faults found by: ${faults[*]} (inputs in $build/artifacts/)"
  exit 1
fi
