#!/usr/bin/env bash
# make windows: installs what is missing, makes Qt for Windows when the cache has none, cross-builds the editor
# and its tests into BUILD (default build-win) and packs BUILD/QTAConfigEditor-<version>-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

tools/windows/deps.sh
qt=$(tools/windows/build-qt.sh)

if [ ! -f "$build/CMakeCache.txt" ]; then
    "$qt/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --parallel "$jobs"
tools/windows/package.sh "$build"
