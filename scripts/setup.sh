#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh: run as root (it installs Debian packages)" >&2
  exit 1
fi

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="${CORVANE_DEPS_DIR:-/opt/corvane-deps}"

PACKAGES=(
  cmake ninja-build ccache g++ clang python3 zip unzip file curl openssl
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  libz-mingw-w64-dev lzma-dev googletest
  wine wine32:i386 wine64 xvfb x11-apps imagemagick xauth
  wixl msitools osslsigncode qemu-user-static
  dpkg-dev
  chromium librsvg2-bin webp
)
# Node.js may already come from another source whose npm conflicts with Debian's.
command -v npm >/dev/null 2>&1 || PACKAGES+=(nodejs npm)

# A mirror caught mid-sync serves an index of the wrong size and apt-get update fails the whole
# update for it; such a fault passes within minutes. The install after it still fails loudly
# when a package is truly out of reach.
apt_update() {
  local attempt
  for attempt in 1 2 3 4; do
    apt-get update -qq && return 0
    [ "$attempt" = 4 ] && break
    echo "setup.sh: apt-get update failed (attempt $attempt); retrying" >&2
    sleep $((attempt * 15))
  done
  echo "setup.sh: apt-get update kept failing; installing from the indexes it has" >&2
}

missing=()
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "$need_i386" = 1 ] || [ "${#missing[@]}" -gt 0 ]; then
  echo "setup.sh: installing ${missing[*]:-i386 architecture}"
  [ "$need_i386" = 1 ] && dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt_update
  # Without one architecture's security index (the mirror fault above), a library's 64-bit
  # and 32-bit candidates differ, and the two copies of a shared library must be the same
  # version; taking every package from the release itself makes the pairs agree again.
  if ! apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    . /etc/os-release
    echo "setup.sh: retrying the install from ${VERSION_CODENAME} itself" >&2
    apt-get install -y -qq --no-install-recommends -t "$VERSION_CODENAME" "${missing[@]}" >/dev/null
  fi
fi

# minizip is compiled from zlib's own sources (contrib/minizip); Debian ships them
# only as a source package, so enable a deb-src entry on the mirror already in use.
if [ ! -f "$DEPS/minizip/unzip.c" ]; then
  # Only the main archive: the security mirror does not carry source packages here.
  srcfile=/etc/apt/sources.list.d/corvane-src.sources
  if [ ! -f "$srcfile" ]; then
    mirror="$(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -n1 | awk '{print $2}')"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "${mirror:-http://deb.debian.org/debian}" > "$srcfile"
    apt_update
  fi
  tmp="$(mktemp -d)"
  (cd "$tmp" && chmod 777 . && apt-get source -qq --download-only zlib >/dev/null && dpkg-source -x --skip-patches zlib_*.dsc zlib-src >/dev/null)
  mkdir -p "$DEPS/minizip"
  cp "$tmp"/zlib-src/contrib/minizip/{unzip.c,unzip.h,ioapi.c,ioapi.h,crypt.h} "$DEPS/minizip/"
  rm -rf "$tmp"
fi

# Wine runs 32-bit Windows code through its 32-bit loader. Where the kernel runs no 32-bit
# code (seen on this project's virtual machines), route 32-bit ELF programs through qemu.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' > "$binfmt/register"
  fi
  echo 1 > "$binfmt/qemu-i386"
  /usr/lib/wine/wine --version >/dev/null || { echo "setup.sh: 32-bit Wine cannot run" >&2; exit 1; }
fi

# Page tests: playwright-core drives Debian's chromium (no browser download); fonts are OFL
# fonts from npm copied into the page bundle by the build. Reinstall when the lock changes.
if [ -f "$HERE/package-lock.json" ] && ! cmp -s "$HERE/package-lock.json" "$HERE/node_modules/.corvane-lock"; then
  (cd "$HERE" && npm ci --no-audit --no-fund --loglevel=error)
  cp "$HERE/package-lock.json" "$HERE/node_modules/.corvane-lock"
fi

echo "setup.sh: ready"
