#!/usr/bin/env bash
# CTest's emulator for Windows test executables: runs one under Wine in the shared test
# prefix (a copy of the run's pristine prefix), with a time limit and Wine's noise off.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
prefix="$(python3 "$here/prefix.py" wintests)" || exit 1
export WINEPREFIX="$prefix" WINEDEBUG=-all
# The desktop shell's tests start on a Wine session of their own: one that follows another
# test too closely can meet that test's shell and service manager still shutting down, and a
# shell registered into them never offers its window list (tests/win/install/launch_test.cpp).
case " $* " in
  *" --gtest_filter=LaunchChain."*) timeout 60 /usr/lib/wine/wineserver -w ;;
esac
exec timeout --kill-after=10 "${CORVANE_WINE_TIMEOUT:-300}" /usr/lib/wine/wine64 "$@"
