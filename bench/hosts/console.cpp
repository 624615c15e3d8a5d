// The key-to-dialog benchmark's first floor: a native messaging host that is a console program,
// reads the browser's one message and replies {} at once. What the browser and a Wine process
// start cost before any host does anything.
#include <windows.h>

#include "message.h"

int main() {
    if (!floorhost::ReadMessage()) return 1;
    floorhost::ReplyEmpty();
    return 0;
}
