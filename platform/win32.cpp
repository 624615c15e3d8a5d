// Process facts read from the system.
#include "win32.h"

#include <windows.h>

namespace lv {

namespace {
unsigned long __stdcall ReadOwnModuleName(void*, char* buffer, unsigned long size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}
}  // namespace

bool OwnModulePath(std::string& path) { return OwnModulePathWith(ReadOwnModuleName, path); }

bool OwnModulePathWith(ModuleNameReader read, std::string& path) {
    // The system truncates silently when the buffer is short, so grow until the name fits
    // with room to spare; a name that never fits is not returned at all.
    // A path holds at most 32767 characters, 65534 bytes in a double-byte code page.
    for (DWORD size = MAX_PATH + 1; size / 2 <= 65536; size *= 2) {
        std::string buf(size, '\0');
        SetLastError(ERROR_SUCCESS);
        DWORD n = read(nullptr, &buf[0], size);
        if (n == 0) return false;
        if (n < size - 1 && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            buf.resize(n);
            path.swap(buf);
            return true;
        }
    }
    return false;
}

bool AnsiLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }

}  // namespace lv
