#!/usr/bin/env bash
# Retakes the screenshots in docs/ on a virtual display, so they look the same on every machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
need=""
for p in xvfb xauth; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need="$need $p"; done
if [ -n "$need" ]; then
    sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $need
fi
# BUILD names another build folder, as for make.
build="${BUILD:-build}"
make build BUILD="$build"
cmake --build "$build" --target qta-screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$build/bin/qta-screenshots" examples/QTA.INI docs
echo "Screenshots written to docs/."
