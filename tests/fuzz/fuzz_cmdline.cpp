// Command-line splitting against a separately written splitter, plus plain-text properties.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "cmdline.h"
#include "fuzzcheck.h"

namespace {

// Index-based reading of the same rules, written apart from the product code.
std::vector<std::string> Reference(const std::string& t, bool dbcs) {
    std::vector<std::string> all;
    std::size_t i = 0, n = t.size();
    for (;;) {
        for (;;) {
            while (i < n && static_cast<unsigned char>(t[i]) <= 32) ++i;
            if (i + 1 < n && t[i] == '"' && t[i + 1] == '"') i += 2; else break;
        }
        std::string arg;
        bool inQuotes = false;
        while (i < n) {
            unsigned char c = static_cast<unsigned char>(t[i]);
            if (!inQuotes && c <= 32) break;
            if (c == '"') { inQuotes = !inQuotes; ++i; continue; }
            if (dbcs && fuzz::SjisLead(c) && i + 1 < n) { arg += t.substr(i, 2); i += 2; continue; }
            arg += static_cast<char>(c);
            ++i;
        }
        if (arg.empty() && !all.empty()) break;  // the program name itself may be empty
        all.push_back(arg);
    }
    all.erase(all.begin());
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool dbcs = data[0] & 1;
    // The text ends at the first zero byte, as a real command line does; the buffer ends exactly
    // there so that any read past the terminator is caught.
    std::string text = fuzz::Bytes(data + 1, size - 1);
    text.resize(std::strlen(text.c_str()));
    std::unique_ptr<char[]> line(new char[text.size() + 1]);
    std::memcpy(line.get(), text.c_str(), text.size() + 1);

    const std::vector<std::string> args = lv::CommandLineArgs(line.get(), dbcs ? fuzz::SjisLead : lv::NoLeadBytes);
    FUZZ_CHECK(args == Reference(text, dbcs));

    std::size_t total = 0;
    for (const std::string& a : args) {
        FUZZ_CHECK(!a.empty());
        total += a.size();
    }
    FUZZ_CHECK(total <= text.size());

    if (text.find('"') == std::string::npos) {
        // No quotes: a blank never gets into an argument unless it is a second byte, and with
        // single bytes only the arguments are exactly a split on bytes 1..32 minus the name.
        if (!dbcs) {
            std::vector<std::string> words;
            std::string w;
            for (char c : text) {
                if (static_cast<unsigned char>(c) <= 32) {
                    if (!w.empty()) words.push_back(w);
                    w.clear();
                } else {
                    w += c;
                }
            }
            if (!w.empty()) words.push_back(w);
            if (!words.empty()) words.erase(words.begin());
            FUZZ_CHECK(args == words);
        }
    }
    return 0;
}
