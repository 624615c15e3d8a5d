// Driver for the real-browser road: waits for lviehlp's dialog, from whichever process shows it,
// checks what it was pre-filled with, and clicks one of its buttons as a user would.
//   dialog_click.exe EXPECTED_TEXT BUTTON_TEXT
// Exit code 0 when the dialog came with that text and the button was clicked; 1 otherwise.
//   dialog_click.exe --end LOG
// Ends the stand-in main applications the log names, so that none outlives the road.
#include <cstdio>
#include <cstring>
#include <string>

#include "dialogdriver.h"
#include "standin.h"

using namespace lvtest;

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--end") == 0) {
        EndStandIns(argv[2]);
        return 0;
    }
    if (argc != 3) return 2;
    Dialog d;
    if (!WaitForDialog(0, d)) {
        std::printf("no dialog\n");
        return 1;
    }
    const std::string text = Text(d.edit);
    std::printf("dialog pre-filled with \"%s\"\n", text.c_str());
    if (text != argv[1]) return 1;
    for (HWND button : {d.domain, d.host, d.cancel}) {
        if (Text(button) != argv[2]) continue;
        Click(button);
        return 0;
    }
    std::printf("no button \"%s\"\n", argv[2]);
    return 1;
}
