// Seeds the stack protector's guard before any protected code runs, from kernel32 only (the
// sources Visual C++'s own start-up mixes: time, ids, tick and performance counters, and an
// address that moves with ASLR). A detected overrun ends the process at once.
#include "stackguard.h"

#include <windows.h>

#include <cstdint>

// Never 0, in case a protected function runs before the constructor below.
void* __stack_chk_guard = reinterpret_cast<void*>(static_cast<uintptr_t>(0x2F7A3C5Du));

namespace {

// Not protected itself: the guard it changes would no longer match the value its own prologue saved.
// Priority 101, the first that user code may take: before every other static initialiser.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    LARGE_INTEGER pc;
    QueryPerformanceCounter(&pc);
    uint64_t v = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) ^ ft.dwLowDateTime;
    v ^= static_cast<uint64_t>(GetCurrentProcessId()) << 16;
    v ^= static_cast<uint64_t>(GetCurrentThreadId()) << 40;
    v ^= GetTickCount();
    v ^= static_cast<uint64_t>(pc.QuadPart) * 0x9E3779B97F4A7C15ull;
    v ^= reinterpret_cast<uintptr_t>(&pc) * 0xC2B2AE3D27D4EB4Full;
    uintptr_t guard = static_cast<uintptr_t>(v ^ (v >> 32));
    if (guard == 0) guard = 0x2F7A3C5Du;
    __stack_chk_guard = reinterpret_cast<void*>(guard);
}

// The status Windows itself reports for an overrun its own guard detects.
[[noreturn]] void Overrun() {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    __builtin_trap();
}

}  // namespace

extern "C" void __stack_chk_fail(void) { Overrun(); }
extern "C" void __chk_fail(void) { Overrun(); }
