#include "record/mseed3_record.h"

#include "core/byte_order.h"
#include "core/civil_time.h"
#include "core/text.h"
#include "record/crc32c.h"
#include "record/event_record.h"
#include "record/mseed_encodings.h"

#include <array>
#include <vector>

namespace tlx {

bool isMseed3(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 'M' && bytes[1] == 'S' && bytes[2] == 3;
}

SourceId splitSourceId(std::string_view id) {
    SourceId s;
    constexpr std::string_view kPrefix = "FDSN:";
    if (id.substr(0, kPrefix.size()) != kPrefix) {
        s.station = std::string(id.substr(0, 8));
        return s;
    }
    id.remove_prefix(kPrefix.size());
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= id.size(); ++i)
        if (i == id.size() || id[i] == '_') {
            parts.emplace_back(id.substr(from, i - from));
            from = i + 1;
        }
    // NET_STA_LOC then the channel's codes; a location may itself hold no underscore.
    if (parts.size() < 3) {
        s.station = std::string(id.substr(0, 8));
        return s;
    }
    s.network = parts[0];
    s.station = parts[1];
    s.location = parts[2];
    for (std::size_t i = 3; i < parts.size(); ++i)
        s.channel += parts[i];
    return s;
}

std::uint32_t mseed3Crc(std::span<const std::uint8_t> record) {
    if (record.size() < kMseed3HeaderSize) return 0;
    // The header with its CRC field zeroed, then the rest of the record as it is.
    std::array<std::uint8_t, kMseed3HeaderSize> head{};
    std::copy(record.begin(), record.begin() + kMseed3HeaderSize, head.begin());
    std::fill(head.begin() + kMseed3CrcOffset, head.begin() + kMseed3CrcOffset + 4, 0);
    return crc32c(record.subspan(kMseed3HeaderSize), crc32c(head));
}

RecordStatus parseMseed3Record(std::span<const std::uint8_t> bytes, MseedRecordInfo& info,
                               std::string& error) {
    info = MseedRecordInfo{};
    if (!isMseed3(bytes) || bytes.size() < kMseed3HeaderSize) {
        error = "Short miniSEED 3 record";
        return RecordStatus::Short;
    }
    const std::uint8_t* p = bytes.data();
    const std::size_t idLength = p[33];
    const std::size_t extraLength = readLE<std::uint16_t>(p + 34);
    const std::size_t dataLength = readLE<std::uint32_t>(p + 36);
    const std::size_t length = kMseed3HeaderSize + idLength + extraLength + dataLength;
    if (length > bytes.size()) {
        error = format("miniSEED 3 record of %zu bytes runs past the file end", length);
        return RecordStatus::BadLength;
    }
    const auto record = bytes.first(length);
    const std::uint32_t stored = readLE<std::uint32_t>(p + kMseed3CrcOffset);
    if (mseed3Crc(record) != stored) {
        error = "miniSEED 3 record CRC mismatch";
        return RecordStatus::BadCrc;
    }
    const std::uint32_t nanos = readLE<std::uint32_t>(p + 4);
    const int year = readLE<std::uint16_t>(p + 8);
    const int day = readLE<std::uint16_t>(p + 10);
    if (nanos > 999'999'999u || day < 1 || day > 366 || p[12] > 23 || p[13] > 59 || p[14] > 60) {
        error = "miniSEED 3 record start time out of range";
        return RecordStatus::BadLength;
    }
    const std::int64_t seconds =
        (daysFromCivil(year, 1, 1) + day - 1) * kSecondsPerDay + p[12] * 3600 + p[13] * 60 + p[14];
    info.startMicros = seconds * 1'000'000 + (nanos + 500) / 1000; // to the nearest microsecond
    info.encoding = p[15];
    const double rateOrPeriod = readLE<double>(p + 16);
    info.rate = rateOrPeriod > 0 ? rateOrPeriod : rateOrPeriod < 0 ? -1.0 / rateOrPeriod : 0.0;
    const std::uint32_t count = readLE<std::uint32_t>(p + 24);
    if (count > static_cast<std::uint32_t>(kMaxSampleCount)) {
        error = format("miniSEED 3 record claims %u samples", count);
        return RecordStatus::BadLength;
    }
    info.sampleCount = static_cast<int>(count);
    const std::string_view id(reinterpret_cast<const char*>(p + kMseed3HeaderSize), idLength);
    SourceId source = splitSourceId(id);
    info.network = std::move(source.network);
    info.station = std::move(source.station);
    info.location = std::move(source.location);
    info.channel = std::move(source.channel);
    info.length = length;
    info.dataOffset = kMseed3HeaderSize + idLength + extraLength;
    info.dataBytes = dataLength;
    // Steim frames and the gain-ranged formats of old networks keep their big-endian words.
    info.dataBigEndian = !(info.encoding >= kEncInt16 && info.encoding <= kEncFloat64);
    return RecordStatus::Ok;
}

} // namespace tlx
