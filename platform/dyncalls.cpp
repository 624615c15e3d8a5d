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
    Find(k, "SetDefaultDllDirectories", c.SetDefaultDllDirectories);
    Find(k, "SetDllDirectoryA", c.SetDllDirectoryA);
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

DllSearch NarrowDllSearch() {
    const Kernel32Calls& k = DynKernel32();
    if (k.SetDefaultDllDirectories && k.SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return DllSearch::SystemOnly;
    if (k.SetDllDirectoryA && k.SetDllDirectoryA("")) return DllSearch::NoCurrentDir;
    return DllSearch::Unchanged;
}

const Advapi32Calls& DynAdvapi32() {
    static const Advapi32Calls calls = LookUpAdvapi32();
    return calls;
}

}  // namespace lv
