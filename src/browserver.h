// The browser's "Version" text and the toolbar icon pair it selects.
#pragma once
#include <cstdint>
#include <string>

namespace lv {

// Signed 32-bit parse: leading spaces (0x20 only), then either [+|-]decimal within range, or
// hexadecimal after "$", "x", "X", "0x" or "0X" read as 32-bit two's complement. Nothing may follow.
bool ParseInt32(const std::string& text, std::int32_t& value);

// True when the text before the first "." (at least one byte) parses to 6 or more.
bool IsModernVersion(const std::string& version);

struct ButtonIcons {
    const char* icon;
    const char* hotIcon;
};
ButtonIcons ButtonIconsFor(bool modern);

}  // namespace lv
