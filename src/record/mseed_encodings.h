// The data encodings of miniSEED records by their code (blockette 1000 byte 4, or the miniSEED 3
// header): plain integers and IEEE floats in either byte order, Steim1/2, and the gain-ranged
// formats of older networks (GEOSCOPE, CDSN, SRO, DWWSSN).
#pragma once

#include "record/mseed_decode.h"

#include <cstddef>
#include <cstdint>

namespace tlx {

enum MseedEncoding : int {
    kEncText = 0,
    kEncInt16 = 1,
    kEncInt24 = 2,
    kEncInt32 = 3,
    kEncFloat32 = 4,
    kEncFloat64 = 5,
    kEncSteim1 = 10,
    kEncSteim2 = 11,
    kEncGeoscope24 = 12,
    kEncGeoscope16Exp3 = 13,
    kEncGeoscope16Exp4 = 14,
    kEncCdsn = 16,
    kEncSro = 30,
    kEncDwwssn = 32,
};

// Encodings whose samples are whole numbers (decodeIntegers) or real numbers (decodeReals).
bool isIntegerEncoding(int encoding);
bool isRealEncoding(int encoding);

// Decode `expected` samples from data[0..bytes) into out[0..capacity). Fails (never reads or
// writes out of bounds) when the data hold fewer samples or the output is too small.
DecodeResult decodeIntegers(int encoding, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                            int expected, std::int32_t* out, std::size_t capacity);
DecodeResult decodeReals(int encoding, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                         int expected, double* out, std::size_t capacity);

} // namespace tlx
