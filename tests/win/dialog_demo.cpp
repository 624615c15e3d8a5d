// Demo driver: the whole road under Wine. A stand-in browser shows a page, lviehlp.exe opens its
// dialog pre-filled from it, "As Domain" is clicked and the stand-in main application receives
// the query. The dialog and the received query are captured from the screen as BMP files.
//   dialog_demo.exe DEMO_DIR PAUSE_MS
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../cases/expected.h"
#include "dialogdriver.h"
#include "standin.h"
#include "testutil.h"

using namespace lvtest;

namespace {

// What is on screen over the window's rectangle, as a 32-bit BMP, top row first.
bool Capture(HWND w, const std::string& file) {
    RECT r;
    GetWindowRect(w, &r);
    const std::vector<unsigned> px = ScreenPixels(r);
    const DWORD size = static_cast<DWORD>(px.size() * sizeof(unsigned));
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = r.right - r.left;
    ih.biHeight = -(r.bottom - r.top);
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
        ok = !px.empty() && std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
             std::fwrite(px.data(), 1, size, f) == size;
        std::fclose(f);
    }
    return ok;
}

int Fail(const char* what) {
    std::printf("demo failed: %s\n", what);
    return 1;
}

int Run(const std::string& dir, DWORD pause, Process& browser, Process& app) {
    const std::string log = dir + "\\lv3.log";
    DeleteFileA(log.c_str());
    if (!CopyTo(DistFile("lviehlp.exe"), dir + "\\lviehlp.exe") || !CopyTo(StandInExe(), dir + "\\lv3.exe"))
        return Fail("copying lviehlp.exe and the stand-in lv3.exe");
    SetEnv("LV3_LOG", log.c_str());

    const std::string url = "http://www.shop.co.example/index.html";
    std::vector<HWND> frames;
    if (!StartBrowser(browser, {url + "@60,40,900,640"}, frames)) return Fail("starting the stand-in browser");
    RegisterStandInShellWindows({BrowserItem(frames[0], url)});
    std::printf("browser shows     %s\n", url.c_str());

    Dialog d;
    if (!StartDialog(app, dir + "\\lviehlp.exe", d)) return Fail("lviehlp.exe showed no dialog");
    std::printf("dialog edit       \"%s\"; As Domain %s, As IP/Hostname %s\n", Text(d.edit).c_str(),
                IsWindowEnabled(d.domain) ? "enabled" : "disabled", IsWindowEnabled(d.host) ? "enabled" : "disabled");
    Sleep(300 + pause);
    if (!Capture(d.window, dir + "\\dialog.bmp")) return Fail("capturing the dialog");

    Click(d.domain);
    std::printf("clicked           As Domain\n");
    if (WaitForLine(log, expected::QueryLine(1), 0, 60000) < 0) return Fail("no query reached the stand-in");
    std::printf("lviehlp exit code %d\n", app.Wait(10000));
    HWND form = FindWindowA("TForm1", nullptr);
    if (!form) return Fail("no stand-in main form");
    Sleep(500 + pause);
    if (!Capture(form, dir + "\\received.bmp")) return Fail("capturing the main application");
    std::printf("stand-in log:\n");
    for (const std::string& line : LogLines(log)) std::printf("  %s\n", line.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: dialog_demo.exe DEMO_DIR [PAUSE_MS]");
    const std::string dir = argv[1];
    const DWORD pause = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 0;
    SetProcessDPIAware();  // screen pixels, not the 96-dpi view the system gives other programs
    Process browser, app;
    const int rc = Run(dir, pause, browser, app);
    std::fflush(stdout);
    UnregisterStandInShellWindows();
    EndStandIns(dir + "\\lv3.log");
    if (browser.Running()) CloseBrowser(browser);
    return rc;
}
