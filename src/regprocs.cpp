// The one current registry key of the registration code.
#include "regprocs.h"

namespace lv {

LONG RegStatus = ERROR_SUCCESS;
HKEY RegKey = nullptr;

bool OpenKeyForWrite(HKEY root, const std::string& path) {
    RegStatus = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                nullptr, &RegKey, nullptr);
    return RegStatus == ERROR_SUCCESS;
}

bool OpenKeyForRead(HKEY root, const std::string& path) {
    RegStatus = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &RegKey);
    return RegStatus == ERROR_SUCCESS;
}

void CloseKey() {
    if (RegStatus == ERROR_SUCCESS) RegCloseKey(RegKey);
}

std::string ReadStringValue(const std::string& name) {
    if (RegStatus != ERROR_SUCCESS) return std::string();
    char buf[256];
    DWORD size = sizeof buf;
    if (RegQueryValueExA(RegKey, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) !=
        ERROR_SUCCESS)
        return std::string();
    // Stored data need not end in a terminator, and may be empty: drop only a real one.
    if (size > sizeof buf) size = sizeof buf;
    if (size > 0 && buf[size - 1] == '\0') --size;
    return std::string(buf, size);
}

bool WriteStringValue(const std::string& name, const std::string& text) {
    if (RegStatus != ERROR_SUCCESS) return false;
    return RegSetValueExA(RegKey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

LONG DeleteKey(HKEY root, const std::string& path) { return RegDeleteKeyA(root, path.c_str()); }

}  // namespace lv
