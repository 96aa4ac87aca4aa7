// SAC binary files: the 632-byte header of 70 floats, 40 integers and 24 eight-character
// strings (KEVNM takes two), in either byte order, followed by the samples as 32-bit floats.
#pragma once

#include "record/event_record.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tlx {

constexpr std::size_t kSacHeaderSize = 632;
constexpr float kSacUndefinedFloat = -12345.0f;
constexpr std::int32_t kSacUndefinedInt = -12345;

// Float words by index (byte offset = 4 x index).
enum SacFloat : int {
    kSacDelta = 0,
    kSacDepMin = 1,
    kSacDepMax = 2,
    kSacScale = 3,
    kSacB = 5,
    kSacE = 6,
    kSacO = 7,
    kSacStla = 31,
    kSacStlo = 32,
    kSacStel = 33,
    kSacStdp = 34,
    kSacEvla = 35,
    kSacEvlo = 36,
    kSacEvdp = 38,
    kSacMag = 39,
    kSacUser1 = 41,
    kSacDist = 50,
    kSacAz = 51,
    kSacBaz = 52,
    kSacGcarc = 53,
    kSacDepMen = 56,
    kSacCmpAz = 57,
    kSacCmpInc = 58,
};
// Integer words by index (byte offset = 280 + 4 x index).
enum SacInt : int {
    kSacNzYear = 0,
    kSacNzJday = 1,
    kSacNzHour = 2,
    kSacNzMin = 3,
    kSacNzSec = 4,
    kSacNzMsec = 5,
    kSacNvhdr = 6,
    kSacNpts = 9,
    kSacIftype = 15,
    kSacIdep = 16,
    kSacLeven = 35,
    kSacLpspol = 36,
    kSacLcalda = 38,
};
// String fields by byte offset.
enum SacText : int { kSacKstnm = 440, kSacKevnm = 448, kSacKcmpnm = 600, kSacKnetwk = 608 };

// IDEP codes: the SAC standard's displacement, velocity and acceleration.
constexpr std::int32_t kSacIdisp = 6, kSacIvel = 7, kSacIacc = 8;

struct SacHeader {
    std::array<float, 70> f;
    std::array<std::int32_t, 40> i;
    std::array<char, 192> k; // bytes 440..631

    SacHeader(); // every word undefined
    bool defined(SacFloat w) const { return f[w] != kSacUndefinedFloat; }
    // A string field without trailing blanks or NULs; empty when undefined ("-12345").
    std::string text(SacText field, std::size_t width = 8) const;
    void setText(SacText field, const std::string& value, std::size_t width = 8); // blank-padded
};

enum class SacByteOrder { Little, Big };

// The SAC check: the byte order from NZYEAR (little-endian first), then the date, time and NPTS
// ranges, and a usable DELTA. False when the bytes are not a SAC header.
bool parseSacHeader(std::span<const std::uint8_t> bytes, SacHeader& header, SacByteOrder& order);
std::array<std::uint8_t, kSacHeaderSize> encodeSacHeader(const SacHeader& header, SacByteOrder order);

// Fills a cleared record from a header that passed the check.
void sacHeaderToRecord(const SacHeader& header, EventRecord& record);

} // namespace tlx
