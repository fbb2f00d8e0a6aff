#!/usr/bin/env bash
# The README's pictures: builds the program and lets tools/fotografie drive
# the real window on the demo archive (Qt's offscreen platform, real fonts),
# writing one picture per mode into docs/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
USCITA=${1:-docs}
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tools/fotografie" "$USCITA"
