// SVX Type 2 and 3 event files: a 7-byte preamble, a 200-byte header of 16-bit words, int16
// samples, no CRC. Read, converted to SVX Type 4, renamed to the long form, and updated in place
// when an event report is attached.
#pragma once

#include "record/format_reader.h"
#include "record/svx4_writer.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace tlx {

constexpr std::size_t kSvx3PreambleSize = 7;
constexpr std::size_t kSvx3HeaderSize = 200;
constexpr std::size_t kSvx3DataOffset = kSvx3PreambleSize + kSvx3HeaderSize;
constexpr std::uint8_t kSvx3FileMark = 0xFD;

namespace svx3 {
// Header word offsets (from the header's first byte).
enum Word : std::size_t {
    kVersion = 0,
    kYear = 2,
    kMonth = 4,
    kDay = 6,
    kHour = 8,
    kMinute = 10,
    kSecond = 12,
    kTenths = 14,
    kEndHour = 16,
    kEndMinute = 18,
    kEndSecond = 20,
    kEndTenths = 22,
    kCountWord = 24,
    kDcOffset = 26,
    kDataMin = 28,
    kDataMax = 30,
    kOrientation = 32,
    kLatDeg = 34,
    kLatThou = 36,
    kLonDeg = 38,
    kLonThou = 40,
    kEventFlag = 42,
    kEventMinute = 44,
    kEventSecond = 46,
    kEventTenths = 48,
    kLocation = 50,
    kV2Comment = 80,
    kAdBits = 88,
    kMagCorrWhole = 90,
    kMagCorrFrac = 92,
    kUtcByte = 94,
    kEventHourByte = 95,
    kEventDayByte = 96,
    kEventMonthByte = 97,
    kMagType = 100,
    kMagnitude = 104,
    kDepth = 106,
    kEvLatDeg = 108,
    kEvLatThou = 110,
    kEvLonDeg = 112,
    kEvLonThou = 114,
    kPPick = 116,
    kSPick = 118,
    kPWeightByte = 120,
    kSWeightByte = 121,
    kPickFlags = 122,
    kLock = 124,
    kMdDuration = 126,
    kSmallCorrCode = 128,
    kSmallCorrValue = 130,
    kComment = 140,
};

constexpr std::size_t kLocationChars = 15;
constexpr std::size_t kCommentChars = 60;
} // namespace svx3

// The check on the first 207 bytes; on success `count` holds the sample count the file claims.
bool svx3Check(std::span<const std::uint8_t> bytes, int& count);

// Converts the preamble and header (207 bytes, already checked) into a cleared record. `path`
// gives the sensor id (its extension); SENSOR.DAT defaults are applied when settings are given.
// False when the start and end times give no usable sample rate.
bool svx3HeaderToRecord(std::span<const std::uint8_t> bytes, const std::string& path,
                        const LoaderSettings* settings, EventRecord& record);

// Writes an event entry into a version 3 header (200 bytes) the way the Type 3 writer stores it.
void storeSvx3Event(std::uint8_t* header, const EventEntry& entry);

// Angles are stored as whole degrees and thousandths carrying the sign of the value.
void encodeSvx3Angle(double value, std::int16_t& degrees, std::int16_t& thousandths);
double decodeSvx3Angle(std::int16_t degrees, std::int16_t thousandths);

class Svx3Reader : public FormatReader {
  public:
    int kind() const override { return kKindSvx4; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
};

// Adds a report to a stored Type 3 file's header; the samples stay as they are.
bool attachEventToSvx3File(const std::filesystem::path& path, const AddReport& addReport, Messages& messages);
bool isSvx3File(std::span<const std::uint8_t> bytes);

// Reads a Type 2 or 3 file and writes it as SVX Type 4 with its samples unchanged (int16, or
// int32 when the DC correction takes a value outside int16). With deleteOld the source goes
// once the new file is written.
bool convertSvx3ToSvx4(const std::filesystem::path& source, const std::filesystem::path& target,
                       bool deleteOld, const LoaderSettings& settings, Messages& messages);

// "<dir>/yymmdd.hhmmss.<ext>.svx" (name lower-cased) from a Type 3 file's start time.
std::filesystem::path svx3LongName(const std::filesystem::path& path, const EventTime& start);
// Renames a Type 3 file to its long form; false for an unreadable header or a failed rename.
bool renameSvx3ToLongForm(const std::filesystem::path& path, std::filesystem::path& renamed);

} // namespace tlx
