// After the start-up call, a DLL named without a path comes from the system folder, not from the
// program's own folder, where a planted copy lies. Under Wine a builtin DLL wins whatever the
// folder, so the name is one Wine has no builtin for; it is loaded as the program loads its DLLs
// (LoadLibraryA by name, which the delay-load helper calls too).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "dyncalls.h"
#include "testutil.h"

namespace {

int KindOf(HMODULE m) {
    using Kind = int (*)();
    auto kind = reinterpret_cast<Kind>(reinterpret_cast<void*>(GetProcAddress(m, "LvPlantKind")));
    return kind ? kind() : -1;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

TEST(DllSearch, PlantedBesideTheProgramIsNotLoadedAfterStartUp) {
    char self[MAX_PATH], system[MAX_PATH], loaded[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    const std::string beside = Folder(self) + "\\lvplant.dll", genuine = std::string(system) + "\\lvplant.dll";
    ASSERT_TRUE(lvtest::CopyTo(lvtest::BinFile("tests\\win\\plant\\beside\\lvplant.dll"), beside));
    ASSERT_TRUE(lvtest::CopyTo(lvtest::BinFile("tests\\win\\plant\\system\\lvplant.dll"), genuine));

    // The default order, as before the call: the program's folder first.
    HMODULE m = LoadLibraryA("lvplant.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(KindOf(m), 1) << "the planted copy";
    FreeLibrary(m);

    EXPECT_EQ(lv::NarrowDllSearch(), lv::DllSearch::SystemOnly);
    m = LoadLibraryA("lvplant.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(KindOf(m), 2) << "the system folder's copy";
    GetModuleFileNameA(m, loaded, MAX_PATH);
    EXPECT_EQ(Folder(loaded), system);
    FreeLibrary(m);
    DeleteFileA(beside.c_str());
    DeleteFileA(genuine.c_str());
}

}  // namespace
