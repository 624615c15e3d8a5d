// The Windows Installer package under the platform's own msiexec: silent install (with the browsers'
// native messaging host manifests and keys), the same package again, removal, a folder of the
// integrator's choice, the next versions over this one with their offer of the extension, the offer
// turned off, and a failed registration rolled back.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "../cases/expected.h"
#include "testutil.h"

using lvtest::KeyExists;
using lvtest::ReadValue;

namespace {

const char* const kExtensions = expected::kExtensionsKey;
const char* const kMenuKey = expected::kMenuItemKey;
const char* const kButtonKey = expected::kToolbarButtonKey;
const char* const kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Runs msiexec silently with a verbose log kept below the build directory; returns its exit code.
int Msiexec(const std::string& args, const std::string& log) {
    const std::string logDir = lvtest::BinFile("package");
    CreateDirectoryA(logDir.c_str(), nullptr);
    return lvtest::RunProcess("msiexec " + args + " /qn /l*v " + Quoted(logDir + "\\" + log + ".log"), "", 300000);
}
std::string Package() { return lvtest::DistFile(LV_MSI_NAME); }
std::string NextPackage() { return lvtest::WinPath(LV_NEXT_MSI); }
std::string AfterNextPackage() { return lvtest::WinPath(LV_AFTER_NEXT_MSI); }

// Where a 32-bit package lands by default: the 32-bit program folder.
std::string DefaultDir() {
    const std::string x86 = lvtest::Env("ProgramFiles(x86)");
    return (x86.empty() ? lvtest::Env("ProgramFiles") : x86) + "\\Lorvane\\";
}

bool FileThere(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Value(const char* key, const char* name) {
    std::string data;
    DWORD type = 0;
    return ReadValue(HKEY_LOCAL_MACHINE, key, name, data, type) ? data : "<none>";
}

int SubkeyCount(const char* path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &k) != ERROR_SUCCESS) return 0;
    DWORD subkeys = 0;
    RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(k);
    return static_cast<int>(subkeys);
}

// A 32-bit package is listed in the 32-bit view of the registry: named, so that a 64-bit test
// program reads it too. 32-bit Windows has only the one view and ignores the flag.
const REGSAM kPackageView = KEY_WOW64_32KEY;

// The offers of the extension: every id under Chrome's and Edge's key as "browser|id|update_url", in
// the 32-bit view that the browsers read and, on 64-bit Windows, the 64-bit view's marked as such.
const char* const kChromeOffers = "Software\\Google\\Chrome\\Extensions";
const char* const kForeignOffer = "Software\\Google\\Chrome\\Extensions\\aaaabbbbccccddddeeeeffffgggghhhh";
std::vector<std::string> Offers() {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::vector<std::string> out;
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        if (view == KEY_WOW64_64KEY && !wow64 && sizeof(void*) == 4) break;
        for (const std::string browser : {"Chrome", "Edge"}) {
            const std::string parent = browser == "Edge" ? "Software\\Microsoft\\Edge\\Extensions" : kChromeOffers;
            HKEY k;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) continue;
            char id[256];
            for (DWORD i = 0, len = sizeof id; RegEnumKeyExA(k, i, id, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
                 ++i, len = sizeof id) {
                std::string url;
                DWORD type = 0;
                ReadValue(HKEY_LOCAL_MACHINE, parent + "\\" + id, "update_url", url, type, view);
                out.push_back((view == KEY_WOW64_64KEY ? "64-bit view: " : "") + browser + "|" + id + "|" + url);
            }
            RegCloseKey(k);
        }
    }
    return out;
}
const std::vector<std::string> kStoreOffers = {
    "Chrome|abcdefghijklmnopabcdefghijklmnop|https://clients2.google.com/service/update2/crx",
    "Edge|ponmlkjihgfedcbaponmlkjihgfedcba|https://edge.microsoft.com/extensionwebstorebase/v1/crx"};

// update_url read through a key opened earlier: "<key deleted>" when the key has been deleted since,
// even if a key of that name has been made again.
std::string ThroughOpenKey(HKEY k) {
    char url[256];
    DWORD size = sizeof url;
    const LONG r = RegQueryValueExA(k, "update_url", nullptr, nullptr, reinterpret_cast<BYTE*>(url), &size);
    return r == ERROR_KEY_DELETED ? "<key deleted>" : r != ERROR_SUCCESS ? "<error " + std::to_string(r) + ">" : url;
}

