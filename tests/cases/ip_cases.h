// Dotted-quad cases shared by the native and the Windows tests: each platform's classic
// inet_addr must give the same answers.
#pragma once

namespace lvcases {

struct IpCase {
    const char* text;
    bool isIp;
};

inline constexpr IpCase kIpCases[] = {
    {"192.168.0.1", true},
    {" 10.1.2.3 ", true},
    {"\t10.1.2.3\r\n", true},
    {"1.2.3.4", true},
    {"223.255.255.254", true},
    {"1.0x10.010.4", true},  // parts after the first may be hexadecimal or octal
    {"1.010.0x1f.4", true},
    {"10.0xFF.0377.0", true},
    {"1.09.2.3", false},     // 9 is no octal digit
    {"1.0x100.2.3", false},  // a part out of range
    {"0x7f.0.0.1", false},   // a leading "0" at the very start, even for hexadecimal
    {"0.1.2.3", false},      // a leading "0" at the very start
    {"010.1.2.3", false},
    {"0x1.2.3.4", false},
    {"1.2.3", false},
    {"1.2.3.4.5", false},
    {"1..2.3", false},
    {"255.255.255.255", false},  // the parser's error value
    {"", false},
    {"   ", false},
    {"www.example.com", false},
    {"1.2.3.256", false},
    {"1.2.3.4a", false},
    {"1.2 .3.4", false},
    {"1.2.3.4 5", false},
    {"16909060", false},  // one part: a valid address, but not a dotted quad
    {"a.b.c.d", false},
};

}  // namespace lvcases
