// Builds MINISEED data records and SEED volumes for tests: Steim1 records of 32-bit differences,
// Steim2 records of 30-bit differences, or 16-bit integer records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tlx::test {

struct MseedSpec {
    std::string station = "TEST", channel = "BHZ", network = "XX", location = "";
    int year = 2024, day = 61, hour = 12, minute = 0, second = 0, fract = 0;
    int rateFactor = 100, rateMultiplier = 1;
    char quality = 'D';
    int encoding = 10;      // 10 Steim1, 11 Steim2, 1 int16
    int lengthExponent = 9; // 512-byte records
    bool bigEndian = true;
    bool withB1000 = true;
    std::vector<std::int32_t> samples;
    std::int32_t xnAdjust = 0; // added to the reverse integration constant
};

// One record; the samples must fit it (see capacity()).
std::vector<std::uint8_t> buildRecord(const MseedSpec& spec);
// Samples one record of this spec can hold.
int capacity(const MseedSpec& spec);
// Records for all samples, each following record starting where the previous one ends.
std::vector<std::uint8_t> buildRecords(MseedSpec spec, const std::vector<std::int32_t>& samples);

std::vector<std::int32_t> rampInts(std::size_t n, std::int32_t start = 0, std::int32_t step = 3);

} // namespace tlx::test

namespace tlx::test {

// One control blockette: 3-digit type, 4-digit length, then the body.
std::string blockette(int type, const std::string& body);

struct ControlRecord {
    char type;                           // 'V', 'A', 'S' or 'T'
    std::vector<std::string> blockettes; // continued into following records when they overflow
};

// A SEED volume of 2^exponent-byte records: the control records, then the data records (each
// padded or cut to the record length).
std::vector<std::uint8_t> buildSeedVolume(int exponent, const std::vector<ControlRecord>& control,
                                          const std::vector<std::vector<std::uint8_t>>& dataRecords);

} // namespace tlx::test
