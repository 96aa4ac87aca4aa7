// The outcome of decoding one data record's samples.
#pragma once

#include <string>

namespace tlx {

struct DecodeResult {
    bool ok = false;
    int count = 0;
    bool integrityMismatch = false;
    std::string error;
};

} // namespace tlx
