// The two floor hosts' side of native messaging: the browser's one message read and dropped, and
// the reply {} written, on the raw standard handles.
#pragma once
#include <windows.h>

namespace floorhost {

inline bool ReadAll(HANDLE in, char* buffer, DWORD size) {
    DWORD got = 0;
    while (got < size) {
        DWORD n = 0;
        if (!ReadFile(in, buffer + got, size - got, &n, nullptr) || n == 0) return false;
        got += n;
    }
    return true;
}

// The 4-byte length in native order, then that many bytes; false for a broken or long message.
inline bool ReadMessage() {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    static char body[4096];
    DWORD size = 0;
    return ReadAll(in, reinterpret_cast<char*>(&size), sizeof size) && size <= sizeof body && ReadAll(in, body, size);
}

inline void ReplyEmpty() {
    static const char reply[] = "\x02\0\0\0{}";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), reply, sizeof reply - 1, &written, nullptr);
}

}  // namespace floorhost
