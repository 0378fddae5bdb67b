#!/usr/bin/env bash
# Builds the release configuration of CorvaneSetup.exe, signs it and checks the signature.
#
#   scripts/release.sh OUT_DIR              build, sign, verify; OUT_DIR/CorvaneSetup.exe and SHA256SUMS
#   scripts/release.sh --unsigned OUT_DIR   build only (the bytes two builds of a commit must share)
#
# Release inputs (environment; README.md, "Release-only inputs"):
#   CORVANE_PUBLISHER_KEY_SHA256  required: the pinned publishers, "hex;hex"
#   CORVANE_WEBVIEW2_LOADER       required: the x86 WebView2Loader.dll of the WebView2 SDK
#   CORVANE_CMAKE_ARGS            optional: other release values, e.g. -DCORVANE_VERSION=2.0.267.0
#   CORVANE_RELEASE_BUILD_DIR     optional: the build tree (default build/release)
# Signing, one of (never committed; files stay where the release engineer keeps them):
#   CORVANE_SIGN_CERT and CORVANE_SIGN_KEY   certificate chain and private key files
#   CORVANE_SIGN_PKCS12                      a PKCS#12 file, or CORVANE_SIGN_PKCS12_BASE64 its
#                                            content; CORVANE_SIGN_PASSWORD its password if any
#   CORVANE_SIGN_COMMAND                     an external signer (an HSM's tool), run as
#                                            $CORVANE_SIGN_COMMAND IN.exe OUT.exe
# and for every one of them:
#   CORVANE_SIGN_CA                          required: the CA certificate(s) the result must verify against
#   CORVANE_TIMESTAMP_URL                    optional: an RFC 3161 time-stamp server
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

fail() {
  echo "release.sh: $*" >&2
  exit 1
}

sign=1
if [ "${1:-}" = "--unsigned" ]; then
  sign=0
  shift
fi
[ $# -eq 1 ] || { sed -n '2,5p' "${BASH_SOURCE[0]}" >&2; exit 2; }
OUT="$1"

# Every input is checked before anything is built: a missing one leaves no executable behind.
[ -n "${CORVANE_PUBLISHER_KEY_SHA256:-}" ] ||
  fail "CORVANE_PUBLISHER_KEY_SHA256 is not set: a release pins the publishers whose packages it installs"
[ -n "${CORVANE_WEBVIEW2_LOADER:-}" ] ||
  fail "CORVANE_WEBVIEW2_LOADER is not set: a release embeds the x86 WebView2Loader.dll"
[ -f "$CORVANE_WEBVIEW2_LOADER" ] || fail "CORVANE_WEBVIEW2_LOADER: no such file: $CORVANE_WEBVIEW2_LOADER"

signing=()
if [ "$sign" = 1 ]; then
  [ -n "${CORVANE_SIGN_CA:-}" ] || fail "CORVANE_SIGN_CA is not set: the signed file is verified against it"
  if [ -n "${CORVANE_SIGN_COMMAND:-}" ]; then
    :
  elif [ -n "${CORVANE_SIGN_CERT:-}" ] && [ -n "${CORVANE_SIGN_KEY:-}" ]; then
    signing=(-certs "$CORVANE_SIGN_CERT" -key "$CORVANE_SIGN_KEY")
  elif [ -n "${CORVANE_SIGN_PKCS12:-}" ] || [ -n "${CORVANE_SIGN_PKCS12_BASE64:-}" ]; then
    signing=(-pkcs12 "${CORVANE_SIGN_PKCS12:-}")
  else
    fail "no signing key: set CORVANE_SIGN_CERT and CORVANE_SIGN_KEY, CORVANE_SIGN_PKCS12, or CORVANE_SIGN_COMMAND"
  fi
  command -v osslsigncode >/dev/null || fail "osslsigncode is missing (scripts/setup.sh installs it)"
fi

# What an earlier run left goes first: a run that stops leaves no executable to take for this one.
mkdir -p "$OUT"
rm -f "$OUT/CorvaneSetup.exe" "$OUT/SHA256SUMS"
BUILD="${CORVANE_RELEASE_BUILD_DIR:-$ROOT/build/release}"
extra=(${CORVANE_CMAKE_ARGS:-})
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCORVANE_TEST_SIGNER=OFF \
  "-DCORVANE_PUBLISHER_KEY_SHA256=$CORVANE_PUBLISHER_KEY_SHA256" \
  "-DCORVANE_WEBVIEW2_LOADER=$CORVANE_WEBVIEW2_LOADER" "${extra[@]}" >/dev/null
cmake --build "$BUILD" --target CorvaneSetup

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
built="$BUILD/CorvaneSetup.exe"

if [ "$sign" = 1 ]; then
  if [ -n "${CORVANE_SIGN_PKCS12_BASE64:-}" ] && [ -z "${CORVANE_SIGN_PKCS12:-}" ]; then
    (umask 077 && base64 -d <<<"$CORVANE_SIGN_PKCS12_BASE64" >"$WORK/signer.p12") ||
      fail "CORVANE_SIGN_PKCS12_BASE64 is not base64"
    signing=(-pkcs12 "$WORK/signer.p12")
  fi
  if [ -n "${CORVANE_SIGN_PASSWORD:-}" ]; then
    (umask 077 && printf '%s' "$CORVANE_SIGN_PASSWORD" >"$WORK/password")
    signing+=(-readpass "$WORK/password")
  fi
  [ -n "${CORVANE_TIMESTAMP_URL:-}" ] && signing+=(-ts "$CORVANE_TIMESTAMP_URL")
  if [ -n "${CORVANE_SIGN_COMMAND:-}" ]; then
    $CORVANE_SIGN_COMMAND "$built" "$WORK/CorvaneSetup.exe" || fail "the signing command failed"
  else
    osslsigncode sign "${signing[@]}" -h sha256 -n "Corvane Setup" -in "$built" -out "$WORK/CorvaneSetup.exe" \
      >"$WORK/sign.log" 2>&1 || { cat "$WORK/sign.log" >&2; fail "signing failed"; }
  fi
  osslsigncode verify -CAfile "$CORVANE_SIGN_CA" -in "$WORK/CorvaneSetup.exe" >"$WORK/verify.log" 2>&1 ||
    { cat "$WORK/verify.log" >&2; fail "the signed CorvaneSetup.exe does not verify against $CORVANE_SIGN_CA"; }
else
  cp "$built" "$WORK/CorvaneSetup.exe"
fi

mv "$WORK/CorvaneSetup.exe" "$OUT/CorvaneSetup.exe"
(cd "$OUT" && sha256sum CorvaneSetup.exe >SHA256SUMS)
echo "release.sh: $(cd "$OUT" && pwd)/CorvaneSetup.exe ($([ "$sign" = 1 ] && echo signed and verified || echo unsigned))"
