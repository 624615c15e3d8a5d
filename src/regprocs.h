// Registry access around one current key: open, read or write, close.
// A failed open makes the reads that follow return "" and the writes do nothing.
#pragma once
#include <windows.h>

#include <string>

namespace lv {

extern LONG RegStatus;  // result of the last open; 0 = success
extern HKEY RegKey;     // the key the last successful open gave

bool OpenKeyForWrite(HKEY root, const std::string& path);
bool OpenKeyForRead(HKEY root, const std::string& path);
void CloseKey();
std::string ReadStringValue(const std::string& name);
// Callers that only register may ignore the result; install uses it for its exit code.
bool WriteStringValue(const std::string& name, const std::string& text);
LONG DeleteKey(HKEY root, const std::string& path);

}  // namespace lv
