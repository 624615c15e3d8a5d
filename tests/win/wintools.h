// Plain Win32 helpers for the stand-ins, the dialog and demo drivers and the tests: nothing to link.
#pragma once
#include <windows.h>

#include <string>

namespace lvtest {

// A window's text (up to 4095 bytes) by WM_GETTEXT, so also an edit's own text in another
// process; empty for a window that does not answer within five seconds.
inline std::string Text(HWND w) {
    char buf[4096] = "";
    DWORD_PTR n = 0;
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &n);
    return std::string(buf, n < sizeof buf ? n : 0);
}

// The text the system keeps for a window of another process, read with no message to it
// (GetWindowText): right even while that process does not answer messages, as a program that has
// just waited a long while without pumping them may be taken for hung.
inline std::string StoredText(HWND w) {
    char buf[512];
    const int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

// An environment variable of this process, whole; empty when it is not set.
inline std::string Env(const char* name) {
    std::string value(GetEnvironmentVariableA(name, nullptr, 0), '\0');  // the size with the terminator
    value.resize(value.empty() ? 0 : GetEnvironmentVariableA(name, &value[0], static_cast<DWORD>(value.size())));
    return value;
}

// A window class of this program: arrow cursor, background of a system colour.
inline bool RegisterWindowClass(const char* name, WNDPROC proc, int colour, UINT style = 0) {
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

// The thread's message loop, until WM_QUIT.
inline void RunMessageLoop() {
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Dispatches what is waiting for this thread's windows, without waiting for more.
inline void PumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Text between byte strings of a code page (CP_UTF8, CP_ACP) and UTF-16.
inline std::wstring ToWide(const std::string& s, UINT codePage) {
    std::wstring w(s.size(), L'\0');  // never more UTF-16 units than bytes
    w.resize(static_cast<std::size_t>(
        MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), &w[0], static_cast<int>(w.size()))));
    return w;
}
inline std::string ToUtf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// A REG_SZ read through the wide call, whole at any length, terminator dropped; empty when the key
// or the value is missing or of another type.
inline std::wstring ReadWideValue(HKEY root, const char* path, const wchar_t* name) {
    HKEY k;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &k) != ERROR_SUCCESS) return std::wstring();
    DWORD size = 0, type = 0;
    std::wstring value;
    if (RegQueryValueExW(k, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        value.resize(size / sizeof(wchar_t) + 1);
        if (RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size) == ERROR_SUCCESS)
            value.resize(wcsnlen(value.c_str(), size / sizeof(wchar_t)));
        else
            value.clear();
    }
    RegCloseKey(k);
    return value;
}

}  // namespace lvtest
