#!/usr/bin/env bash
# Builds the page bundle into build/ui-bundle (and the host's page contract into
# build/page-contract when missing) and runs the page tests in
# headless chromium, and the page relay's own tests (tests/harness/*.test.mjs);
# screenshots land in build/evidence/pages. Ends with one
# line "pages: N passed, M failed" and exits non-zero on any failure.
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$ROOT"
BUNDLE_OUT="$ROOT/build/ui-bundle"
EVIDENCE="$ROOT/build/evidence/pages"
TAP="$ROOT/build/pages-tests.tap"

give_up() {
  echo "pages: $1" >&2
  echo "pages: 0 passed, 1 failed"
  exit 1
}

[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || give_up "chromium not installed (run scripts/setup.sh)"
[ -d node_modules/playwright-core ] || give_up "node_modules missing (run npm install in $ROOT)"
scripts/build_ui_bundle.sh "$BUNDLE_OUT" || give_up "bundle build failed"
# What the host sends the pages, written by its own formatters when the native
# build links the exporter (scripts/test.sh builds it first); built here when
# missing.
if [ ! -f build/page-contract/commands.json ]; then
  { cmake --preset native && cmake --build --preset native --target page_contract_export &&
    mkdir -p build/page-contract && build/native/page_contract_export build/page-contract; } >/dev/null ||
    give_up "page contract export failed"
fi

rm -rf "$EVIDENCE"
mkdir -p "$EVIDENCE"

UI_BUNDLE_DIR="$BUNDLE_OUT/ui" EVIDENCE_DIR="$EVIDENCE" node --test \
  --test-reporter=spec --test-reporter-destination=stdout \
  --test-reporter=tap --test-reporter-destination="$TAP" \
  tests/pages/*.test.mjs tests/harness/*.test.mjs
status=$?

passed=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$TAP" | tail -n 1)
failed=$(sed -n 's/^# fail \([0-9]*\)$/\1/p' "$TAP" | tail -n 1)
passed=${passed:-0}
failed=${failed:-0}
# A runner that died without its summary still counts as a failure.
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
echo "screenshots: $EVIDENCE"
echo "pages: $passed passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
