// Small facts the program asks of the system.
#pragma once
#include <string>

namespace lv {

// The running executable's full file name. The ANSI text is what every caller uses while the
// code page holds the name exactly; where it does not, only the wide text names the file.
struct ModulePath {
    std::wstring wide;
    std::string ansi;    // exact ANSI form; empty when exact is false
    bool exact = false;
};

// Read wide, however long; false when it cannot be read whole.
bool OwnModulePath(ModulePath& path);

// The same with the system call injected, so that long and failing reads can be tested.
using ModuleNameReader = unsigned long(__stdcall*)(void* module, wchar_t* buffer, unsigned long size);
bool OwnModulePathWith(ModuleNameReader read, ModulePath& path);

// The ANSI form of wide text, only when converting it back gives the same text: no character
// replaced by a default byte or a best-fit look-alike.
bool ToAnsiExact(const std::wstring& wide, std::string& ansi);

// A host name's ASCII form (IDNA: "xn--" labels for labels outside ASCII), by the system's
// IdnToAscii; false where the system lacks it or refuses the name.
bool HostNameToAscii(const std::wstring& name, std::string& ascii);

// Whole texts between UTF-8, the ANSI code page and wide characters. From UTF-8, an invalid
// sequence becomes U+FFFD; to the ANSI code page, a character it lacks becomes its default byte.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::wstring WideFromAnsi(const std::string& ansi);
std::string AnsiFromWide(const std::wstring& wide);

// The system's lead-byte rule for the ANSI code page.
bool AnsiLeadByte(unsigned char b);

// 64-bit Windows, as the system reports it, whichever build asks: a 32-bit process there runs under
// WOW64, and its registry writes go to the 32-bit view unless told otherwise.
bool OnWindows64();

// True when this process runs in a job object, whose end would end the children it starts there.
bool RunsInJob();

}  // namespace lv
