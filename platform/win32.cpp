// Process facts read from the system.
#include "win32.h"

#include <windows.h>

namespace lv {

bool OwnModulePath(std::string& path) {
    // GetModuleFileNameA truncates silently when the buffer is short, so grow until it fits.
    for (DWORD size = MAX_PATH + 1; size <= 65536; size *= 2) {
        std::string buf(size, '\0');
        SetLastError(ERROR_SUCCESS);
        DWORD n = GetModuleFileNameA(nullptr, &buf[0], size);
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
