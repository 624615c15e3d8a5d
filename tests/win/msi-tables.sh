#!/usr/bin/env bash
# The package's tables as built, read with msiinfo (no Wine): the installation folder locked as it
# is created, registration run on repair as well as installation (from the locked folder), the
# program and the icon library versioned and the host manifests not, and the fixed times of a
# reproducible package.
#   msi-tables.sh PACKAGE VERSION
set -eu
msi="$1" version="$2"
fail=0
bad() { echo "FAILED: $*"; fail=1; }
table() { msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'; }
table MsiLockPermissionsEx | grep -qxF "$(printf 'LockInstallDir\tINSTALLDIR\tCreateFolder\tD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)\t')" ||
  bad "INSTALLDIR is not locked to SYSTEM, Administrators and read-only Users"
table CreateFolder | grep -qx "$(printf 'INSTALLDIR\tInstallDirRecord')" || bad "INSTALLDIR is not created by the package"
msiinfo suminfo "$msi" | grep -qx 'Version: 500 (1f4)' || bad "the package does not require Windows Installer 5 (the lock needs it)"
# After InstallFiles (4000) and an older version's removal, unless the product is being removed.
table InstallExecuteSequence | grep -qx "$(printf 'LvRegister\tNOT REMOVE\t6590')" || bad "registration is not run on installation and repair"
table Property | grep -qx "$(printf 'SecureCustomProperties\tLV_OLDER_VERSION;LV_NEWER_VERSION;ANNOUNCE_EXTENSION')" || bad "ANNOUNCE_EXTENSION is not secure"
for f in lviehlp.exe:$version lvieres.dll:$version lviehlp_chromium.json: lviehlp_firefox.json:; do
  table File | awk -F'\t' -v f="${f%%:*}" -v v="${f#*:}" '$1 == f && $5 == v {ok=1} END {exit !ok}' ||
    bad "${f%%:*} has no File.Version '${f#*:}'"
done
msiinfo suminfo "$msi" | grep -q '^Created: .* 00:00:00 ' || bad "the package's time is the clock's, not a fixed one"
[ $fail = 0 ] && echo "package tables: as expected"
exit $fail
