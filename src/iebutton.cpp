// Toolbar-button extension key.
#include "iebutton.h"

#include "browserver.h"
#include "common.h"
#include "regprocs.h"
#include "win32.h"

namespace lv {

namespace {

const char kToolbarButtonKey[] =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{B27E9F04-15C3-4D6A-A8E1-0C94D7F36A25}";

// Reads the installed browser's "Version": true for major version 6 and later.
bool IsModernBrowser() {
    if (!OpenKeyForRead(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer")) return false;
    bool modern = IsModernVersion(ReadStringValue("Version"));
    CloseKey();
    return modern;
}

}  // namespace

bool InstallToolbarButton(const std::string& exePath) {
    // Read before the key is opened for writing: both go through the one current key.
    const ButtonIcons icons = ButtonIconsFor(IsModernBrowser());
    if (!OpenKeyForWrite(HKEY_LOCAL_MACHINE, kToolbarButtonKey)) return false;
    const std::string dll = DirectoryPart(exePath, AnsiLeadByte) + "lvieres.dll";
    bool ok = true;
    ok &= WriteStringValue("CLSID", "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}");
    ok &= WriteStringValue("HotIcon", dll + "," + icons.hotIcon);
    ok &= WriteStringValue("Icon", dll + "," + icons.icon);
    ok &= WriteStringValue("ButtonText", "Lorvane");
    ok &= WriteStringValue("Default Visible", "Yes");
    ok &= WriteStringValue("Exec", exePath);
    CloseKey();
    return ok;
}

bool UninstallToolbarButton() {
    LONG r = DeleteKey(HKEY_LOCAL_MACHINE, kToolbarButtonKey);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

}  // namespace lv
