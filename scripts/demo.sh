#!/usr/bin/env bash
# Sets everything up, writes a demo archive into demo/ and opens the program on
# it. The demo has its own configuration folder, so a configuration of yours is
# left alone. With no display the program runs under Xvfb and a screenshot is
# saved to demo/anagsost.png. Only the program and the tool that writes the
# demo archive are built (not the tests nor the benchmarks).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh anagsost creademo
BUILD_DIR=${BUILD_DIR:-build}
DEMO=$PWD/demo
export XDG_CONFIG_HOME=$DEMO/config
if [ ! -f "$DEMO/S7702004.MDB" ]; then
  mkdir -p "$DEMO"
  "$BUILD_DIR/tools/creademo" "$DEMO"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$BUILD_DIR/anagsost"
fi

echo "No display: running under Xvfb and saving a screenshot to demo/anagsost.png"
xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  QT_QPA_PLATFORM=xcb "'"$BUILD_DIR"'/anagsost" &
  pid=$!
  finestra=""
  for _ in $(seq 1 50); do
    finestra=$(xdotool search --onlyvisible --name "Gestione Modello" 2>/dev/null | head -n 1) && [ -n "$finestra" ] && break
    sleep 0.2
  done
  sleep 1
  if [ -n "$finestra" ]; then
    xwd -id "$finestra" -silent | convert xwd:- png:"'"$DEMO"'/anagsost.png"
  else
    xwd -root -silent | convert xwd:- png:"'"$DEMO"'/anagsost.png"
  fi
  kill $pid
  wait $pid 2>/dev/null || true
'
echo "Screenshot: $DEMO/anagsost.png"
