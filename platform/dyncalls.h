// System functions that not every supported Windows has, looked up at run time, each once, in
// this one place. The typed pointers are null where the system lacks the function; callers test
// them before every use. The same look-up runs on every build, 32-bit and 64-bit alike.
#pragma once
#include <windows.h>

namespace lv {

using Sig_GetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO info);
using Sig_IsWow64Process = BOOL(WINAPI*)(HANDLE process, PBOOL wow64);
using Sig_IdnToAscii = int(WINAPI*)(DWORD flags, LPCWSTR unicode, int unicodeLength, LPWSTR ascii, int asciiLength);
using Sig_RegDeleteKeyExA = LONG(WINAPI*)(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved);

// kernel32's, found in the kernel32 every process has.
struct Kernel32Calls {
    Sig_GetNativeSystemInfo GetNativeSystemInfo;  // XP on
    Sig_IsWow64Process IsWow64Process;            // XP SP2 on
    Sig_IdnToAscii IdnToAscii;                    // Vista on
};
const Kernel32Calls& DynKernel32();

// advapi32's. advapi32 is delay-loaded and may not be in the process yet: the first call loads it.
struct Advapi32Calls {
    Sig_RegDeleteKeyExA RegDeleteKeyExA;  // 64-bit XP, and Vista on
};
const Advapi32Calls& DynAdvapi32();

}  // namespace lv
