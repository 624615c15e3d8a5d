// Entry point: "install", "uninstall" or, with no argument, the query dialog.
#include "lviehlp.h"

#include <windows.h>

#include "cmdline.h"
#include "common.h"
#include "iebutton.h"
#include "iedialog.h"
#include "iemenu.h"
#include "win32.h"

namespace lv {

namespace {

bool Install(const std::string& exePath) {
    bool menu = InstallMenuItem(exePath);
    bool button = InstallToolbarButton(exePath);  // runs whatever became of the menu item
    return menu && button;
}

bool Uninstall() {
    bool menu = UninstallMenuItem();
    bool button = UninstallToolbarButton();
    return menu && button;
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
        std::string ownPath;
        if (!OwnModulePath(ownPath)) return kExitRegistryFailed;
        return Install(ownPath) ? kExitOk : kExitRegistryFailed;
    }
    if (SameTextAscii(action, "uninstall")) return Uninstall() ? kExitOk : kExitRegistryFailed;
    return kExitOk;
}

}  // namespace lv

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return lv::Main(); }
