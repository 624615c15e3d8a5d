// Each DLL's optional functions are looked up on the first call that asks for them, then kept.
#include "dyncalls.h"

namespace lv {

namespace {

// GetProcAddress returns a generic function pointer; each slot is given its own type.
template <typename Sig>
void Find(HMODULE module, const char* name, Sig& slot) {
    slot = module ? reinterpret_cast<Sig>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

Kernel32Calls LookUpKernel32() {
    const HMODULE k = GetModuleHandleA("kernel32.dll");
    Kernel32Calls c;
    Find(k, "GetNativeSystemInfo", c.GetNativeSystemInfo);
    Find(k, "IsWow64Process", c.IsWow64Process);
    Find(k, "IdnToAscii", c.IdnToAscii);
    return c;
}

Advapi32Calls LookUpAdvapi32() {
    // Loaded, not just found; the reference is kept for the life of the process.
    const HMODULE a = LoadLibraryA("advapi32.dll");
    Advapi32Calls c;
    Find(a, "RegDeleteKeyExA", c.RegDeleteKeyExA);
    return c;
}

}  // namespace

const Kernel32Calls& DynKernel32() {
    static const Kernel32Calls calls = LookUpKernel32();
    return calls;
}

const Advapi32Calls& DynAdvapi32() {
    static const Advapi32Calls calls = LookUpAdvapi32();
    return calls;
}

}  // namespace lv
