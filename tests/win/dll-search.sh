#!/usr/bin/env bash
# The shipped program narrows its DLL search first thing: Wine's relay trace of "lviehlp.exe install"
# shows the program's own SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) succeed before the
# program loads any DLL, and every DLL loaded after it (advapi32, delay-loaded) searched for in the
# system folder only, not in the program's folder. Runs in the tests prefix, whose server is up;
# only the program's own process counts (explorer.exe, at the same image base, may start meanwhile).
#   dll-search.sh DIST_DIR
set -u
dist="$(cd "$1" && pwd)"
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-env.sh"
lv_wine_boot || exit 1
debug='HKCU\Software\Wine\Debug'
# Only the loading calls, or the trace runs to hundreds of thousands of lines.
wine reg add "$debug" /v RelayInclude /f \
  /d 'SetDefaultDllDirectories;SetDllDirectoryA;LoadLibraryA;LoadLibraryW;LoadLibraryExA;LoadLibraryExW;LdrLoadDll' </dev/null >/dev/null 2>&1
trap 'wine reg delete "$debug" /v RelayInclude /f </dev/null >/dev/null 2>&1' EXIT
log=$(mktemp)
exe=$(lv_winpath "$dist/lviehlp.exe")
WINEDEBUG=+pid,+relay,+loaddll wine "$exe" install </dev/null >/dev/null 2>"$log"
rc=$?
WINEDEBUG=-all wine "$exe" uninstall </dev/null >/dev/null 2>&1
[ $rc = 0 ] || { echo "FAIL install exited $rc"; exit 1; }
size=$(objdump -p "$dist/lviehlp.exe" | sed -n 's/^SizeOfImage[[:space:]]*//p')
python3 - "$log" "$size" <<'EOF'
import re, sys
lines = open(sys.argv[1], errors="replace").read().splitlines()
size = int(sys.argv[2], 16)
pid, base = next((m.group(1), int(m.group(2), 16)) for l in lines
                 if (m := re.match(r'([0-9a-f]+):[0-9a-f]+:.*Loaded L".*lviehlp\.exe" at ([0-9A-Fa-f]+)', l)))
lines = [l for l in lines if l.startswith(pid + ':')]
def mine(l):  # a call the program's own code made
    m = re.search(r'ret=([0-9a-fA-F]+)$', l)
    return m and base <= int(m.group(1), 16) < base + size
narrowed = None
for i, l in enumerate(lines):
    if re.search(r'Call \w+\.LoadLibrary', l) and mine(l) and narrowed is None:
        sys.exit(f"FAIL the program loads a DLL before narrowing its search: {l}")
    if re.search(r'Call \w+\.SetDefaultDllDirectories\(00000800\)', l) and mine(l):
        ret = next(r for r in lines[i + 1:] if 'Ret  ' in r and 'SetDefaultDllDirectories' in r)
        if not ret.split('retval=')[1].startswith('00000001'):
            sys.exit(f"FAIL SetDefaultDllDirectories failed: {ret}")
        narrowed = i
if narrowed is None:
    sys.exit("FAIL the program never called SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)")
loads = [l for l in lines[narrowed:] if 'Call ntdll.LdrLoadDll(' in l]
if not loads:
    sys.exit("FAIL no DLL loaded after the narrowing: nothing shows where the search went")
for l in loads:
    path = re.search(r'L"([^"]*)"', l).group(1)
    if path.rstrip('\\').lower() != r'c:\\windows\\system32':
        sys.exit(f"FAIL a DLL searched for outside the system folder: {path}")
print(f"narrowed first thing; {len(loads)} later load(s) searched the system folder only")
EOF
rc=$?
rm -f "$log"
exit $rc
