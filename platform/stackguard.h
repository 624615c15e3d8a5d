// The stack protector's guard and failure handler, which -fstack-protector-strong code calls.
// Defined here instead of taken from libssp: its guard is seeded with advapi32's CryptGenRandom
// at start, which would import advapi32 at start and undo its delay-loading.
#pragma once

extern "C" {
extern void* __stack_chk_guard;
[[noreturn]] void __stack_chk_fail(void);
[[noreturn]] void __chk_fail(void);  // a fortified string or memory call that would overrun
}
