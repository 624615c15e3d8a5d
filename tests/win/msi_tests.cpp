// The Windows Installer package under the platform's own msiexec: silent install (with the browsers'
// native messaging host manifests and keys), the same package again, removal, a folder of the
// integrator's choice, the next versions over this one offering the extension, and a failed registration rolled back.
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

// The offers of the extension as "key|update_url", for every id under Chrome's and Edge's key: in the
// 32-bit view that the browsers read and, on 64-bit Windows, in the 64-bit view (marked).
const std::string kChromeKey = "Software\\Google\\Chrome\\Extensions";
const std::string kEdgeKey = "Software\\Microsoft\\Edge\\Extensions";
std::vector<std::string> Offers() {
    BOOL wow64 = sizeof(void*) == 8;
    if (!wow64) IsWow64Process(GetCurrentProcess(), &wow64);
    std::vector<std::string> out;
    for (const REGSAM view : {KEY_WOW64_32KEY, wow64 ? KEY_WOW64_64KEY : 0})
        for (const std::string& parent : {kChromeKey, kEdgeKey}) {
            HKEY k;
            char id[256];
            if (!view || RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_READ | view, &k)) continue;
            for (DWORD i = 0, n; n = sizeof id, !RegEnumKeyExA(k, i, id, &n, nullptr, nullptr, nullptr, nullptr); ++i) {
                std::string url;
                DWORD type = 0;
                ReadValue(HKEY_LOCAL_MACHINE, parent + "\\" + id, "update_url", url, type, view);
                out.push_back((view == KEY_WOW64_64KEY ? "64-bit view: " : "") + parent + "\\" + id + "|" + url);
            }
            RegCloseKey(k);
        }
    return out;
}
const std::string kChromeOffer = kChromeKey + "\\abcdefghijklmnopabcdefghijklmnop";
const std::string kEdgeOffer = kEdgeKey + "\\ponmlkjihgfedcbaponmlkjihgfedcba";
const std::string kForeignOffer = kChromeKey + "\\aaaabbbbccccddddeeeeffffgggghhhh";  // another program's
const std::string kChromeUrl = "https://clients2.google.com/service/update2/crx";
const std::string kEdgeUrl = "https://edge.microsoft.com/extensionwebstorebase/v1/crx";

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
        for (const std::string& package : {Package(), NextPackage(), AfterNextPackage()})
            if (!UninstallEntries().empty()) Msiexec("/x " + Quoted(package), "setup-removal");
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kForeignOffer.c_str(), kPackageView, 0);
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
    ASSERT_EQ(Msiexec("/i " + Quoted(NextPackage()), "installdir-next"), 0);  // goes into the same folder
    EXPECT_EQ(Value(kMenuKey, "Exec"), dir + "lviehlp.exe");
    EXPECT_EQ(Msiexec("/x " + Quoted(NextPackage()), "installdir-uninstall"), 0);
    EXPECT_TRUE(NoKeys());
    EXPECT_FALSE(FileThere(dir + "lviehlp.exe"));
}

// The next version's package replaces this one, and the one after it the next. They are built from
// an ids file that names the Chrome Web Store's and Edge Add-ons' ids (msi.cmake): their manifests,
// as built and as installed, allow them too, and they offer the extension under them, keeping the
// offer's keys through an upgrade. Removal takes them, and nothing of another program's.
TEST_F(PackageTest, NextVersionReplacesThisOne) {
    const std::string dir = DefaultDir();
    lvtest::SetSz(HKEY_LOCAL_MACHINE, kForeignOffer, "update_url", kChromeUrl, kPackageView);
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
    const std::vector<std::string> offers{kForeignOffer + "|" + kChromeUrl, kChromeOffer + "|" + kChromeUrl,
                                          kEdgeOffer + "|" + kEdgeUrl};
    EXPECT_EQ(Offers(), offers);
    // Keys deleted and made again would be other keys: those opened before must still be readable.
    HKEY held[2] = {};
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kChromeOffer.c_str(), 0, KEY_READ | kPackageView, &held[0]);
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEdgeOffer.c_str(), 0, KEY_READ | kPackageView, &held[1]);
    ASSERT_EQ(Msiexec("/i " + Quoted(AfterNextPackage()), "upgrade-again"), 0);
    for (HKEY k : held) {
        EXPECT_EQ(RegQueryValueExA(k, "update_url", nullptr, nullptr, nullptr, nullptr), 0) << "1018: deleted";
        RegCloseKey(k);
    }
    EXPECT_EQ(Offers(), offers);
    EXPECT_EQ(Msiexec("/x " + Quoted(AfterNextPackage()), "upgrade-removal"), 0);
    EXPECT_TRUE(NoKeys());
    EXPECT_FALSE(FileThere(dir + "lviehlp.exe"));
    EXPECT_TRUE(UninstallEntries().empty());
    EXPECT_EQ(Offers(), std::vector<std::string>{offers[0]});
}

// ANNOUNCE_EXTENSION=0 at installation: no offer, and none added later by a repair (what msiexec /f
// asks for, which Wine's msiexec does not do itself), the same package again or the next version.
TEST_F(PackageTest, OfferTurnedOffStaysOff) {
    const std::string next = "/i " + Quoted(NextPackage());
    int n = 0;
    for (const std::string step : {next + " ANNOUNCE_EXTENSION=0", next + " REINSTALL=ALL REINSTALLMODE=omus",
                                   next + " ANNOUNCE_EXTENSION=1", "/i " + Quoted(AfterNextPackage())}) {
        ASSERT_EQ(Msiexec(step, "no-offer-" + std::to_string(++n)), 0) << step;
        EXPECT_EQ(Offers(), std::vector<std::string>{}) << step;
    }
    EXPECT_EQ(Msiexec("/x " + Quoted(AfterNextPackage()), "no-offer-removal"), 0);
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
