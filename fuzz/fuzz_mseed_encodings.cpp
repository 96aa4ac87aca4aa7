// Each miniSEED data decoder on arbitrary data, and the Steim2 encoder checked by its decoder.
// Input: encoding code, flags (bit 0 big-endian, bit 1 an output one short), sample count
// (2 bytes), then the data.
#include "record/mseed_encodings.h"
#include "record/steim.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const int encoding = data[0];
    const bool bigEndian = data[1] & 1;
    const int expected = data[2] << 8 | data[3];
    const std::size_t capacity = static_cast<std::size_t>(expected) - ((data[1] & 2) && expected > 0 ? 1 : 0);
    const std::uint8_t* payload = data + 4;
    const std::size_t bytes = size - 4;
    // Exact-size buffers, so that a write past the capacity is caught.
    std::vector<std::int32_t> ints(capacity);
    std::vector<double> reals(capacity);
    const tlx::DecodeResult a =
        tlx::decodeIntegers(encoding, payload, bytes, bigEndian, expected, ints.data(), capacity);
    const tlx::DecodeResult b =
        tlx::decodeReals(encoding, payload, bytes, bigEndian, expected, reals.data(), capacity);
    if ((a.ok && a.count != expected) || (b.ok && b.count != expected)) std::abort();

    // The payload's words as samples: Steim2 frames decode to the values packed.
    std::vector<std::int32_t> values(bytes / 4);
    if (!values.empty()) std::memcpy(values.data(), payload, values.size() * 4);
    std::vector<std::uint8_t> frames(63 * 64);
    const tlx::SteimPacked packed = tlx::encodeSteim2(values, 0, frames.data(), 63);
    if (packed.count > 0) {
        std::vector<std::int32_t> back(packed.count);
        const tlx::SteimResult s = tlx::decodeSteim2(
            frames.data(), frames.size(), true, static_cast<int>(packed.count), back.data(), back.size());
        if (!s.ok || std::memcmp(back.data(), values.data(), packed.count * 4) != 0) std::abort();
    }
    return 0;
}
