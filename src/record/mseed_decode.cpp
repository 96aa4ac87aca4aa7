#include "record/mseed_decode.h"

#include "core/byte_order.h"
#include "core/text.h"
#include "record/steim.h"

namespace tlx {

DecodeResult decodeSamples(SampleDecoder decoder, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                           int expected, std::int32_t* out, std::size_t capacity) {
    DecodeResult r;
    if (decoder == SampleDecoder::Dwwssn) {
        // 16-bit two's complement integers.
        if (expected < 0 || static_cast<std::size_t>(expected) > capacity ||
            static_cast<std::size_t>(expected) * 2 > bytes) {
            r.error = format("DWWSSN data hold %zu of %d samples", bytes / 2, expected);
            return r;
        }
        for (int i = 0; i < expected; ++i)
            out[i] = readOrdered<std::int16_t>(data + 2 * i, bigEndian);
        r.ok = true;
        r.count = expected;
        return r;
    }
    const SteimResult s = decoder == SampleDecoder::Steim1
                              ? decodeSteim1(data, bytes, bigEndian, expected, out, capacity)
                              : decodeSteim2(data, bytes, bigEndian, expected, out, capacity);
    r.ok = s.ok;
    r.count = s.count;
    r.integrityMismatch = s.integrityMismatch;
    r.error = s.error;
    return r;
}

} // namespace tlx
