// The fixed data header of a SEED data record (48 bytes), its blockette chain and blockette 1000.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tlx {

constexpr std::size_t kDataHeaderSize = 48;
constexpr std::size_t kMaxRecordLength = 32768; // the reader's record buffer

// SEED BTIME: year, day of year, time with ten-thousandths of a second.
struct BTime {
    int year = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int fract = 0; // 0.0001 s
};

// Microseconds since 1970-01-01 (UTC, no leap seconds).
std::int64_t btimeMicros(const BTime& t);

struct DataRecordHeader {
    char quality = 0;
    std::string station, location, channel, network; // blanks removed
    BTime start;
    int sampleCount = 0;
    int rateFactor = 0;
    int rateMultiplier = 0;
    std::int32_t timeCorrection = 0;
    int dataOffset = 0;
    bool headerBigEndian = true;
    bool hasB1000 = false;
    int encoding = -1;
    bool dataBigEndian = true; // blockette 1000 word order; the header's order without one
    int recordLength = 0;      // from blockette 1000, 0 without one
    int microOffset = 0;       // blockette 1001: microseconds added to the start time
};

// Samples per second from the rate factor and multiplier.
double sampleRate(int factor, int multiplier);

// Big-endian when the year's two bytes read as 1800..2054 stored big-endian.
bool yearIsBigEndian(std::uint8_t first, std::uint8_t second);

// True for the data quality indicators 'D', 'R', 'Q', 'M'.
bool isDataQuality(char c);

enum class RecordStatus { Ok, BadQuality, BadBlockette, NoB1000, BadLength, Short, BadCrc };

// Parses the record at the start of `bytes` (which may run on to the end of the file).
// Blockettes must lie within `recordLimit` bytes when it is non-zero (a SEED volume's logical
// record length), else within the record length blockette 1000 gives. With `requireB1000`
// false a record without blockette 1000 is accepted. On failure `error` holds the reason.
RecordStatus parseDataRecord(std::span<const std::uint8_t> bytes, bool requireB1000, std::size_t recordLimit,
                             DataRecordHeader& header, std::string& error);

// One data record of either miniSEED version, as the reader places and decodes it.
struct MseedRecordInfo {
    std::size_t length = 0; // bytes of the whole record
    std::string station, channel, network, location;
    std::int64_t startMicros = 0;
    double rate = 0;
    int sampleCount = 0;
    int encoding = -1;
    std::size_t dataOffset = 0; // from the record's start
    std::size_t dataBytes = 0;
    bool dataBigEndian = true;
};

// A miniSEED 2 record with blockette 1000, or a miniSEED 3 record (its CRC checked), at the
// start of `bytes`.
RecordStatus parseMiniSeedRecord(std::span<const std::uint8_t> bytes, MseedRecordInfo& info,
                                 std::string& error);

} // namespace tlx
