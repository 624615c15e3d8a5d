// Small facts the program asks of the system.
#pragma once
#include <string>

namespace lv {

// The full file name of the running executable, however long; false when it cannot be read whole.
bool OwnModulePath(std::string& path);

// The same with the system call injected, so that long and failing reads can be tested.
using ModuleNameReader = unsigned long(__stdcall*)(void* module, char* buffer, unsigned long size);
bool OwnModulePathWith(ModuleNameReader read, std::string& path);

// The system's lead-byte rule for the ANSI code page.
bool AnsiLeadByte(unsigned char b);

}  // namespace lv
