// The host of the page in the foremost browser window, read through the Shell Windows collection.
#include "geturl.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>

#include <algorithm>

#include "address.h"
#include "scoped.h"
#include "win32.h"

namespace lv {

// A URL the ANSI code page holds is cut as bytes, as always. Otherwise the host is cut from the
// UTF-8 text (whose ASCII bytes, the only ones ExtractHost looks at, are the URL's own), and a
// host name the code page cannot hold is given in its ASCII form; a port or query after the name
// is kept as it was.
std::string HostOf(const std::wstring& url) {
    std::string ansi;
    if (ToAnsiExact(url, ansi)) return ExtractHost(ansi);
    return ShownHost(WideFromUtf8(ExtractHost(Utf8FromWide(url))));
}

std::string ShownHost(const std::wstring& wideHost) {
    std::string ansi;
    if (ToAnsiExact(wideHost, ansi)) return ansi;
    const std::string host = Utf8FromWide(wideHost);
    const std::size_t nameEnd = std::min(host.find_first_of(":?#"), host.size());
    std::string name;
    if (!HostNameToAscii(WideFromUtf8(host.substr(0, nameEnd)), name)) return std::string();
    return name + AnsiFromWide(WideFromUtf8(host.substr(nameEnd)));
}

namespace {

// The URL of the browser whose window is frame; false when any call fails (the search stops there).
bool FindBrowserURL(HWND frame, std::wstring& url) {
    ComRef<IUnknown> object;
    // In-process or local server (5): whichever the system registers for the collection.
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IUnknown, object.put_void())))
        return false;
    ComRef<IShellWindows> windows;
    if (FAILED(object->QueryInterface(IID_IShellWindows, windows.put_void())) || !windows) return false;
    LONG count = 0;
    if (FAILED(windows->get_Count(&count))) return false;
    for (LONG i = 0; i < count; ++i) {
        UniqueVariant index;
        index.get()->vt = VT_I4;
        index.get()->lVal = i;
        ComRef<IDispatch> item;
        if (FAILED(windows->Item(*index.get(), item.put()))) return false;
        if (!item) continue;
        ComRef<IWebBrowser2> browser;
        if (FAILED(item->QueryInterface(IID_IWebBrowser2, browser.put_void())) || !browser) continue;  // a folder
        SHANDLE_PTR h = 0;
        if (FAILED(browser->get_HWND(&h))) return false;
        if (reinterpret_cast<HWND>(h) != frame) continue;
        UniqueBstr location;
        if (FAILED(browser->get_LocationURL(location.put()))) return false;
        if (location) url.assign(location.get(), SysStringLen(location.get()));
        return true;
    }
    return false;
}

}  // namespace

std::string GetBrowserURL() {
    const HWND frame = FindWindowA("IEFrame", nullptr);
    if (!frame) return std::string();  // no browser: no COM at all
    // Only a fresh initialisation counts; COM stays initialised for the rest of the process.
    if (CoInitialize(nullptr) != S_OK) return std::string();
    std::wstring url;
    if (!FindBrowserURL(frame, url)) return std::string();
    return HostOf(url);
}

}  // namespace lv
