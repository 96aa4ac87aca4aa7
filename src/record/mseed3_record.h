// miniSEED 3 records (FDSN 2023): a 40-byte little-endian fixed header, the source identifier,
// extra headers (JSON, skipped) and the data payload, guarded by a CRC-32C of the whole record.
#pragma once

#include "record/mseed_record.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tlx {

constexpr std::size_t kMseed3HeaderSize = 40;
constexpr std::size_t kMseed3CrcOffset = 28;

// "MS" and format version 3 at the start of `bytes`.
bool isMseed3(std::span<const std::uint8_t> bytes);

struct SourceId {
    std::string network, station, location, channel;
};
// "FDSN:NET_STA_LOC_B_S_SS": the channel joins band, source and subsource ("BHZ"). Another
// identifier becomes the station, cut to 8 characters.
SourceId splitSourceId(std::string_view id);

// The CRC a record stores is computed with its own four bytes as zeros.
std::uint32_t mseed3Crc(std::span<const std::uint8_t> record);

RecordStatus parseMseed3Record(std::span<const std::uint8_t> bytes, MseedRecordInfo& info,
                               std::string& error);

} // namespace tlx
