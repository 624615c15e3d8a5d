#!/usr/bin/env bash
# lviehlp.exe on 64-bit Windows: install writes both extension keys in the 32-bit and the 64-bit
# registry view, icons chosen by the 64-bit browser's version, and uninstall removes them from both.
# The program is the 32-bit build under WOW64 or, where this kernel runs no 32-bit code, the x86_64
# build of the same sources. Runs in a 64-bit Wine prefix of its own, created on first use and kept
# (LV_WINEPREFIX64, default build/wineprefix64), with its own wineserver.
# Usage: wow64-install.sh DIST_DIR
set -u
dist="$1"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/scripts/wine-arch.sh"  # `wine`: the loader for the program under test
export WINEARCH=win64
export WINEPREFIX="${LV_WINEPREFIX64:-$root/build/wineprefix64}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Debian installs the 64-bit loader off the search path.
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)

mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1' EXIT
# Services started by the first Wine process inherit its output: keep them off CTest's pipe.
wineserver -p </dev/null >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine64" wineboot -i </dev/null >/dev/null 2>&1
else
  "$wine64" wineboot </dev/null >/dev/null 2>&1
fi

ext='HKLM\Software\Microsoft\Internet Explorer\Extensions'
menu="$ext\\{6A1D3C52-8E47-4B0F-9C2A-3F5E71B0D48C}"
button="$ext\\{B27E9F04-15C3-4D6A-A8E1-0C94D7F36A25}"
browser='HKLM\Software\Microsoft\Internet Explorer'
reg() { "$wine64" reg "$@" </dev/null >/dev/null 2>&1; }
# The data of one REG_SZ value, as reg.exe lists it.
value() { "$wine64" reg query "$1" /v "$2" "/reg:$3" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*    REG_SZ    //p'; }

fail=0
expect() {  # key name view expected
  local got
  got=$(value "$1" "$2" "$3")
  [ "$got" = "$4" ] || { echo "FAIL /reg:$3 $1 $2: got [$got], expected [$4]"; fail=1; }
}

mkdir -p "$WINEPREFIX/drive_c/lvtest"
cp "$dist/lviehlp.exe" "$WINEPREFIX/drive_c/lvtest/lviehlp.exe"
exe='C:\lvtest\lviehlp.exe'
for view in 32 64; do
  reg delete "$menu" /f "/reg:$view"
  reg delete "$button" /f "/reg:$view"
done
# Only the 64-bit browser's version selects the newer icons.
reg add "$browser" /v Version /d 11.0.9600.16428 /f /reg:64
reg add "$browser" /v Version /d 5.50.4134.0600 /f /reg:32

wine "$exe" install </dev/null >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] || { echo "FAIL install exited with $rc"; fail=1; }
for view in 32 64; do
  expect "$menu" Exec $view "$exe"
  expect "$menu" MenuText $view "Lorvane"
  expect "$button" Exec $view "$exe"
  expect "$button" Icon $view 'C:\lvtest\lvieres.dll,2'
  expect "$button" HotIcon $view 'C:\lvtest\lvieres.dll,3'
done

wine "$exe" uninstall </dev/null >/dev/null 2>&1
rc=$?
[ $rc -eq 0 ] || { echo "FAIL uninstall exited with $rc"; fail=1; }
for view in 32 64; do
  for key in "$menu" "$button"; do
    if reg query "$key" "/reg:$view"; then echo "FAIL /reg:$view $key is still there"; fail=1; fi
  done
done

[ $fail -eq 0 ] && echo "both views written and removed"
exit $fail
