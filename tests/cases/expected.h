// What the tests expect of lviehlp, written down once and on their own (never taken from the
// program's constants), for the native tests, the Windows tests, the stand-ins and the fuzz targets.
#pragma once
#include <string>

namespace expected {

// The query message the main application receives: 0x4FD (WM_USER + 253), wParam 255,
// lParam 1 for a domain query and 0 for an IP address or host name.
constexpr unsigned kQueryMessage = 0x4FD;
constexpr unsigned kQueryWParam = 255;
// The stand-in main application's log line for one query of that mode.
inline std::string QueryLine(int mode) { return "query 255 " + std::to_string(mode); }

// The browser's extension keys under HKEY_LOCAL_MACHINE.
constexpr const char* kExtensionsKey = "Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr const char* kMenuItemKey =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{6A1D3C52-8E47-4B0F-9C2A-3F5E71B0D48C}";
constexpr const char* kToolbarButtonKey =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{B27E9F04-15C3-4D6A-A8E1-0C94D7F36A25}";

// The server of the Shell Windows collection (under HKEY_LOCAL_MACHINE); the tests point it at
// the stand-in collection and back.
constexpr const char* kShellWindowsServerKey =
    "Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\InprocServer32";

// "As Domain" keeps a host's last three labels when the second-to-last is one of these
// (shop.co.example), and its last two otherwise (example.com). Letter case counts.
constexpr const char* kThreeLabelSecondLevels[] = {"co", "ac", "gov", "com", "net", "org", "edu"};

// A Shift-JIS style lead-byte rule: 0x81-0x9F and 0xE0-0xFC open a double-byte character.
// 0x95 0x5C is one such character whose second byte is '\'.
inline bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The dialog's client layout (420 x 100) and its five controls (label, edit, As Domain,
// As IP/Hostname, Cancel) in pixels at 96, 120 and 144 dots per inch; halves go to the even
// neighbour (12.5 -> 12, 392.5 -> 392, 31.5 -> 32, 37.5 -> 38).
// The window adds the system's dialog frame on each side and its caption less one border line;
// those are the implementation's own metrics (Wine 8: frames of 3, captions of 19, 24 and 28 at
// the three resolutions; Wine 10: 26 and 32 at 96 and 120 dpi), which the tests read from it.
struct Rect {
    int x, y, w, h;
};
struct Layout {
    int dpi;
    int clientW, clientH;
    Rect controls[5];
};
constexpr Layout kLayouts[] = {
    {96, 420, 100,
     {{10, 10, 100, 21}, {10, 30, 400, 21}, {10, 64, 137, 25}, {157, 64, 137, 25}, {314, 64, 96, 25}}},
    {120, 525, 125,
     {{12, 12, 125, 26}, {12, 38, 500, 26}, {12, 80, 171, 31}, {196, 80, 171, 31}, {392, 80, 120, 31}}},
    {144, 630, 150,
     {{15, 15, 150, 32}, {15, 45, 600, 32}, {15, 96, 206, 38}, {236, 96, 206, 38}, {471, 96, 144, 38}}},
};

}  // namespace expected
