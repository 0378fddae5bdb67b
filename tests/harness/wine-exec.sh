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
run() { timeout --kill-after=10 "${CORVANE_WINE_TIMEOUT:-300}" /usr/lib/wine/wine64 "$@"; }
# Starting Wine alone takes seconds, so a failure within one second with nothing printed means
# Wine never ran the test (seen once: a wineserver of the test before still going away). That
# start is tried once more; a test that ran and failed is never run again.
out="$(mktemp)"
started=$(date +%s%N)
run "$@" >"$out" 2>&1
code=$?
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
if [ "$code" -ne 0 ] && [ "$elapsed_ms" -lt 1000 ] && [ ! -s "$out" ]; then
  echo "wine-exec: Wine ended in ${elapsed_ms} ms with code $code before the test printed anything; starting it once more" >&2
  rm -f "$out"
  run "$@"
  exit $?
fi
cat "$out"
rm -f "$out"
exit "$code"
