#!/usr/bin/env bash
# The shippable files: 32-bit GUI program and DLL that import only Windows system DLLs, whether
# at start (objdump's import tables) or on first call (the delay-import descriptors), and whose
# delay-import slots all point at code.
set -eu
dist="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fail=0
file "$dist/lviehlp.exe" | grep -q 'PE32 executable (GUI) Intel 80386' || { echo "lviehlp.exe is not a PE32 GUI i386 program"; fail=1; }
file "$dist/lvieres.dll" | grep -q 'PE32 executable (DLL)' || { echo "lvieres.dll is not a PE32 DLL"; fail=1; }
system='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMCTL32|WSOCK32|MSVCRT)\.dll$'
imports=$(i686-w64-mingw32-objdump -p "$dist/lviehlp.exe" | sed -n 's/.*DLL Name: //p')
# The delay-loaded DLLs, and each delay-import slot, which must hold its loading stub's address
# (a 0 faults at the first call): one line per DLL, then a line per bad slot and the count.
slots=$(python3 "$here/delay-imports.py" --slots "$dist/lviehlp.exe") || fail=1
delayed=$(echo "$slots" | grep '\.dll$' || true)
echo "$slots" | grep -v '\.dll$'
echo "lviehlp.exe imports:" $imports
echo "lviehlp.exe delay-loads:" $delayed
for dll in $imports $delayed; do
  echo "$dll" | grep -qiE "$system" || { echo "unexpected import: $dll"; fail=1; }
done
# A function missing from a .def file is taken from the ordinary import library: the DLL would
# then load at start again, silently.
for dll in $delayed; do
  echo "$imports" | grep -qixF "$dll" && { echo "$dll is imported at start as well as delay-loaded"; fail=1; }
done
[ -n "$delayed" ] || { echo "lviehlp.exe delay-loads nothing"; fail=1; }
dllimports=$(i686-w64-mingw32-objdump -p "$dist/lvieres.dll" | sed -n 's/.*DLL Name: //p')
[ -z "$dllimports" ] || { echo "lvieres.dll imports: $dllimports"; fail=1; }
exit $fail
