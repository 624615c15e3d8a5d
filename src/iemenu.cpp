// Tools-menu extension key.
#include "iemenu.h"

#include "regprocs.h"

namespace lv {

namespace {
const char kMenuItemKey[] =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{6A1D3C52-8E47-4B0F-9C2A-3F5E71B0D48C}";
}  // namespace

bool InstallMenuItem(const ModulePath& exePath, REGSAM view) {
    if (!OpenKeyForWrite(HKEY_LOCAL_MACHINE, kMenuItemKey, view)) return false;
    bool ok = true;
    // The browser's class for running an executable; "11d2" is written in lower case here.
    ok &= WriteStringValue("CLSID", "{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}");
    ok &= WriteStringValue("MenuText", "Lorvane");
    ok &= WriteStringValue("MenuStatusBar", "Performs a Lorvane query on the current URL");
    ok &= WritePathValue("Exec", exePath);
    CloseKey();
    return ok;
}

bool UninstallMenuItem(REGSAM view) {
    LONG r = DeleteKey(HKEY_LOCAL_MACHINE, kMenuItemKey, view);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

}  // namespace lv
