// Shared helpers of the Windows tests.
#include "testutil.h"

#include <shellapi.h>

#include <vector>

namespace lvtest {

std::string WinPath(const std::string& buildPath) {
    if (buildPath.empty() || buildPath[0] != '/') return buildPath;
    std::string p = "Z:" + buildPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

std::string DistFile(const char* name) { return WinPath(LV_DIST_DIR) + "\\" + name; }
std::string BinFile(const std::string& rel) { return WinPath(LV_BIN_DIR) + "\\" + rel; }

Process& Process::operator=(Process&& o) noexcept {
    if (this != &o) {
        End();
        pi = o.pi;
        o.pi = {};
    }
    return *this;
}

void Process::End() {
    if (!pi.hProcess) return;
    if (Running()) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pi = {};
}

bool Process::Running() const { return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }

int Process::Wait(DWORD timeoutMs) const {
    if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) return -2;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

bool Start(Process& p, const std::string& commandLine, const std::string& workDir) {
    p.End();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &si, &p.pi) != 0;
}

bool StartWide(Process& p, const std::wstring& commandLine) {
    p.End();
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring cmd = commandLine;
    return CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p.pi) != 0;
}

int RunProcessWide(const std::wstring& commandLine, DWORD timeoutMs) {
    Process p;
    if (!StartWide(p, commandLine)) return -1;
    return p.Wait(timeoutMs);
}

int RunProcess(const std::string& commandLine, const std::string& workDir, DWORD timeoutMs) {
    Process p;
    if (!Start(p, commandLine, workDir)) return -1;
    return p.Wait(timeoutMs);  // one still running is killed as p goes
}

std::string MakeTempDir(const std::string& tag) {
    std::string base = BinFile("testtmp");
    CreateDirectoryA(base.c_str(), nullptr);
    std::string dir = base + "\\" + tag;
    RemoveTree(dir);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void RemoveTree(const std::string& dir) {
    std::string from = dir;
    from.push_back('\0');  // SHFileOperation wants a double-terminated list
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool CopyTo(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring MakeCyrillicDir(const std::string& dir) {
    const std::wstring path = Widen(dir) + L"\\\u041F\u0440\u043E\u0433\u0430 \u0422\u0435\u0441\u0442";  // "Proga Test" in Cyrillic letters
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool ReadValue(HKEY root, const std::string& path, const std::string& name, std::string& data, DWORD& type) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG r = RegQueryValueExA(k, name.c_str(), nullptr, &type, nullptr, &size);
    if (r == ERROR_SUCCESS) {
        std::string buf(size, '\0');
        r = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buf[0]), &size);
        buf.resize(size);
        if (type == REG_SZ && !buf.empty() && buf.back() == '\0') buf.pop_back();
        data = buf;
    }
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}

int ValueCount(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return -1;
    DWORD values = 0;
    RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(k);
    return static_cast<int>(values);
}

std::wstring ReadWideValue(HKEY root, const std::string& path, const wchar_t* name) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return std::wstring();
    wchar_t buf[1024];
    DWORD size = sizeof buf, type = 0;
    std::wstring value;
    if (RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        value.assign(buf, size / sizeof(wchar_t));
        if (!value.empty() && value.back() == L'\0') value.pop_back();
    }
    RegCloseKey(k);
    return value;
}

void DeleteTree(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &k) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD len = sizeof name;
            if (RegEnumKeyExA(k, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteTree(k, name);
        }
        RegCloseKey(k);
    }
    RegDeleteKeyA(root, path.c_str());
}

void SetSz(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    HKEY k;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(k);
}

}  // namespace lvtest
