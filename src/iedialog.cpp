// The query dialog: plain windows (no template), scaled from the design resolution, placed over
// the browser frame, pre-filled with the browser's host, and its commands that hand a query over.
#include "iedialog.h"

#include <commctrl.h>

#include "Launch.h"
#include "address.h"
#include "common.h"
#include "geturl.h"
#include "layout.h"
#include "scoped.h"
#include "wndclass.h"

namespace lv {

namespace {

const char kOwnerClass[] = "LvIeMainWnd";
const char kDialogClass[] = "LvIeDialogWnd";
const char kTitle[] = "Lorvane";

// Window handles and scale of the one dialog of this process.
HWND ownerWnd;
HWND dialogWnd;
HWND labelWnd;
HWND addressEdit;
HWND domainButton;
HWND hostButton;
HWND cancelButton;
double scaleX = 1.0;
double scaleY = 1.0;

// Where a browser's extension started the dialog: its pre-filled text and the window it came from.
struct DialogSource {
    std::string text;
    HWND frame;
};
const DialogSource* browserSource;  // 0 for the no-argument run
DialogOutcome outcome;

// Set while a query is handed over: hiding the dialog or starting the main application moves
// activation away, and that must not end the program (nor close the launch error box) early.
bool queryRunning;

// A length given at the design resolution, in the screen's pixels.
int ScaleX(int v);
int ScaleY(int v);
void UpdateQueryButtons(bool domainOk, bool hostOk);
void QueryAsDomain();
void QueryAsHost();

HWND CreateControl(const char* cls, const char* text, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                   HINSTANCE instance) {
    return CreateWindowExA(exStyle, cls, text, style, ScaleX(x), ScaleY(y), ScaleX(w), ScaleY(h), dialogWnd,
                           nullptr, instance, nullptr);
}

// Creation order is the tab order.
void CreateControls(HINSTANCE instance) {
    labelWnd = CreateControl("STATIC", "Query address:", WS_CHILD | WS_VISIBLE, 0, 10, 10, 100, 21, instance);
    addressEdit = CreateControl("EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                                10, 30, 400, 21, instance);
    domainButton = CreateControl("BUTTON", "As Domain", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                 0, 10, 64, 137, 25, instance);
    hostButton = CreateControl("BUTTON", "As IP/Hostname", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON,
                               0, 157, 64, 137, 25, instance);
    cancelButton = CreateControl("BUTTON", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 314, 64, 96, 25, instance);
}

void SetControlFonts() {
    const WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (HWND control : {labelWnd, addressEdit, hostButton, domainButton, cancelButton})
        SendMessageA(control, WM_SETFONT, font, FALSE);
}

void RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // The dialog first: this gives Tab, Enter and Esc their dialog meaning.
        if (IsDialogMessageA(dialogWnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Runs one query action; the program ends when it is done, whatever the outcome.
void RunQuery(void (*action)(), bool hideFirst) {
    if (queryRunning) return;  // a second command while the launch error box is up
    queryRunning = true;
    if (hideFirst) ShowWindow(dialogWnd, SW_HIDE);
    action();
    PostQuitMessage(0);
}

void ApplyButtonRule() {
    const std::string text = GetControlText(addressEdit);
    const bool hostOk = !StripBlanks(text).empty();
    UpdateQueryButtons(hostOk && !IsIPAddress(text), hostOk);
}

LRESULT OnDestroy() {
    PostQuitMessage(0);
    return 0;
}

// A dialog that came up behind the browser (the foreground was refused) gets the focus in its edit
// once the user activates it.
LRESULT OnActivate(HWND window, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefWindowProcA(window, WM_ACTIVATE, wParam, lParam);
    if (browserSource && LOWORD(wParam) != WA_INACTIVE && !queryRunning) SetFocus(addressEdit);
    return result;
}

LRESULT OnActivateApp(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam != 0) return DefWindowProcA(window, WM_ACTIVATEAPP, wParam, lParam);
    if (!queryRunning) PostQuitMessage(0);
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    const WORD code = HIWORD(wParam);
    if (wParam == IDCANCEL) {
        PostQuitMessage(0);
        return 0;
    }
    if (wParam == IDOK) {
        if (IsWindowEnabled(domainButton)) {
            RunQuery(QueryAsDomain, false);  // Enter leaves the dialog on screen
            return 0;
        }
        MessageBeep(0);
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    }
    if (control == domainButton && code == BN_CLICKED) {
        RunQuery(QueryAsDomain, true);
        return 0;
    }
    if (control == hostButton && code == BN_CLICKED) {
        RunQuery(QueryAsHost, true);
        return 0;
    }
    if (control == cancelButton && code == BN_CLICKED) {
        PostQuitMessage(0);
        return 0;
    }
    if (control == addressEdit && code == EN_CHANGE) ApplyButtonRule();
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

int ScaleX(int v) { return ScaleRound(v, scaleX); }
int ScaleY(int v) { return ScaleRound(v, scaleY); }

// Steps of RunQueryDialog: the scale from the screen's dots per inch (the process is system-aware:
// every window of it has the screen's), then the dialog's size and place, which it is created with.
void ComputeScale() {
    WindowDC dc(nullptr);
    scaleY = DpiScale(GetDeviceCaps(dc.get(), LOGPIXELSY));
    scaleX = DpiScale(GetDeviceCaps(dc.get(), LOGPIXELSX));
}

Box PlacedDialogBox(HWND browser) {
    FrameMetrics f;
    f.frameX = GetSystemMetrics(SM_CXDLGFRAME);
    f.frameY = GetSystemMetrics(SM_CYDLGFRAME);
    f.caption = GetSystemMetrics(SM_CYCAPTION);
    f.border = GetSystemMetrics(SM_CYBORDER);
    const Size size = DialogWindowSize(ScaleX(420), ScaleY(100), f);
    ScreenMetrics m;
    m.virtualX = GetSystemMetrics(SM_XVIRTUALSCREEN);
    m.virtualY = GetSystemMetrics(SM_YVIRTUALSCREEN);
    m.virtualWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    m.virtualHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    m.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    Box frame;
    const Box* over = browser && ReadWindowBox(browser, frame) ? &frame : nullptr;
    const Point p = PlaceDialogAt(size.w, size.h, over, m);
    return Box{p.x, p.y, p.x + size.w, p.y + size.h};
}

LRESULT CALLBACK OwnerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK DialogWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy();
    case WM_ACTIVATEAPP:
        return OnActivateApp(window, wParam, lParam);
    case WM_ACTIVATE:
        return OnActivate(window, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void UpdateQueryButtons(bool domainOk, bool hostOk) {
    EnableWindow(domainButton, domainOk);
    EnableWindow(hostButton, hostOk);
}

void RecordQuery(bool taken, bool asDomain, const std::string& text) {
    outcome.result = taken ? DialogOutcome::Queried : DialogOutcome::NotRun;
    outcome.asDomain = asDomain;
    outcome.query = text;
}

void QueryAsDomain() {
    const std::string text = ReduceToDomain(ExtractHost(StripBlanks(GetControlText(addressEdit))));
    RecordQuery(LaunchQuery(text, true, browserSource != nullptr), true, text);
}

void QueryAsHost() {
    const std::string text = ExtractHost(StripBlanks(GetControlText(addressEdit)));
    RecordQuery(LaunchQuery(text, false, browserSource != nullptr), false, text);
}

// A browser starts its host hidden (SW_HIDE through cmd.exe), and the system may apply that to the
// process's first ShowWindow: the dialog is shown through SetWindowPos, which it never overrides.
// The browser, not the user, started us, so the foreground may be refused: the dialog then stays
// above the browser window, where the user sees it and can click it.
void ShowOverBrowser() {
    SetWindowPos(dialogWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(dialogWnd);
    SetForegroundWindow(dialogWnd);
    if (GetForegroundWindow() != dialogWnd)
        SetWindowPos(dialogWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetFocus(addressEdit);
}

}  // namespace

std::string GetControlText(HWND control) {
    const LRESULT n = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
    if (n <= 0) return std::string();
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const LRESULT copied = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    // The length is an upper bound (it may count more than the control copies); keep what arrived.
    text.resize(copied > 0 && copied <= n ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool ReadWindowBox(HWND window, Box& box) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    box = Box{r.left, r.top, r.right, r.bottom};
    return true;
}

namespace {

// Both runs: a browser's extension gives the text and the frame; otherwise both come from the
// foremost "IEFrame" window, as they always have.
void RunDialog(const DialogSource* source) {
    browserSource = source;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    if (!RegisterWindowClass(kOwnerClass, CS_HREDRAW | CS_VREDRAW, OwnerWndProc, instance)) return;
    ownerWnd = CreateWindowExA(0, kOwnerClass, kTitle, 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!ownerWnd) return;
    if (!RegisterWindowClass(kDialogClass, CS_HREDRAW | CS_VREDRAW | CS_SAVEBITS, DialogWndProc, instance)) return;
    ComputeScale();
    // Created where it is shown and at its size: one window change fewer before it appears.
    const Box box = PlacedDialogBox(source ? source->frame : FindWindowA("IEFrame", nullptr));
    dialogWnd = CreateWindowExA(0, kDialogClass, kTitle, WS_OVERLAPPED | WS_SYSMENU, box.left, box.top,
                                box.right - box.left, box.bottom - box.top, ownerWnd, nullptr, instance, nullptr);
    if (!dialogWnd) return;
    CreateControls(instance);
    SetControlFonts();

    const std::string host = source ? source->text : GetBrowserURL();
    SendMessageA(addressEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(host.c_str()));  // EN_CHANGE sets the buttons
    SendMessageA(addressEdit, EM_SETSEL, 0, -1);

    if (source) {
        ShowOverBrowser();
    } else {
        ShowWindow(dialogWnd, SW_SHOW);
        UpdateWindow(dialogWnd);
        SetFocus(addressEdit);
    }
    RunMessageLoop();
}

}  // namespace

void RunQueryDialog() { RunDialog(nullptr); }

DialogOutcome RunQueryDialogFor(const std::string& text, HWND frame) {
    const DialogSource source{text, frame};
    RunDialog(&source);
    browserSource = nullptr;
    return outcome;
}

}  // namespace lv
