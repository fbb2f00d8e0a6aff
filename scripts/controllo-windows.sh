#!/usr/bin/env bash
# The Windows compile check: every source of the program's libraries and
# main.cpp compiled for Windows with Debian's MinGW-w64 cross compiler against
# Qt's headers, syntax and semantics only (Qt's headers then define Q_OS_WIN,
# so the Windows-only paths are compiled). Nothing is linked or run: there is
# no Qt for Windows here. Installs the compiler when it is missing, configures
# and builds build/ (or $BUILD_DIR) for the headers moc writes, then runs the
# check (the CMake target controllo_windows, cmake/ControlloWindows.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."

PACCHETTO=g++-mingw-w64-x86-64-posix
if ! dpkg-query -W -f='${Status}' "$PACCHETTO" 2>/dev/null | grep -q "install ok installed"; then
  echo "Installing: $PACCHETTO"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$PACCHETTO" >/dev/null
fi

./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" --target controllo_windows
echo "Controllo per Windows superato"
