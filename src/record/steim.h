// Steim1 and Steim2 decoders: 64-byte frames of 16 words, the first word of each frame holding
// sixteen 2-bit codes; frame 0 carries the forward (X0) and reverse (Xn) integration constants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tlx {

struct SteimResult {
    int count = 0;   // samples written
    bool ok = false; // false: bad code, too few frames, or an integrity mismatch
    bool integrityMismatch = false;
    std::int32_t lastValue = 0;
    std::int32_t xn = 0; // reverse integration constant of frame 0
    std::string error;   // the decoder's error text when !ok
};

// Decodes `expected` samples from `bytes` bytes of frames (a partial trailing frame is ignored)
// into out[0..capacity). Words are big-endian unless `bigEndian` is false. Never writes past
// `capacity` and never reads past `bytes`; a request larger than capacity fails.
SteimResult decodeSteim1(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                         std::int32_t* out, std::size_t capacity);
SteimResult decodeSteim2(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                         std::int32_t* out, std::size_t capacity);

struct SteimPacked {
    std::size_t count = 0; // values packed
    int frames = 0;        // frames used
    std::string error;     // a difference beyond 30 bits stops packing there
};

// Packs the leading values into at most `frameCount` big-endian Steim2 frames at `frames`
// (zeroed first), densest word first. `previous` is the value before values[0] (the record's
// first difference refers to it; decoders skip it).
SteimPacked encodeSteim2(std::span<const std::int32_t> values, std::int32_t previous, std::uint8_t* frames,
                         int frameCount);

} // namespace tlx
