// Shared helpers of the Windows tests.
#include "testutil.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

DWORD Patient(DWORD timeoutMs) {
    static const DWORD factor = [] {
        char text[16] = "";
        const DWORD n = GetEnvironmentVariableA("LV_TEST_SLOWNESS", text, sizeof text);
        const unsigned long f = n > 0 && n < sizeof text ? std::strtoul(text, nullptr, 10) : 1;
        return static_cast<DWORD>(f >= 1 && f <= 20 ? f : 1);
    }();
    return timeoutMs == INFINITE ? INFINITE : timeoutMs * factor;
}

int Process::Wait(DWORD timeoutMs) const {
    if (WaitForSingleObject(pi.hProcess, Patient(timeoutMs)) != WAIT_OBJECT_0) return -2;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

bool Start(Process& p, const std::string& commandLine, const std::string& workDir) {
    return StartWide(p, Widen(commandLine), Widen(workDir));
}

bool StartWide(Process& p, const std::wstring& commandLine, const std::wstring& workDir) {
    p.End();
    // A failed start is reported with its error and tried once more after a pause: two suite runs
    // under Wine 8 each lost one start within milliseconds, with the program in place.
    for (int attempt = 1;; ++attempt) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring cmd = commandLine;
        if (CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                           workDir.empty() ? nullptr : workDir.c_str(), &si, &p.pi))
            return true;
        std::printf("could not start %ls: error %lu\n", commandLine.c_str(), GetLastError());
        if (attempt == 2) return false;
        Sleep(500);
    }
}

int RunProcessWide(const std::wstring& commandLine, DWORD timeoutMs, const std::wstring& workDir) {
    Process p;
    if (!StartWide(p, commandLine, workDir)) return -1;
    return p.Wait(timeoutMs);  // one still running is killed as p goes
}

int RunProcess(const std::string& commandLine, const std::string& workDir, DWORD timeoutMs) {
    return RunProcessWide(Widen(commandLine), timeoutMs, Widen(workDir));
}

std::string MakeTempDir(const std::string& tag) {
    std::string base = BinFile("testtmp");
    CreateDirectoryA(base.c_str(), nullptr);
    std::string dir = base + "\\" + tag;
    for (std::size_t i = base.size() + 1; i < dir.size(); ++i)
        if (std::strchr("\\/:*?\"<>|", dir[i])) dir[i] = '_';
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

std::wstring Widen(const std::string& ansi) { return ToWide(ansi, CP_ACP); }

std::wstring MakeCyrillicDir(const std::string& dir) {
    const std::wstring path = Widen(dir) + L"\\\u041F\u0440\u043E\u0433\u0430 \u0422\u0435\u0441\u0442";  // "Proga Test" in Cyrillic letters
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool ReadValue(HKEY root, const std::string& path, const std::string& name, std::string& data, DWORD& type,
               REGSAM view) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return false;
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

bool SetValue(HKEY root, const std::string& path, const wchar_t* name, DWORD type, const void* data, DWORD size,
              REGSAM view) {
    HKEY k;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

void SetWideSz(HKEY root, const std::string& path, const wchar_t* name, const std::wstring& data, REGSAM view) {
    SetValue(root, path, name, REG_SZ, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)), view);
}

void SetSz(HKEY root, const std::string& path, const std::string& name, const std::string& data, REGSAM view) {
    SetWideSz(root, path, Widen(name).c_str(), Widen(data), view);
}

void DeleteValue(HKEY root, const std::string& path, const char* name, REGSAM view) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE | view, &k) != ERROR_SUCCESS) return;
    RegDeleteValueA(k, name);
    RegCloseKey(k);
}

std::vector<unsigned> PaintedPixels(int w, int h, const std::function<void(HDC)>& paint) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<unsigned> px;
    if (bmp) {
        HGDIOBJ old = SelectObject(dc, bmp);
        paint(dc);
        GdiFlush();
        px.assign(static_cast<const unsigned*>(bits), static_cast<const unsigned*>(bits) + w * h);
        for (unsigned& p : px) p &= 0xFFFFFF;
        SelectObject(dc, old);
        DeleteObject(bmp);
    }
    DeleteDC(dc);
    return px;
}

std::vector<unsigned> ScreenPixels(const RECT& r) {
    return PaintedPixels(r.right - r.left, r.bottom - r.top, [&](HDC dc) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

}  // namespace lvtest
