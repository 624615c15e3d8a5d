// Shared declarations: the program's exit codes and the byte-string conventions every module uses.
// Text is a run of single bytes in the ANSI code page; positions are 1-based, 0 = not found.
#pragma once
#include <string>

namespace lv {

// Exit codes: install and uninstall report a key they could not write or delete; a browser's start
// always ends with kExitOk (its reply says how it went).
enum ExitCode : int { kExitOk = 0, kExitRegistryFailed = 1 };

// Tells whether a byte opens a double-byte character in the current ANSI code page.
// The Windows build passes the system's rule; portable callers default to none.
using LeadByteRule = bool (*)(unsigned char);
bool NoLeadBytes(unsigned char);

// Query mode sent with a query: 1 = as domain, 0 = as IP address or host name.
enum QueryMode : int { kQueryAsHost = 0, kQueryAsDomain = 1 };

// First 1-based position of needle in s (case-sensitive), 0 when absent or needle is empty.
std::size_t Pos(const std::string& needle, const std::string& s);

// Drops leading and trailing bytes 0..32.
std::string StripBlanks(const std::string& s);

// Equal lengths and equal bytes, with only a-z folded to upper case.
bool SameTextAscii(const std::string& a, const std::string& b);

// Path up to and including the last '\' or ':' that is not a trail byte; empty if none.
std::string DirectoryPart(const std::string& path, LeadByteRule isLead = NoLeadBytes);
// The same for a wide path, whose characters are never split.
std::wstring DirectoryPart(const std::wstring& path);

}  // namespace lv
