#!/usr/bin/env bash
# Installs what the Windows build needs from Debian: the MinGW-w64 cross compilers, Wine, a virtual
# display, and the source of Debian's own qt6-base (a deb-src entry is added for the machine's own suites).
set -euo pipefail

SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools cmake ninja-build
          qt6-base-dev qt6-base-dev-tools dpkg-dev patch perl wine wine64 xvfb xauth xdotool imagemagick zip
          unzip python3 fonts-dejavu-core fonts-wine)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# deb-src lines for the suites of the machine's own Debian deb lines, so apt-get source finds qt6-base.
add_deb_src() {
    local out=/etc/apt/sources.list.d/qta-deb-src.sources
    [ -e "$out" ] && return 0
    local tmp
    tmp=$(mktemp)
    # Stanzas of deb822 files whose Types has deb and whose URIs are Debian's.
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -e "$f" ] || continue
        awk 'BEGIN { RS=""; ORS="\n\n" }
             /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t]|\n|$)/ && /URIs:[^\n]*debian/ {
                 gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >> "$tmp"
    done
    # One-line entries of sources.list.
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -e "$f" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]\(.*debian.*\)$/deb-src \1/p' "$f" >> "$tmp"
    done
    if [ ! -s "$tmp" ]; then
        rm -f "$tmp"
        echo "No Debian deb lines found in /etc/apt to add deb-src entries for." >&2
        return 1
    fi
    if grep -q '^Types:' "$tmp"; then
        $SUDO install -m 644 "$tmp" "$out"
    else
        $SUDO install -m 644 "$tmp" "${out%.sources}.list"
    fi
    rm -f "$tmp"
    echo "Added deb-src entries: $(ls /etc/apt/sources.list.d/qta-deb-src.*)"
    return 2
}

need_update=""
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base'; then
    rc=0
    add_deb_src || rc=$?
    [ "$rc" = 1 ] && exit 1
    need_update=1
fi

if [ -n "$need_update" ] || [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
