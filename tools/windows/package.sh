#!/usr/bin/env bash
# Packs the Windows editor of BUILD into BUILD/QTAConfigEditor-<version>-win64.zip: the executable, the Qt and
# MinGW DLLs it loads (found by following the import tables), the windows platform plugin and the style and
# image plugins, nothing else. A DLL that is neither ours nor part of Windows stops the packing.
set -euo pipefail
build=${1:?usage: package.sh BUILD}
cache=$build/CMakeCache.txt

value() { sed -n "s/^$1:[A-Z]*=//p" "$cache"; }
version=$(value CMAKE_PROJECT_VERSION)
qt_dir=$(value Qt6_DIR)                      # <prefix>/lib/cmake/Qt6
qt_prefix=$(cd "$qt_dir/../../.." && pwd)
compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$build"/CMakeFiles/*/CMakeCXXCompiler.cmake | head -n 1)
objdump=$(value CMAKE_OBJDUMP)
strip=$(value CMAKE_STRIP)
[ -n "$version" ] && [ -x "$compiler" ] && [ -x "$objdump" ] && [ -x "$strip" ] \
    || { echo "package.sh: $build is not a configured Windows build" >&2; exit 1; }

name=QTAConfigEditor-$version-win64
stage=$build/package/$name
zip=$build/$name.zip
rm -rf "$build/package" "$zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats"

cp "$build/bin/qta-config-editor.exe" "$stage/"
cp "$qt_prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt_prefix/plugins/styles/"*.dll "$stage/styles/"
cp "$qt_prefix/plugins/imageformats/"*.dll "$stage/imageformats/"

# Where our DLLs come from; Windows' own DLLs are those Wine also provides, and the API sets ("api-ms-win-...")
# that Windows resolves by name.
dll_dirs=("$qt_prefix/bin")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    dll_dirs+=("$(dirname "$(readlink -f "$("$compiler" -print-file-name=$dll)")")")
done
system_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

find_dll() {
    local d f
    for d in "${dll_dirs[@]}"; do
        f=$(find "$d" -maxdepth 1 -iname "$1" -print -quit)
        [ -n "$f" ] && { echo "$f"; return 0; }
    done
    return 1
}

# Follows the import tables until no new DLL turns up.
declare -A seen=()
queue=("$stage"/*.exe "$stage"/*/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        if source=$(find_dll "$dll"); then
            cp "$source" "$stage/"
            queue+=("$stage/$(basename "$source")")
        elif [[ ! $key =~ ^(api|ext)-ms-win- ]] \
            && [ -z "$(find "$system_dlls" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
            echo "package.sh: $(basename "$file") needs $dll, which is neither in Qt, MinGW nor Windows" >&2
            exit 1
        fi
    done < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done

# Symbols and debugging sections are of no use to a user: the MinGW runtime alone carries 20 MB of them.
find "$stage" -type f \( -name '*.dll' -o -name '*.exe' \) -exec "$strip" --strip-unneeded {} +

(cd "$build/package" && zip -q -r -9 -X "../$name.zip" "$name")
echo "$zip: $(du -k "$zip" | cut -f1) KiB, $(cd "$stage" && find . -type f | wc -l) files"
(cd "$stage" && find . -type f | sort | sed 's|^\./|  |')
