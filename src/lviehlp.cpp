// Entry point: "install", "uninstall", with no argument the query dialog, or the native messaging
// host start of a browser's extension.
#include "lviehlp.h"

#include <windows.h>

#include "cmdline.h"
#include "common.h"
#include "dyncalls.h"
#include "iebutton.h"
#include "iedialog.h"
#include "iemenu.h"
#include "nativehost.h"
#include "regprocs.h"
#include "win32.h"

namespace lv {

namespace {

// Both keys in every registry view the browser may read (ExtensionViews).
bool Install(const ModulePath& exePath) {
    bool ok = true;
    for (REGSAM view : ExtensionViews()) {
        bool menu = InstallMenuItem(exePath, view);
        bool button = InstallToolbarButton(exePath, view);  // runs whatever became of the menu item
        ok = ok && menu && button;
    }
    return ok;
}

bool Uninstall() {
    bool ok = true;
    for (REGSAM view : ExtensionViews()) {
        bool menu = UninstallMenuItem(view);
        bool button = UninstallToolbarButton(view);
        ok = ok && menu && button;
    }
    return ok;
}

}  // namespace

int Main() {
    // The raw command line, not the C runtime's argv: its quoting rules differ.
    const std::vector<std::string> args = CommandLineArgs(GetCommandLineA(), AnsiLeadByte);
    if (args.empty()) {
        RunQueryDialog();
        return kExitOk;
    }
    const std::string& action = args[0];
    if (SameTextAscii(action, "install")) {
        // A path that cannot be read whole is never registered truncated.
        ModulePath ownPath;
        if (!OwnModulePath(ownPath)) return kExitRegistryFailed;
        return Install(ownPath) ? kExitOk : kExitRegistryFailed;
    }
    if (SameTextAscii(action, "uninstall")) return Uninstall() ? kExitOk : kExitRegistryFailed;
    // A browser's extension: Chrome and Edge name the caller's origin, Firefox the host manifest.
    const HostStart host = RecogniseHostStart(args);
    if (host.isHost) return RunNativeHost(host);
    return kExitOk;
}

}  // namespace lv

// Before anything can load a DLL: "install" runs as SYSTEM from a folder an integrator chose.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    lv::NarrowDllSearch();
    return lv::Main();
}
