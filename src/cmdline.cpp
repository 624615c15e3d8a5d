// Command-line splitting on the raw process text.
#include "cmdline.h"

namespace lv {

namespace {

const unsigned char* SkipSeparators(const unsigned char* p) {
    for (;;) {
        while (*p != 0 && *p <= ' ') ++p;
        if (p[0] == '"' && p[1] == '"')
            p += 2;
        else
            return p;
    }
}

// Reads one argument starting at p; returns the position after it.
const unsigned char* ReadArgument(const unsigned char* p, std::string& out, LeadByteRule isLead) {
    out.clear();
    bool quoted = false;
    while (*p != 0 && (quoted || *p > ' ')) {
        if (*p == '"') {
            quoted = !quoted;
            ++p;
        } else if (isLead(*p) && p[1] != 0) {
            out.append(reinterpret_cast<const char*>(p), 2);  // a double-byte character stays whole
            p += 2;
        } else {
            out.push_back(static_cast<char>(*p++));
        }
    }
    return p;
}

}  // namespace

std::vector<std::string> CommandLineArgs(const char* commandLine, LeadByteRule isLead) {
    std::vector<std::string> args;
    if (commandLine == nullptr) return args;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    std::string arg;
    p = ReadArgument(SkipSeparators(p), arg, isLead);  // the program name
    for (;;) {
        p = ReadArgument(SkipSeparators(p), arg, isLead);
        if (arg.empty()) break;
        args.push_back(arg);
    }
    return args;
}

}  // namespace lv
