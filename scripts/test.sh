#!/usr/bin/env bash
# Sets everything up, builds and runs the whole test suite: every test on
# SQLite files, and again (the "_pg" variants) on a throw-away PostgreSQL
# server started here (scripts/pg.sh) and stopped at the end, whatever happens.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}

RADICE=$PWD
trap '"$RADICE"/scripts/pg.sh stop' EXIT
./scripts/pg.sh start
eval "$(./scripts/pg.sh env)"
# The _pg tests run on this server; one that cannot reach it fails, not skips.
cmake -S . -B "$BUILD_DIR" -DANAGSOST_PG_PROVA="$ANAGSOST_PG" -DANAGSOST_PG_PASSFILE="$PGPASSFILE" >/dev/null
export ANAGSOST_PG_RICHIESTO=1

cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc)"
