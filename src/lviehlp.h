// Program entry: picks one of the three actions from the command line.
#pragma once
namespace lv {

// Exit codes: install and uninstall report a key they could not write or delete.
enum ExitCode : int { kExitOk = 0, kExitRegistryFailed = 1 };

int Main();

}  // namespace lv
