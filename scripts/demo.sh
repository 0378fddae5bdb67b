#!/usr/bin/env bash
# Shows the program at work under Wine, the way a support engineer would look at a run:
# sets up, builds, runs the installer and the uninstaller in a fresh Wine prefix and prints
# their exit codes and logs. Evidence is kept in build/evidence/demo/.
#   scripts/demo.sh          the shipped 32-bit CorvaneSetup.exe (about a minute per run here)
#   scripts/demo.sh --twin   the x86-64 test twin of the same sources (seconds)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
scripts/setup.sh
scripts/build.sh >/dev/null
python3 tests/harness/prefix.py --pristine >/dev/null
exec python3 tests/harness/demo.py "$@"
