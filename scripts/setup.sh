#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds the program, its
# tools, tests and benchmarks into build/ (or $BUILD_DIR); with targets named
# as arguments (`setup.sh anagsost creademo`), only those and what they need.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake make g++ pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n libpq-dev
          libxlsxwriter-dev python3-openpyxl locales
          xvfb xauth x11-apps imagemagick xdotool fonts-dejavu-core poppler-utils
          postgresql postgresql-client)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_EXTRA:-} >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target "$@"
else
  cmake --build "$BUILD_DIR" -j"$(nproc)"
fi
