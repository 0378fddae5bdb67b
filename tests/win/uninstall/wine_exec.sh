#!/usr/bin/env bash
# CTest's emulator for the uninstall engine's Windows tests. They change the product's
# machine-wide footprint (registry, services, tasks, folders), so they get a prefix of
# their own rather than the one the other Windows tests share. That prefix is prepared
# once: windows without a display (the tests close real windows), and desktop folders
# inside the prefix rather than links to the Unix home (the tests write shortcuts there).
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
harness="$here/../../harness"
prefix="$(python3 "$harness/prefix.py" uninstall-wintests)" || exit 1
export WINEPREFIX="$prefix" WINEDEBUG=-all
(
  flock 9
  if [ ! -e "$prefix/.uninstall-ready" ]; then
    timeout 120 /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -k
    /usr/lib/wine/wineserver -w
    for desktop in "$prefix"/drive_c/users/*/Desktop; do
      if [ -L "$desktop" ]; then rm "$desktop" && mkdir "$desktop"; fi
    done
    touch "$prefix/.uninstall-ready"
  fi
) 9>"$prefix.uninstall.lock"
exec timeout --kill-after=10 "${CORVANE_WINE_TIMEOUT:-300}" /usr/lib/wine/wine64 "$@"
