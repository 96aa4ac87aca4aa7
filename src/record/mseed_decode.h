// Decoding one data record's samples into 32-bit integers, by decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tlx {

enum class SampleDecoder { Steim1, Steim2, Dwwssn };

struct DecodeResult {
    bool ok = false;
    int count = 0;
    bool integrityMismatch = false;
    std::string error;
};

// Decodes `expected` samples from data[0..bytes) into out[0..capacity).
DecodeResult decodeSamples(SampleDecoder decoder, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                           int expected, std::int32_t* out, std::size_t capacity);

} // namespace tlx