// The native messaging host keys of Chrome, Edge and Firefox: each one's default value, "<none>"
// for a missing key.
std::vector<std::string> HostKeys() {
    std::vector<std::string> out;
    for (const char* key : {"Software\\Google\\Chrome\\NativeMessagingHosts\\com.lorvane.lviehlp",
                            "Software\\Microsoft\\Edge\\NativeMessagingHosts\\com.lorvane.lviehlp",
                            "Software\\Mozilla\\NativeMessagingHosts\\com.lorvane.lviehlp"}) {
        std::string data;
        DWORD type = 0;
        if (!KeyExists(HKEY_LOCAL_MACHINE, key, kPackageView)) out.push_back("<none>");
        else out.push_back(ReadValue(HKEY_LOCAL_MACHINE, key, "", data, type, kPackageView) ? data : "<no value>");
    }
    return out;
}

// An installed host manifest as "name|path|type|allowed ids" (ids under allowedKey), or why not.
std::string Manifest(const std::string& path, const char* allowedKey) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<no file>";
    const auto json = nlohmann::json::parse(std::istreambuf_iterator<char>(in), {}, nullptr, false);
    if (!json.is_object()) return "<not a JSON object>";
    std::string out = json.value("name", "-") + "|" + json.value("path", "-") + "|" + json.value("type", "-");
    for (const auto& id : json.value(allowedKey, nlohmann::json::array())) out += "|" + id.get<std::string>();
    return out;
}

// The uninstall entries named after the package, as "name|publisher|version|no repair|no modify".
std::vector<std::string> UninstallEntries() {
    std::vector<std::string> out;
    HKEY root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall, 0, KEY_READ | kPackageView, &root) != ERROR_SUCCESS)
        return out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD len = sizeof name;
        if (RegEnumKeyExA(root, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY k;
        if (RegOpenKeyExA(root, name, 0, KEY_READ | kPackageView, &k) != ERROR_SUCCESS) continue;
        auto text = [&](const char* v) {
            char buf[512];
            DWORD size = sizeof buf, type = 0;
            if (RegQueryValueExA(k, v, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
                return std::string("-");
            if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(buf));
            return std::string(buf, size && buf[size - 1] == '\0' ? size - 1 : size);
        };
        if (text("DisplayName") == "Lorvane/MSIE Integration")
            out.push_back(text("DisplayName") + "|" + text("Publisher") + "|" + text("DisplayVersion") + "|" +
                          text("NoRepair") + "|" + text("NoModify"));
        RegCloseKey(k);
    }
    RegCloseKey(root);
    return out;
}

bool NoKeys() { return !KeyExists(HKEY_LOCAL_MACHINE, kMenuKey) && !KeyExists(HKEY_LOCAL_MACHINE, kButtonKey); }

class PackageTest : public ::testing::Test {
protected:
    // Nothing of an earlier run left: the package removed, the keys and the default folder gone.
    void SetUp() override {
        Msiexec("/x " + Quoted(Package()), "setup-removal");
        Msiexec("/x " + Quoted(NextPackage()), "setup-removal-next");
        Msiexec("/x " + Quoted(AfterNextPackage()), "setup-removal-after-next");
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kForeignOffer, kPackageView, 0);
        lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kMenuKey);
        lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kButtonKey);
        ASSERT_TRUE(UninstallEntries().empty());
        ASSERT_FALSE(FileThere(DefaultDir() + "lviehlp.exe"));
    }
};

