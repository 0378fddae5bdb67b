#!/usr/bin/env bash
# Builds everything: the product (build/win32/CorvaneSetup.exe, a 32-bit GUI executable that
# needs no DLL beside it), its x86-64 test twin and Windows tests (build/win64), and the host
# unit tests (build/native). Release inputs are CMake cache variables, e.g.
#   CORVANE_CMAKE_ARGS="-DCORVANE_DOMAIN_COM=example.com -DCORVANE_WEBVIEW2_LOADER=/path/WebView2Loader.dll" scripts/build.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
extra=(${CORVANE_CMAKE_ARGS:-})
for preset in native win64 win32; do
  cmake --preset "$preset" "${extra[@]}" >/dev/null
  cmake --build --preset "$preset"
done
echo "build.sh: product at $(pwd)/build/win32/CorvaneSetup.exe"
