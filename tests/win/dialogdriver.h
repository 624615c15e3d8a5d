// Driving lviehlp's query dialog from outside, as a user would: find it, read it, type into it and
// press its keys and buttons with cross-process messages. Also starts the stand-in browser and
// registers the stand-in Shell Windows collection.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "testutil.h"

namespace lvtest {

// Top-level windows of a class belonging to a process, in Z order (highest first); pid 0: any process.
std::vector<HWND> WindowsOf(const Process& p, const char* cls);
std::vector<HWND> WindowsOf(DWORD pid, const char* cls);
HWND WaitForWindow(const Process& p, const char* cls, DWORD timeoutMs = 15000);

// The stand-in browser with one frame per URL (URL or URL@x,y,w,h; the last one ends up on top).
// Waits until all frames exist; frames are returned in creation order.
bool StartBrowser(Process& p, const std::vector<std::string>& urls, std::vector<HWND>& frames);
void CloseBrowser(Process& p);

// Points CLSID_ShellWindows at the stand-in collection with these items (lines as the stand-in
// reads them), and back at the system's own object.
void RegisterStandInShellWindows(const std::vector<std::string>& items);
void UnregisterStandInShellWindows();
std::string BrowserItem(HWND frame, const std::string& url);

// lviehlp's dialog and its five controls in creation order:
// label, edit, As Domain, As IP/Hostname, Cancel.
struct Dialog {
    HWND window = nullptr;
    HWND label = nullptr, edit = nullptr, domain = nullptr, host = nullptr, cancel = nullptr;
};
enum { kLabel, kEdit, kDomain, kHost, kCancel };

// Starts exe (no arguments) and waits until its dialog is shown.
bool StartDialog(Process& p, const std::string& exe, Dialog& d, const std::string& workDir = "");
bool StartDialog(Process& p, const std::wstring& exe, Dialog& d);  // a path outside the code page
// The dialog shown by process pid (0: by any process), once visible and ready for keys.
bool WaitForDialog(DWORD pid, Dialog& d);
std::vector<HWND> Children(HWND parent);

void SetText(HWND w, const std::string& text);  // as if typed: the edit reports the change
void Click(HWND button);                          // posted: the hand-over may block the dialog
HWND Focus(const Process& p);
HWND FocusOf(HWND window);  // the focused window of the thread that owns window
void PressKey(const Process& p, UINT vk);         // to the focused control, through the message loop
RECT ClientRect(HWND dialog, HWND control);       // control's rectangle in the dialog's client area

}  // namespace lvtest