TEST_F(PackageTest, SilentInstallAgainAndRemoval) {
    const int others = SubkeyCount(kExtensions);
    const std::string dir = DefaultDir();
    ASSERT_EQ(Msiexec("/i " + Quoted(Package()), "install"), 0);
    EXPECT_TRUE(FileThere(dir + "lviehlp.exe"));
    EXPECT_TRUE(FileThere(dir + "lvieres.dll"));
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(Value(kButtonKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(Value(kButtonKey, "Icon").rfind(dir + "lvieres.dll,", 0), 0u) << Value(kButtonKey, "Icon");
    EXPECT_EQ(UninstallEntries(), std::vector<std::string>{"Lorvane/MSIE Integration|lviehlp project|" LV_VERSION "|1|1"});
    EXPECT_EQ(HostKeys(), (std::vector<std::string>{dir + "lviehlp-chromium.json", dir + "lviehlp-chromium.json",
                                                    dir + "lviehlp-firefox.json"}));
    EXPECT_EQ(Offers(), std::vector<std::string>{}) << "no store ids, no offer";
    EXPECT_EQ(Manifest(dir + "lviehlp-chromium.json", "allowed_origins"),
              "com.lorvane.lviehlp|lviehlp.exe|stdio|chrome-extension://hphpifhccdajjhnlkcodaieopjgdeafg/");
    EXPECT_EQ(Manifest(dir + "lviehlp-firefox.json", "allowed_extensions"),
              "com.lorvane.lviehlp|lviehlp.exe|stdio|lviehlp@lorvane.com");

    EXPECT_EQ(Msiexec("/i " + Quoted(Package()), "install-again"), 0);
    EXPECT_EQ(SubkeyCount(kExtensions), others + 2) << "one set of keys";
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(UninstallEntries().size(), 1u);

    EXPECT_EQ(Msiexec("/x " + Quoted(Package()), "uninstall"), 0);
    EXPECT_TRUE(NoKeys());
    EXPECT_FALSE(FileThere(dir + "lviehlp.exe"));
    EXPECT_FALSE(FileThere(dir + "lvieres.dll"));
    EXPECT_FALSE(FileThere(dir + "lviehlp-chromium.json"));
    EXPECT_FALSE(FileThere(dir + "lviehlp-firefox.json"));
    EXPECT_EQ(HostKeys(), (std::vector<std::string>{"<none>", "<none>", "<none>"}));
    EXPECT_TRUE(UninstallEntries().empty());
}

TEST_F(PackageTest, InstallDirChoosesTheFolder) {
    const std::string dir = "C:\\Lorvane Test\\";
    ASSERT_EQ(Msiexec("/i " + Quoted(Package()) + " INSTALLDIR=" + Quoted(dir), "installdir"), 0);
    EXPECT_TRUE(FileThere(dir + "lvieres.dll"));
    EXPECT_FALSE(FileThere(DefaultDir() + "lviehlp.exe"));
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(Value(kButtonKey, "HotIcon").rfind(dir + "lvieres.dll,", 0), 0u) << Value(kButtonKey, "HotIcon");
    // The next version goes into the same folder.
    ASSERT_EQ(Msiexec("/i " + Quoted(NextPackage()), "installdir-upgrade"), 0);
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_FALSE(FileThere(DefaultDir() + "lviehlp.exe"));
    EXPECT_EQ(Msiexec("/x " + Quoted(NextPackage()), "installdir-uninstall"), 0);
    EXPECT_TRUE(NoKeys());
    EXPECT_FALSE(FileThere(dir + "lviehlp.exe"));
}

// The next version's package replaces this one, and the one after it the next. They are built from
// an ids file that names the Chrome Web Store's and Edge Add-ons' ids (msi.cmake): their manifests,
// as built and as installed, allow them too, and they offer the extension under them. The offer
// keys stay through the second upgrade, and removal takes them and nothing of another program's.
TEST_F(PackageTest, NextVersionReplacesThisOne) {
    const std::string dir = DefaultDir();
    lvtest::SetSz(HKEY_LOCAL_MACHINE, kForeignOffer, "update_url", "https://clients2.google.com/service/update2/crx",
                  kPackageView);
    const std::string foreign = "Chrome|aaaabbbbccccddddeeeeffffgggghhhh|https://clients2.google.com/service/update2/crx";
    ASSERT_EQ(Msiexec("/i " + Quoted(Package()), "upgrade-from"), 0);
    ASSERT_EQ(Msiexec("/i " + Quoted(NextPackage()), "upgrade-to"), 0);
    EXPECT_EQ(UninstallEntries(),
              std::vector<std::string>{"Lorvane/MSIE Integration|lviehlp project|" LV_NEXT_VERSION "|1|1"});
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(Value(kButtonKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_TRUE(FileThere(dir + "lvieres.dll"));
    const std::string storeIds = "com.lorvane.lviehlp|lviehlp.exe|stdio|chrome-extension://hphpifhccdajjhnlkcodaieopjgdeafg/"
                                 "|chrome-extension://abcdefghijklmnopabcdefghijklmnop/"
                                 "|chrome-extension://ponmlkjihgfedcbaponmlkjihgfedcba/";
    EXPECT_EQ(Manifest(lvtest::BinFile("package\\store-ids\\lviehlp-chromium.json"), "allowed_origins"), storeIds);
    EXPECT_EQ(Manifest(dir + "lviehlp-chromium.json", "allowed_origins"), storeIds);
    EXPECT_EQ(Manifest(dir + "lviehlp-firefox.json", "allowed_extensions"),
              "com.lorvane.lviehlp|lviehlp.exe|stdio|lviehlp@lorvane.com");
    EXPECT_EQ(Offers(), (std::vector<std::string>{foreign, kStoreOffers[0], kStoreOffers[1]}));

    HKEY chrome = nullptr, edge = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kChromeOffers) + "\\abcdefghijklmnopabcdefghijklmnop").c_str(), 0,
                  KEY_READ | kPackageView, &chrome);
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Edge\\Extensions\\ponmlkjihgfedcbaponmlkjihgfedcba", 0,
                  KEY_READ | kPackageView, &edge);
    ASSERT_EQ(Msiexec("/i " + Quoted(AfterNextPackage()), "upgrade-again"), 0);
    EXPECT_EQ(ThroughOpenKey(chrome), "https://clients2.google.com/service/update2/crx");
    EXPECT_EQ(ThroughOpenKey(edge), "https://edge.microsoft.com/extensionwebstorebase/v1/crx");
    RegCloseKey(chrome);
    RegCloseKey(edge);
    EXPECT_EQ(UninstallEntries(),
              std::vector<std::string>{"Lorvane/MSIE Integration|lviehlp project|" LV_AFTER_NEXT_VERSION "|1|1"});
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(Offers(), (std::vector<std::string>{foreign, kStoreOffers[0], kStoreOffers[1]}));

    EXPECT_EQ(Msiexec("/x " + Quoted(AfterNextPackage()), "upgrade-removal"), 0);
    EXPECT_TRUE(NoKeys());
    EXPECT_FALSE(FileThere(dir + "lviehlp.exe"));
    EXPECT_TRUE(UninstallEntries().empty());
    EXPECT_EQ(Offers(), std::vector<std::string>{foreign});
}

