#!/usr/bin/env bash
# Times the program's Sun, Moon, planet and rise-and-set functions and the same measures of
# astronomy-engine (npm) on the same 1,000 instants in one run, and prints both with their
# ratio. A benchmark, not a test: nothing fails on the figures.
#
#   bash bench/peers/run.sh BUILD_FOLDER   (make bench-peers builds and runs it)
#
# The two sides take turns, PEER_ROUNDS times each (default 3), and each measure keeps its
# best run: on a shared machine a run can fall into a busy spell, and the ratio should
# compare the two sides at their best rather than whichever ran in the busier one. Run it
# pinned to one quiet core (taskset -c N bash bench/peers/run.sh ...) so that both sides
# share that core.
#
# Needs node and npm (Debian: nodejs, npm). The library is installed once into
# BUILD_FOLDER/peers and reused.
set -euo pipefail
build="${1:?usage: run.sh BUILD_FOLDER}"
here="$(cd "$(dirname "$0")" && pwd)"
version=2.1.19
cache="$build/peers"

for tool in node npm; do
    command -v "$tool" > /dev/null || { echo "run.sh: $tool is missing (apt-get install nodejs npm)" >&2; exit 1; }
done
if [ ! -f "$cache/node_modules/astronomy-engine/package.json" ] ||
   ! grep -q "\"version\": \"$version\"" "$cache/node_modules/astronomy-engine/package.json"; then
    mkdir -p "$cache"
    npm install --prefix "$cache" --no-audit --no-fund --silent "astronomy-engine@$version"
fi

rounds="${PEER_ROUNDS:-3}"
[[ "$rounds" =~ ^[1-9][0-9]*$ ]] || { echo "run.sh: PEER_ROUNDS must be a positive whole number, not '$rounds'" >&2; exit 1; }
instants="$cache/instants.txt"
ours="$cache/velkarion.tsv"
theirs="$cache/astronomy-engine.tsv"
: > "$ours"
: > "$theirs"
for ((round = 1; round <= rounds; ++round)); do
    "$build/velkarion_peer_times" "$instants" >> "$ours"
    node "$here/astronomy_engine_times.js" "$cache/node_modules" "$instants" >> "$theirs"
done

echo "Microseconds per call on the same 1,000 instants (best of 15 passes; best of $rounds runs of each side, taken in turns):"
awk -F'\t' -v version="$version" '
    /^#/ { next }
    NR == FNR {
        if (!($1 in ours)) order[++n] = $1
        if (!($1 in ours) || $2 < ours[$1]) ours[$1] = $2
        next
    }
    { if (!($1 in theirs) || $2 < theirs[$1]) theirs[$1] = $2 }
    END {
        # The ratios this project aims at: the Moon, and a planet alone (Mars).
        target["moon"] = 7
        target["mars"] = 5
        printf "%-24s %12s %20s %8s  %s\n", "measure", "Velkarion", "astronomy-engine " version, "ratio", "target"
        for (i = 1; i <= n; ++i) {
            m = order[i]
            ratio = theirs[m] / ours[m]
            aim = ""
            if (m in target) aim = sprintf(">= %dx %s", target[m], ratio >= target[m] ? "met" : "NOT met")
            printf "%-24s %12.2f %20.2f %7.2fx  %s\n", m, ours[m], theirs[m], ratio, aim
        }
    }' "$ours" "$theirs"
