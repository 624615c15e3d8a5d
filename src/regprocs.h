// Registry access around one current key: open, read or write, close.
// A failed open makes the reads that follow return "" and the writes do nothing.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "win32.h"

namespace lv {

extern LONG RegStatus;  // result of the last open; 0 = success
extern HKEY RegKey;     // the key the last successful open gave

// view: 0 for the process's own registry view, or KEY_WOW64_32KEY / KEY_WOW64_64KEY for that view.
bool OpenKeyForWrite(HKEY root, const std::string& path, REGSAM view = 0);
bool OpenKeyForRead(HKEY root, const std::string& path, REGSAM view = 0);
void CloseKey();
std::string ReadStringValue(const std::string& name);
// Callers that only register may ignore the result; install uses it for its exit code.
bool WriteStringValue(const std::string& name, const std::string& text);
// A path, with ASCII tail appended: byte for byte through the ANSI call while the code page
// holds the path, through the wide call where only the wide path names the file.
bool WritePathValue(const std::string& name, const ModulePath& path, const std::string& tail = std::string());
LONG DeleteKey(HKEY root, const std::string& path, REGSAM view = 0);

// The views the browser's extension keys are written to: on 32-bit Windows the only one; on 64-bit
// Windows both, since the browser may run as a 32-bit or a 64-bit process and each reads its own.
std::vector<REGSAM> ExtensionViews();

}  // namespace lv
