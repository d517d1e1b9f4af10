#!/usr/bin/env bash
# Checks the zip of BUILD as a user gets it. It holds the program, the Qt and MinGW DLLs and the plugins, nothing
# else; the program is a windowed (GUI) one with its icon, version block and manifest. Unpacked alone into a
# fresh Wine prefix, with no DLL folder of ours on the path, the editor starts on the QTA.INI folder that
# another program wrote into the registry (no folder browser comes up), shows its window, leaves the folder in
# the registry for `wine reg query`, and closes when asked. The window is kept as BUILD/screenshot-windows.png.
# Needs a display: test-windows.sh runs it on its virtual one.
set -euo pipefail
cd "$(dirname "$0")/../.."
fail() { echo "check-package: $*" >&2; exit 1; }
build=$(cd "${1:-build-win}" && pwd) || fail "no build folder ${1:-build-win}: run make windows"

zip=$(ls "$build"/QTAConfigEditor-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$zip" ] || fail "no zip in $build: run make windows"
name=$(basename "$zip" .zip)
objdump=$(sed -n 's/^CMAKE_OBJDUMP:[A-Z]*=//p' "$build/CMakeCache.txt")

# Nothing but what the program loads.
unexpected=$(unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$name/||" | grep -v -x -E \
    'qta-config-editor\.exe|Qt6(Core|Gui|Widgets)\.dll|libstdc\+\+-6\.dll|libgcc_s_seh-1\.dll|libwinpthread-1\.dll|platforms/qwindows\.dll|styles/q[a-z]+\.dll|imageformats/q[a-z]+\.dll' \
    || true)
[ -z "$unexpected" ] || fail "unexpected files in the zip: $unexpected"
listing=$(unzip -Z1 "$zip")
for f in qta-config-editor.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
         imageformats/qjpeg.dll imageformats/qgif.dll imageformats/qico.dll; do
    grep -q -x -F "$name/$f" <<< "$listing" || fail "$f is missing from the zip"
done

work=$build/package-check
rm -rf "$work"
mkdir -p "$work"
unzip -q "$zip" -d "$work"
exe=$work/$name/qta-config-editor.exe

# A windowed program: no console comes up with it. Icon (type 3 and 14), version block (16) and manifest (24).
headers=$("$objdump" -p "$exe")
grep -q -E '^Subsystem[[:space:]]+00000002' <<< "$headers" || fail "the program is not a windowed (GUI) one"
types=$(sed -n '/The .rsrc Resource Directory/,$p' <<< "$headers" | sed -n 's/^[0-9a-f]\{3\}   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p')
for type in 3 e 10 18; do
    grep -q -x "$type" <<< "$types" || fail "the program has no resource of type 0x$type (icon 3/e, version 10, manifest 18)"
done

export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH
wineboot --init > /dev/null 2>&1
wineserver --wait
# Debian's Wine does not find its own fonts (fonts-wine) by itself: without Tahoma, the dialog font of every
# Windows, Qt takes the first font it finds, and without Marlett the frame's buttons have no pictures.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# Wine then draws the windows' frames itself, as Windows does, rather than leaving them to an X window manager.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null

key='HKCU\Software\VB and VBA Program Settings\QTAEdit\Folders'
sample='C:\QTA Sample Files'
mkdir -p "$WINEPREFIX/drive_c/QTA Sample Files"
cp examples/QTA.INI "$WINEPREFIX/drive_c/QTA Sample Files/QTA.INI"
wine reg add "$key" /v QTA.INI /t REG_SZ /d "$sample" /f > /dev/null

(cd "$work/$name" && exec wine qta-config-editor.exe) > "$work/editor.log" 2>&1 &
editor=$!
# Either the main window comes up, or, had the registry's folder not been read, the folder browser.
window=""
for _ in $(seq 120); do
    if xdotool search --onlyvisible --name 'Browse for Folder' > /dev/null 2>&1; then
        kill "$editor" 2> /dev/null
        fail "the folder browser came up: the folder in the registry was not read"
    fi
    # The title names the file a save writes: the one in the registry's folder.
    window=$(xdotool search --onlyvisible --name '^QTA Config Editor - C:\\QTA Sample Files\\QTA\.INI$' 2> /dev/null \
             | head -n 1) && break
    kill -0 "$editor" 2> /dev/null || fail "the editor ended before showing its window: $(cat "$work/editor.log")"
    sleep 1
done
[ -n "$window" ] || { kill "$editor" 2> /dev/null; fail "the editor's window did not come up in two minutes"; }
# Let the first paint reach the display, then keep a picture of the window.
for _ in 1 2 3; do xdotool sync > /dev/null 2>&1 || true; done
sleep 2
import -window "$window" "$build/screenshot-windows.png"

stored=$(wine reg query "$key" /v QTA.INI | tr -d '\r' | sed -n 's/^[[:space:]]*QTA\.INI[[:space:]]*REG_SZ[[:space:]]*//p')
[ "$stored" = "$sample" ] || fail "the registry holds \"$stored\" for QTA.INI after start-up, not \"$sample\""

wine taskkill /im qta-config-editor.exe > /dev/null 2>&1 || true
status=0
timeout 60 tail --pid="$editor" -f /dev/null || fail "the editor did not close when asked"
wait "$editor" || status=$?
[ "$status" = 0 ] || fail "the editor ended with status $status"
wineserver --kill
echo "check-package: $(basename "$zip") is complete and its editor starts on the registry's folder under Wine" \
     "(window: $build/screenshot-windows.png)"
