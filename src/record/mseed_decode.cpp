#include "record/mseed_decode.h"

#include "record/mseed_encodings.h"

namespace tlx {

DecodeResult decodeSamples(SampleDecoder decoder, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                           int expected, std::int32_t* out, std::size_t capacity) {
    const int encoding = decoder == SampleDecoder::Steim1   ? kEncSteim1
                         : decoder == SampleDecoder::Steim2 ? kEncSteim2
                                                            : kEncDwwssn;
    return decodeIntegers(encoding, data, bytes, bigEndian, expected, out, capacity);
}

} // namespace tlx
