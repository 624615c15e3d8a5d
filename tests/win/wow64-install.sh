#!/usr/bin/env bash
# lviehlp.exe on 64-bit Windows: install writes both extension keys in the 32-bit and the 64-bit
# registry view, icons chosen by the 64-bit browser's version, and uninstall removes them from both.
# The program is the shipped 32-bit file under WOW64 (as on 64-bit Windows) or, where this kernel
# runs no 32-bit code, the x86_64 build of the same sources. Runs in the 64-bit "wow64" prefix
# (scripts/wine-env.sh), created on first use and kept, with its own wineserver.
# Usage: wow64-install.sh DIST_DIR
set -u
dist="$1"
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-env.sh"
lv_prefix wow64 win64
trap lv_wine_end EXIT
lv_wine_boot || exit 1

ext='HKLM\Software\Microsoft\Internet Explorer\Extensions'
menu="$ext\\{6A1D3C52-8E47-4B0F-9C2A-3F5E71B0D48C}"
button="$ext\\{B27E9F04-15C3-4D6A-A8E1-0C94D7F36A25}"
browser='HKLM\Software\Microsoft\Internet Explorer'
reg() { wine64 reg "$@" </dev/null >/dev/null 2>&1; }
# The data of one REG_SZ value, as reg.exe lists it.
value() { wine64 reg query "$1" /v "$2" "/reg:$3" </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*    REG_SZ    //p'; }

fail=0
expect() {  # key name view expected
  local got
  got=$(value "$1" "$2" "$3")
  [ "$got" = "$4" ] || { echo "FAIL /reg:$3 $1 $2: got [$got], expected [$4]"; fail=1; }
}

# Where 32-bit code runs, this is the shipped 32-bit file: the real case on 64-bit Windows.
if [ "$LV_WINE_ARCH" = win32 ] && ! file "$dist/lviehlp.exe" | grep -q 'PE32 executable'; then
  echo "FAIL $dist/lviehlp.exe is not the 32-bit program"; fail=1
fi
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
