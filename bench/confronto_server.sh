#!/usr/bin/env bash
# Two builds of the program side by side on the server engine: for each
# latency, bench_server of the first build (an older program, say), then of
# the second, on the same archives on the same server, one after the other.
#
#   bench/confronto_server.sh PRIMA DOPO [--latenze 0,5,20] [other bench_server options]
#
# PRIMA, DOPO: the two build folders (each with bench/bench_server). The server
# is ANAGSOST_PG (scripts/pg.sh env), its password in PGPASSFILE. Each run
# adds substitutes of its own (--serie), so the archives are filled once and
# serve every run; they stay on the server (bench_server --elimina drops them).
set -euo pipefail
if [ $# -lt 2 ]; then
  sed -n '2,10p' "$0" >&2
  exit 2
fi
PRIMA=$1
DOPO=$2
shift 2
LATENZE=0,5,20
ALTRE=()
while [ $# -gt 0 ]; do
  if [ "$1" = --latenze ]; then
    LATENZE=$2
    shift 2
  else
    ALTRE+=("$1")
    shift
  fi
done
serie=1
for latenza in ${LATENZE//,/ }; do
  for build in "$PRIMA" "$DOPO"; do
    echo "=== $build, $latenza ms per verso, $(date '+%Y-%m-%d %H:%M')"
    "$build/bench/bench_server" --latenze "$latenza" --serie "$serie" "${ALTRE[@]}"
    serie=$((serie + 1))
  done
done
