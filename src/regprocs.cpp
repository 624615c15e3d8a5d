// The one current registry key of the registration code.
#include "regprocs.h"

#include "dyncalls.h"

namespace lv {

LONG RegStatus = ERROR_SUCCESS;
HKEY RegKey = nullptr;

bool OpenKeyForWrite(HKEY root, const std::string& path, REGSAM view) {
    RegStatus = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE | view,
                                nullptr, &RegKey, nullptr);
    return RegStatus == ERROR_SUCCESS;
}

bool OpenKeyForRead(HKEY root, const std::string& path, REGSAM view) {
    RegStatus = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &RegKey);
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

namespace {

// For text the ANSI code page cannot hold: stored through the wide call (name is ASCII).
bool WriteWideStringValue(const std::string& name, const std::wstring& text) {
    if (RegStatus != ERROR_SUCCESS) return false;
    const std::wstring wideName(name.begin(), name.end());
    return RegSetValueExW(RegKey, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool WritePathValue(const std::string& name, const ModulePath& path, const std::string& tail) {
    if (path.exact) return WriteStringValue(name, path.ansi + tail);
    return WriteWideStringValue(name, path.wide + std::wstring(tail.begin(), tail.end()));
}

LONG DeleteKey(HKEY root, const std::string& path, REGSAM view) {
    if (view == 0) return RegDeleteKeyA(root, path.c_str());
    // Only the Ex call deletes in another view; 32-bit XP lacks it.
    const Sig_RegDeleteKeyExA deleteEx = DynAdvapi32().RegDeleteKeyExA;
    if (!deleteEx) return ERROR_CALL_NOT_IMPLEMENTED;
    return deleteEx(root, path.c_str(), view, 0);
}

std::vector<REGSAM> ExtensionViews() {
    // Both views named: from a 32-bit process the first is its own, from a 64-bit one the other.
    if (OnWindows64()) return {KEY_WOW64_32KEY, KEY_WOW64_64KEY};
    return {0};
}

}  // namespace lv
