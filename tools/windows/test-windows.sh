#!/usr/bin/env bash
# make test-windows: every test program of BUILD (default build-win) under Wine, on a virtual display of its
# own, then the zip itself (tools/windows/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

if [ -z "${QTA_TEST_DISPLAY:-}" ]; then
    # Wine draws its own windows (the shell's folder browser, the editor from the zip) on this display.
    QTA_TEST_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi

# A Western locale: Wine's ANSI code page is then 1252, whatever the caller's locale is.
export LC_ALL=C.UTF-8
unset LANG LANGUAGE

status=0
(cd "$build" && ctest --output-on-failure --parallel "$jobs") || status=$?
tools/windows/check-package.sh "$build" || status=$?
exit $status
