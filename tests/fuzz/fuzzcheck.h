// Shared by the fuzz targets: a property check that reports and aborts, so libFuzzer keeps the input.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../cases/expected.h"

#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "property violated at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace fuzz {

inline std::string Bytes(const unsigned char* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Shift-JIS style lead bytes, the double-byte rule the targets inject.
using expected::SjisLead;

}  // namespace fuzz
