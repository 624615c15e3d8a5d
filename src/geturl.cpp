// The host of the page in the foremost browser window, read through the Shell Windows collection.
#include "geturl.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>

#include "address.h"
#include "scoped.h"

namespace lv {

namespace {

std::string ToAnsi(BSTR wide) {
    const int len = static_cast<int>(SysStringLen(wide));
    if (len == 0) return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, len, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string text(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, wide, len, &text[0], size, nullptr, nullptr);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

// The URL of the browser whose window is frame; false when any call fails (the search stops there).
bool FindBrowserURL(HWND frame, std::string& url) {
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
        url = ToAnsi(location.get());
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
    std::string url;
    if (!FindBrowserURL(frame, url)) return std::string();
    return ExtractHost(url);
}

}  // namespace lv
