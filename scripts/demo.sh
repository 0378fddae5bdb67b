#!/usr/bin/env bash
# Shows the program at work under Wine, the way a support engineer would look at a run:
# sets up, builds what the demo needs, runs the installer and the uninstaller in a fresh Wine
# prefix against the local vendor stand-in, and checks that the product came and went; then the
# same interactively on a private X display: the setup program double-clicked (consent screen,
# install in the same window) and the uninstaller from Add/Remove Programs (consent screen, its
# staged copy's progress screen), the WebView2 test double playing the pages, with a screenshot
# of each screen. Evidence is kept in build/evidence/scenarios/demo/ and demo-interactive/.
#   scripts/demo.sh            the shipped 32-bit CorvaneSetup.exe where 32-bit code runs natively;
#                              the x86-64 twin where it runs only through an emulator (says which)
#   scripts/demo.sh --shipped  the shipped 32-bit exe in any case (about 5 minutes when emulated)
#   scripts/demo.sh --twin     the x86-64 twin of the same sources (seconds)
#   scripts/demo.sh --variant fails_uninstall   a package whose removal is refused: the demo fails
#   scripts/demo.sh --screens  instead, the install and uninstall on the real pages in headless chromium,
#                              a person's steps played on them; prints the path of each screen's screenshot
# Exits 0 when the install and the removal both did their job, 1 otherwise.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
echo "demo: checking the machine's packages (scripts/setup.sh; on a fresh machine this installs them first)"
if ! scripts/setup.sh; then
  echo "demo: FAILED: scripts/setup.sh could not install what the demo needs (see its output above)"
  exit 1
fi
exec python3 tests/harness/demo.py "$@"
