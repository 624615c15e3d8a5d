// The query dialog: "Query address:" with "As Domain", "As IP/Hostname" and "Cancel".
#pragma once
#include <windows.h>

#include <string>

#include "layout.h"

namespace lv {

// The whole no-argument run: builds the dialog, fills it from the browser and runs the loop.
void RunQueryDialog();

// How a dialog ended: cancelled (Cancel, Esc, closed, or activation lost), or a query handed over,
// which the main application took (Queried) or did not (NotRun: not started, or it never took
// the text).
struct DialogOutcome {
    enum Result { Cancelled, Queried, NotRun } result = Cancelled;
    bool asDomain = false;
    std::string query;  // the text handed over, in the ANSI code page
};

// The same dialog for a page a browser's extension handed over: pre-filled with text, centred
// over frame (0: placed as with no browser frame), brought to the front however the process was
// started, and a main application it starts is started outside the browser's job.
DialogOutcome RunQueryDialogFor(const std::string& text, HWND frame);

// The control's current text, exactly the bytes it handed over.
std::string GetControlText(HWND control);

// The window's screen rectangle; false when it cannot be read (a browser frame that closed after
// it was found is then placed over as if there were none).
bool ReadWindowBox(HWND window, Box& box);

}  // namespace lv
