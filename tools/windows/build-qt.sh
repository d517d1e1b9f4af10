#!/usr/bin/env bash
# Cross-builds Qt 6 for 64-bit Windows from Debian's own qt6-base source, against the host Qt tools of
# qt6-base-dev-tools, into a cache outside the source tree. Reuses a finished build: prints its prefix.
#
#   tools/windows/build-qt.sh            build when missing, then print the prefix
#   QTA_WIN_CACHE=DIR   the cache (default ~/.cache/qta-win)
#   JOBS=N              parallel compile jobs (default: the number of cores)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
cache=${QTA_WIN_CACHE:-$HOME/.cache/qta-win}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

# The host tools and the source must be the same Qt version: take the source of the installed tools.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
upstream=${version%%+*}
upstream=${upstream%%-*}
patch=$here/qtbase-$upstream-mingw.patch
prefix=$cache/qt-$upstream-mingw64
stamp=$prefix/.qta-built

# The made Qt keeps the path of its toolchain file: keep a copy in the cache so any clone can reuse the build.
toolchain=$cache/mingw-w64.cmake
mkdir -p "$cache"
cmp -s "$repo/cmake/mingw-w64.cmake" "$toolchain" 2>/dev/null || cp "$repo/cmake/mingw-w64.cmake" "$toolchain"

# Only what the editor needs: Core, Gui, Widgets, Test, the platform, style and image plugins.
configure_args=(
    -G Ninja
    -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_zstd=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_libb2=OFF
)

# A finished build is reused while what went into it stays the same.
recipe=$( { echo "$version"; printf '%s\n' "${configure_args[@]}"; cat "$patch" "$toolchain"; } \
          | sha256sum | cut -c1-16)

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "build-qt: $*" >&2; }

src_parent=$cache/src
src=$src_parent/qt6-base-$upstream+dfsg
mkdir -p "$src_parent"
if [ ! -f "$src/.qta-source-$version" ]; then
    log "fetching Debian's qt6-base $version source into $src_parent"
    rm -rf "$src" "$src_parent"/qt6-base_*
    (cd "$src_parent" && apt-get source -qq "qt6-base=$version" >&2)
    patch -d "$src" -p1 --forward --quiet < "$patch" >&2
    touch "$src/.qta-source-$version"
fi

# An interrupted build of the same recipe goes on where it stopped; any other starts afresh.
build=$cache/qtbase-build
if [ "$(cat "$build/.qta-recipe" 2>/dev/null)" != "$recipe" ]; then
    rm -rf "$build"
    mkdir -p "$build"
    echo "$recipe" > "$build/.qta-recipe"
fi
rm -rf "$prefix"

started=$(date +%s)
log "configuring (log: $build/configure.log)"
cmake -S "$src" -B "$build" "${configure_args[@]}" > "$build/configure.log" 2>&1 \
    || { tail -40 "$build/configure.log" >&2; exit 1; }
log "building with $jobs jobs (log: $build/build.log)"
cmake --build "$build" --parallel "$jobs" > "$build/build.log" 2>&1 || { tail -60 "$build/build.log" >&2; exit 1; }
cmake --install "$build" > "$build/install.log" 2>&1 || { tail -40 "$build/install.log" >&2; exit 1; }

echo "$recipe" > "$stamp"
log "built in $(( ($(date +%s) - started) / 60 )) minutes: $prefix"
echo "$prefix"
