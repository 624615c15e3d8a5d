// Toolbar-button extension key.
#include "iebutton.h"

#include "browserver.h"
#include "common.h"
#include "regprocs.h"

namespace lv {

namespace {

const char kToolbarButtonKey[] =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{B27E9F04-15C3-4D6A-A8E1-0C94D7F36A25}";

// Reads the "Version" of the browser that will run: true for major version 6 and later.
bool IsModernBrowser() {
    // Under WOW64 the browser frame is the 64-bit one: its view counts first, ours after it.
    const std::vector<REGSAM> views = ExtensionViews();
    for (auto view = views.rbegin(); view != views.rend(); ++view) {
        if (!OpenKeyForRead(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", *view)) continue;
        const std::string version = ReadStringValue("Version");
        CloseKey();
        if (!version.empty()) return IsModernVersion(version);
    }
    return false;
}

}  // namespace

bool InstallToolbarButton(const ModulePath& exePath, REGSAM view) {
    // Read before the key is opened for writing: both go through the one current key.
    const ButtonIcons icons = ButtonIconsFor(IsModernBrowser());
    if (!OpenKeyForWrite(HKEY_LOCAL_MACHINE, kToolbarButtonKey, view)) return false;
    ModulePath dir;  // the program's folder, where lvieres.dll lies
    dir.exact = exePath.exact;
    dir.ansi = DirectoryPart(exePath.ansi, AnsiLeadByte);
    dir.wide = DirectoryPart(exePath.wide);
    bool ok = true;
    ok &= WriteStringValue("CLSID", "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}");
    ok &= WritePathValue("HotIcon", dir, std::string("lvieres.dll,") + icons.hotIcon);
    ok &= WritePathValue("Icon", dir, std::string("lvieres.dll,") + icons.icon);
    ok &= WriteStringValue("ButtonText", "Lorvane");
    ok &= WriteStringValue("Default Visible", "Yes");
    ok &= WritePathValue("Exec", exePath);
    CloseKey();
    return ok;
}

bool UninstallToolbarButton(REGSAM view) {
    LONG r = DeleteKey(HKEY_LOCAL_MACHINE, kToolbarButtonKey, view);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

}  // namespace lv
