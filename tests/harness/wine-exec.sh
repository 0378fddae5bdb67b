#!/usr/bin/env bash
# CTest's emulator for Windows test executables: runs one under Wine in the shared test
# prefix (a copy of the run's pristine prefix), with a time limit and Wine's noise off.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
prefix="$(python3 "$here/prefix.py" wintests)" || exit 1
export WINEPREFIX="$prefix" WINEDEBUG=-all
exec timeout --kill-after=10 "${CORVANE_WINE_TIMEOUT:-300}" /usr/lib/wine/wine64 "$@"
