// Splitting of the raw process command line into arguments, as the program has always done it
// (not the C runtime's rules: quotes may open anywhere and "" before an argument is skipped).
#pragma once
#include <string>
#include <vector>

#include "common.h"

namespace lv {

// Arguments 1 and up of a raw command line; the program name and everything from the first
// empty argument on are left out. A null line gives no arguments.
std::vector<std::string> CommandLineArgs(const char* commandLine, LeadByteRule isLead = NoLeadBytes);

}  // namespace lv
