#!/usr/bin/env bash
# The shippable files as files: GUI program and resource-only DLL of the build's architecture
# (i686, the shipped one, by default; x86_64 for the other build), hardened (PE flags), importing
# only KnownDLLs at start (found in the system folder before the program's own), delay-loading
# only KnownDLLs, and with every delay-import slot pointing at its loading stub.
#   check-dist.sh DIST [i686|x86_64]
set -eu
dist="$1"
arch="${2:-i686}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fail=0
bad() { echo "$*"; fail=1; }
if [ "$arch" = x86_64 ]; then
  format='PE32\+ executable \(GUI\) x86-64'; dllformat='PE32\+ executable \(DLL\).*x86-64'
else
  format='PE32 executable \(GUI\) Intel 80386'; dllformat='PE32 executable \(DLL\).*Intel 80386'
fi
objdump="$arch-w64-mingw32-objdump"
exe="$dist/lviehlp.exe" res="$dist/lvieres.dll"
file "$exe" | grep -qE "$format" || bad "lviehlp.exe is not a $arch GUI program: $(file -b "$exe")"
file "$res" | grep -qE "$dllformat" || bad "lvieres.dll is not a $arch DLL: $(file -b "$res")"

# KnownDLLs of Windows 7 and later, the ones this program uses. comctl32 is not one: it comes from
# the side-by-side assembly that the manifest names (common controls 6), never from a folder.
known='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|MSVCRT|WS2_32)\.dll$'
imports=$($objdump -p "$exe" | sed -n 's/.*DLL Name: //p')
# The delay-loaded DLLs, and each delay-import slot, which must hold its loading stub's address
# (a 0 faults at the first call): one line per DLL, then a line per bad slot and the count.
slots=$(python3 "$here/delay-imports.py" --slots "$exe") || fail=1
delayed=$(echo "$slots" | grep '\.dll$' || true)
echo "$slots" | grep -v '\.dll$'
echo "lviehlp.exe imports:" $imports
echo "lviehlp.exe delay-loads:" $delayed
for dll in $imports $delayed; do
  if echo "$dll" | grep -qix 'comctl32\.dll'; then
    grep -qa 'name="Microsoft.Windows.Common-Controls"' "$exe" || bad "comctl32 imported without the manifest's assembly"
  else
    echo "$dll" | grep -qiE "$known" || bad "not a KnownDLL: $dll"
  fi
done
# A function missing from a .def file is taken from the ordinary import library: the DLL would
# then load at start again, silently.
for dll in $delayed; do
  echo "$imports" | grep -qixF "$dll" && bad "$dll is imported at start as well as delay-loaded"
done
[ -n "$delayed" ] || bad "lviehlp.exe delay-loads nothing"
dllimports=$($objdump -p "$res" | sed -n 's/.*DLL Name: //p')
[ -z "$dllimports" ] || bad "lvieres.dll imports: $dllimports"

# PE hardening, read from the optional header: ASLR (and, for code, a relocation section to move
# it by), no execution of data, no terminal-server shims for the program, and the high-entropy
# address space on x86_64.
has_flags() {  # FILE NAME=BIT...
  local f="$1" chars
  chars=$($objdump -p "$f" | sed -n 's/^DllCharacteristics\s*//p')
  chars=$((16#${chars:-0}))
  shift
  for flag in "$@"; do
    (( chars & ${flag#*=} )) || bad "$(basename "$f") lacks ${flag%=*}"
  done
  printf '%s: DllCharacteristics 0x%04x\n' "$(basename "$f")" "$chars"
}
flags=(DYNAMIC_BASE=0x40 NX_COMPAT=0x100)
[ "$arch" = x86_64 ] && flags+=(HIGH_ENTROPY_VA=0x20)
has_flags "$exe" "${flags[@]}" TERMINAL_SERVER_AWARE=0x8000
has_flags "$res" "${flags[@]}"
reloc=$($objdump -h "$exe" | awk '$2 == ".reloc" {print $3}')
[ -n "$reloc" ] && (( 16#$reloc > 0 )) || bad "lviehlp.exe has no relocation section: ASLR cannot move it"
# The DLL has nothing to relocate: no entry point and no imports, so none of it ever runs.
$objdump -p "$res" | grep -qE '^AddressOfEntryPoint\s+0+$' || bad "lvieres.dll has an entry point"
exit $fail
