# The Windows program, cross-built on this Linux machine and tested under Wine (README, "Windows").
#   make windows        Qt for Windows (built once into WIN_CACHE), the editor, its tests and the zip
#   make test-windows   every test program under Wine on a virtual display, then the zip itself

WIN_BUILD ?= build-win
WIN_CACHE ?= $(HOME)/.cache/qta-win

.PHONY: windows test-windows

windows:
	QTA_WIN_CACHE="$(WIN_CACHE)" JOBS="$(JOBS)" tools/windows/build-windows.sh "$(WIN_BUILD)"

test-windows: windows
	tools/windows/test-windows.sh "$(WIN_BUILD)"
