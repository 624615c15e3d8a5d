#!/usr/bin/env bash
# The shipped 32-bit files' Windows tests in the emulated machine (scripts/in-qemu.sh), where this
# machine's kernel runs no 32-bit code: the test programs of build/win against dist/, in one boot,
# in a 32-bit prefix and then in a 64-bit one (the 32-bit programs under WOW64, as on 64-bit
# Windows). The last line is the summary.
#   qemu-tests.sh            boot, run, summarise (scripts/test.sh calls it)
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
logs="$root/build/qemu-logs"
# The emulated machine runs the shipped file about 1.5 to 10 times slower: the whole suite would
# take over 30 minutes there. So, in both prefixes, the cases where 32-bit and 64-bit code can differ:
# registration (both registry views, exit codes), the first call into each delay-loaded DLL (registry,
# common controls, shell, COM, sockets: the dialog with its stand-in browser and typed text), the
# hand-over, the native messaging host's starts (Chrome's, Firefox's, bad messages), the package with
# its 32-bit custom actions, the DLL search; in the 32-bit prefix also the in-process tests of the
# 32-bit code and wow64_install (its own 64-bit prefix). Left out: the real browsers (not in the
# guest), the signed build (it compiles; no compilers in the guest), the file checks (run without
# Wine on this machine), the start-up limits' timing (launch_tests) and the layout per DPI.
both='InstallTest\.(WritesBothKeys|UninstallRemoves|NonAnsiFolder|FailedWrite)|ExtensionViews'
both+='|DialogTest\.(PrefillsTheHost|NoBrowserLeaves|ButtonsFollow|EscEnds)|HandOverTest\.(ButtonsShape|ClickHides|EnterHandsOver)'
both+='|NativeHostTest|^msi_tests$|DllSearch|^dll_search$'
# The icon pair by the browser's version read in the program's own view: under WOW64 the program
# reads the 64-bit browser's (wow64_install checks that).
win32_only='InstallTest\.BrowserVersionSelects|RegProcs|OwnPath|IsIPAddressTable|ProgramResources|VersionBlock|IconLibrary|^dbcs_tests$|^wow64_install$'
# The harness's waits (never the program's bounds), for a machine this much slower (tests/win/testutil.h).
export LV_TEST_SLOWNESS=3

if [ "${1:-}" = --in-guest ]; then
  echo "== the emulated machine booted in $(cut -d' ' -f1 /proc/uptime) s"
  source "$root/scripts/wine-env.sh"
  rc=0
  for arch in win32 win64; do
    start=$SECONDS
    lv_prefix tests "$arch"
    lv_wine_start || { echo "Wine does not start in the $arch prefix"; rc=1; continue; }
    echo "== in the emulated machine: prefix $arch ready in $((SECONDS - start)) s"
    select="$both"
    [ "$arch" = win32 ] && select+="|$win32_only"
    ctest --test-dir "$root/build/win" -R "$select" --output-on-failure -j1 2>&1 | tee "$logs/ctest-$arch.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || rc=1
    lv_wine_stop
  done
  exit $rc
fi

mkdir -p "$logs"
rm -f "$logs"/ctest-*.log
start=$SECONDS
# A kill of this script ends the machine too (in-qemu.sh ends qemu on the signal).
setpriv --pdeathsig TERM bash "$root/scripts/in-qemu.sh" bash "$root/scripts/qemu-tests.sh" --in-guest
rc=$?
took=$((SECONDS - start))
passed=0 total=0
for arch in win32 win64; do
  counts=$(sed -n 's/^.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\1 \2/p' "$logs/ctest-$arch.log" 2>/dev/null | tail -1)
  [ -n "$counts" ] || continue
  set -- $counts
  total=$((total + $2)); passed=$((passed + $2 - $1))
done
if [ $rc -eq 125 ]; then
  echo "shipped 32-bit dist/lviehlp.exe: NOT RUN: the emulated machine did not boot or run (see above)"
else
  echo "shipped 32-bit dist/lviehlp.exe: $passed of $total passed in an emulated machine (qemu, TCG), win32 and WOW64 prefixes, in $took s"
fi
exit $rc
