// System functions that not every supported Windows has, looked up at run time, each once, in
// this one place. The typed pointers are null where the system lacks the function; callers test
// them before every use. The same look-up runs on every build, 32-bit and 64-bit alike.
#pragma once
#include <windows.h>

namespace lv {

using Sig_GetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO info);
using Sig_IsWow64Process = BOOL(WINAPI*)(HANDLE process, PBOOL wow64);
using Sig_IdnToAscii = int(WINAPI*)(DWORD flags, LPCWSTR unicode, int unicodeLength, LPWSTR ascii, int asciiLength);
using Sig_SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD directoryFlags);
using Sig_SetDllDirectoryA = BOOL(WINAPI*)(LPCSTR path);
using Sig_RegDeleteKeyExA = LONG(WINAPI*)(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved);

// kernel32's, found in the kernel32 every process has.
struct Kernel32Calls {
    Sig_GetNativeSystemInfo GetNativeSystemInfo;  // XP on
    Sig_IsWow64Process IsWow64Process;            // XP SP2 on
    Sig_IdnToAscii IdnToAscii;                    // Vista on
    Sig_SetDefaultDllDirectories SetDefaultDllDirectories;  // 8 on, 7 and Vista with KB2533623
    Sig_SetDllDirectoryA SetDllDirectoryA;        // XP SP1 on
};
const Kernel32Calls& DynKernel32();

// How DLLs are found from now on, delay-loaded ones included: only in the system folder where the
// system can say so, otherwise at least not in the current folder. The program calls this first
// thing. Its imports at start are resolved before, with its own folder searched first, so each of
// them must be a KnownDLL (tests/win/check-dist.sh). The result says which of the two took effect.
enum class DllSearch { SystemOnly, NoCurrentDir, Unchanged };
DllSearch NarrowDllSearch();

// advapi32's. advapi32 is delay-loaded and may not be in the process yet: the first call loads it.
struct Advapi32Calls {
    Sig_RegDeleteKeyExA RegDeleteKeyExA;  // 64-bit XP, and Vista on
};
const Advapi32Calls& DynAdvapi32();

}  // namespace lv
