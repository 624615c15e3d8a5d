// Process facts read from the system.
#include "win32.h"

#include <windows.h>

#include "dyncalls.h"

namespace lv {

namespace {
unsigned long __stdcall ReadOwnModuleName(void*, wchar_t* buffer, unsigned long size) {
    return GetModuleFileNameW(nullptr, buffer, size);
}
}  // namespace

bool OwnModulePath(ModulePath& path) { return OwnModulePathWith(ReadOwnModuleName, path); }

bool OwnModulePathWith(ModuleNameReader read, ModulePath& path) {
    // The system truncates silently when the buffer is short, so grow until the name fits
    // with room to spare; a name that never fits is not returned at all.
    // A path holds at most 32767 characters.
    for (DWORD size = MAX_PATH + 1; size / 2 <= 32768; size *= 2) {
        std::wstring buf(size, L'\0');
        SetLastError(ERROR_SUCCESS);
        DWORD n = read(nullptr, &buf[0], size);
        if (n == 0) return false;
        if (n < size - 1 && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            buf.resize(n);
            ModulePath got;
            got.exact = ToAnsiExact(buf, got.ansi);
            got.wide.swap(buf);
            path = std::move(got);
            return true;
        }
    }
    return false;
}

bool ToAnsiExact(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty()) return true;
    const int len = static_cast<int>(wide.size());
    // No flags: code pages such as UTF-8 take none. The round trip below catches every loss.
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), len, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide.data(), len, &text[0], size, nullptr, nullptr) != size) return false;
    std::wstring back(wide.size(), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), size, &back[0], len) != len || back != wide) return false;
    ansi.swap(text);
    return true;
}

bool HostNameToAscii(const std::wstring& name, std::string& ascii) {
    const Sig_IdnToAscii toAscii = DynKernel32().IdnToAscii;
    if (!toAscii || name.empty()) return false;
    const int len = static_cast<int>(name.size());
    const int size = toAscii(0, name.data(), len, nullptr, 0);
    if (size <= 0) return false;
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    if (toAscii(0, name.data(), len, &out[0], size) != size) return false;
    std::string text;
    for (wchar_t c : out) {
        if (c == L'\0' || c > 0x7F) return false;
        text.push_back(static_cast<char>(c));
    }
    ascii.swap(text);
    return true;
}

namespace {

std::string FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int len = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(codePage, 0, wide.data(), len, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string text(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(codePage, 0, wide.data(), len, &text[0], size, nullptr, nullptr);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int len = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, 0, text.data(), len, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, text.data(), len, &wide[0], size);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }
std::string Utf8FromWide(const std::wstring& wide) { return FromWide(CP_UTF8, wide); }
std::wstring WideFromAnsi(const std::string& ansi) { return ToWide(CP_ACP, ansi); }
std::string AnsiFromWide(const std::wstring& wide) { return FromWide(CP_ACP, wide); }

bool AnsiLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }

bool OnWindows64() {
    const Kernel32Calls& k = DynKernel32();
    // The machine's own processor, which GetSystemInfo would hide from a WOW64 process.
    if (k.GetNativeSystemInfo) {
        SYSTEM_INFO info = {};
        k.GetNativeSystemInfo(&info);
        switch (info.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_AMD64:
        case PROCESSOR_ARCHITECTURE_IA64:
        case PROCESSOR_ARCHITECTURE_ARM64:
            return true;
        default:
            break;
        }
    }
    // An emulated process may be told the emulated processor (x86 code on ARM64), and the oldest
    // systems have no GetNativeSystemInfo: a process under WOW64 is on 64-bit Windows all the same.
    BOOL wow64 = FALSE;
    return k.IsWow64Process && k.IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool RunsInJob() {
    BOOL inJob = FALSE;
    return IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) && inJob;
}

}  // namespace lv