// ANNOUNCE_EXTENSION=0 at installation: no offer, and none added later by a repair, by the same
// package run again (whatever its command line says) or by the next version.
TEST_F(PackageTest, OfferTurnedOffStaysOff) {
    ASSERT_EQ(Msiexec("/i " + Quoted(NextPackage()) + " ANNOUNCE_EXTENSION=0", "no-offer"), 0);
    EXPECT_EQ(Value(kMenuKey, "Exec"), DefaultDir() + "lviehlp.exe");
    EXPECT_EQ(Offers(), std::vector<std::string>{});
    // What "msiexec /fomus" asks for (Wine's msiexec does not repair by itself).
    EXPECT_EQ(Msiexec("/i " + Quoted(NextPackage()) + " REINSTALL=ALL REINSTALLMODE=omus", "no-offer-repair"), 0);
    EXPECT_EQ(Offers(), std::vector<std::string>{}) << "after a repair";
    EXPECT_EQ(Msiexec("/i " + Quoted(NextPackage()) + " ANNOUNCE_EXTENSION=1", "no-offer-again"), 0);
    EXPECT_EQ(Offers(), std::vector<std::string>{}) << "after the same package again";
    ASSERT_EQ(Msiexec("/i " + Quoted(AfterNextPackage()), "no-offer-upgrade"), 0);
    EXPECT_EQ(Offers(), std::vector<std::string>{}) << "after the next version";
    EXPECT_EQ(Msiexec("/x " + Quoted(AfterNextPackage()), "no-offer-removal"), 0);
    EXPECT_TRUE(UninstallEntries().empty());
}

// A key cannot be created under a volatile one: "install" fails, and so does the installation.
TEST_F(PackageTest, FailedRegistrationRollsEverythingBack) {
    lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kExtensions);
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kExtensions, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                              &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    const int code = Msiexec("/i " + Quoted(NextPackage()), "install-failing");
    lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kExtensions);
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kExtensions, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) == ERROR_SUCCESS)
        RegCloseKey(k);
    EXPECT_TRUE(code == 1603 || code == 1627) << code << ": Windows reports 1603, Wine 1627";
    EXPECT_TRUE(NoKeys());
    EXPECT_FALSE(FileThere(DefaultDir() + "lviehlp.exe"));
    EXPECT_FALSE(FileThere(DefaultDir() + "lvieres.dll"));
    EXPECT_FALSE(FileThere(DefaultDir() + "lviehlp-firefox.json"));
    EXPECT_EQ(HostKeys(), (std::vector<std::string>{"<none>", "<none>", "<none>"})) << "written before the failure";
    EXPECT_EQ(Offers(), std::vector<std::string>{}) << "written before the failure";
    EXPECT_TRUE(UninstallEntries().empty());
}

}  // namespace
