#include "record/mseed_record.h"

#include "core/byte_order.h"
#include "core/civil_time.h"
#include "core/text.h"
#include "record/mseed3_record.h"

#include <algorithm>

namespace tlx {
namespace {

std::string codeText(const std::uint8_t* p, std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != ' ' && p[i] != 0) s.push_back(static_cast<char>(p[i]));
    return s;
}

// Fixed lengths of the data-record blockettes of the standard; 0 for unknown types.
std::size_t blocketteLength(int type, const std::uint8_t* b, std::size_t available, bool bigEndian) {
    switch (type) {
    case 100:
        return 12;
    case 200:
        return 52;
    case 201:
        return 60;
    case 300:
        return 60;
    case 310:
        return 60;
    case 320:
        return 64;
    case 390:
        return 28;
    case 395:
        return 16;
    case 400:
        return 16;
    case 405:
        return 6;
    case 500:
        return 200;
    case 1000:
        return 8;
    case 1001:
        return 8;
    case 2000:
        return available >= 6 ? readOrdered<std::uint16_t>(b + 4, bigEndian) : 0;
    default:
        return 0;
    }
}

} // namespace

std::int64_t btimeMicros(const BTime& t) {
    const std::int64_t days = daysFromCivil(t.year, 1, 1) + (t.day - 1);
    const std::int64_t seconds = days * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second;
    return seconds * 1'000'000 + static_cast<std::int64_t>(t.fract) * 100;
}

double sampleRate(int f, int m) {
    if (f == 0) return 0;
    if (m == 0) m = 1;
    if (f > 0 && m > 0) return static_cast<double>(f) * m;
    if (f > 0) return -static_cast<double>(f) / m;
    if (m > 0) return -static_cast<double>(m) / f;
    return 1.0 / (static_cast<double>(f) * m);
}

bool yearIsBigEndian(std::uint8_t first, std::uint8_t second) {
    return (first == 7 && second >= 8) || (first == 8 && second < 7);
}

bool isDataQuality(char c) {
    return c == 'D' || c == 'R' || c == 'Q' || c == 'M';
}

RecordStatus parseDataRecord(std::span<const std::uint8_t> bytes, bool requireB1000, std::size_t recordLimit,
                             DataRecordHeader& h, std::string& error) {
    h = DataRecordHeader{};
    if (bytes.size() < kDataHeaderSize) {
        error = "Short record";
        return RecordStatus::Short;
    }
    const std::uint8_t* p = bytes.data();
    h.quality = static_cast<char>(p[6]);
    if (!isDataQuality(h.quality)) {
        error = format("Bad Fixed Header Record ind = %c (%d)", h.quality, p[6]);
        return RecordStatus::BadQuality;
    }
    h.station = codeText(p + 8, 5);
    h.location = codeText(p + 13, 2);
    h.channel = codeText(p + 15, 3);
    h.network = codeText(p + 18, 2);
    const bool be = yearIsBigEndian(p[20], p[21]);
    h.headerBigEndian = be;
    h.dataBigEndian = be;
    h.start.year = readOrdered<std::uint16_t>(p + 20, be);
    h.start.day = readOrdered<std::uint16_t>(p + 22, be);
    h.start.hour = p[24];
    h.start.minute = p[25];
    h.start.second = p[26];
    h.start.fract = readOrdered<std::uint16_t>(p + 28, be);
    h.sampleCount = readOrdered<std::uint16_t>(p + 30, be);
    h.rateFactor = readOrdered<std::int16_t>(p + 32, be);
    h.rateMultiplier = readOrdered<std::int16_t>(p + 34, be);
    h.timeCorrection = readOrdered<std::int32_t>(p + 40, be);
    h.dataOffset = readOrdered<std::uint16_t>(p + 44, be);
    std::size_t offset = readOrdered<std::uint16_t>(p + 46, be);

    // Blockettes: the chain must move forward and stay inside the buffer; the record's own
    // length is checked once blockette 1000 has given it.
    const std::size_t limit = std::min(bytes.size(), recordLimit ? recordLimit : kMaxRecordLength);
    std::size_t chainEnd = kDataHeaderSize;
    if (offset != 0 && offset < kDataHeaderSize) {
        error = format("First blockette offset %zu inside the fixed header", offset);
        return RecordStatus::BadBlockette;
    }
    while (offset != 0) {
        if (offset + 4 > limit) {
            error = format("Blockette at %zu runs past the record end", offset);
            return RecordStatus::BadBlockette;
        }
        const int type = readOrdered<std::uint16_t>(p + offset, be);
        const std::size_t next = readOrdered<std::uint16_t>(p + offset + 2, be);
        std::size_t length = blocketteLength(type, p + offset, limit - offset, be);
        if (length == 0) {
            if (next == 0) {
                error = format("Unknown blockette %d of unknown size", type);
                return RecordStatus::BadBlockette;
            }
            length = next > offset ? next - offset : 0;
        }
        if (length < 4 || offset + length > limit) {
            error = format("Blockette %d at %zu runs past the record end", type, offset);
            return RecordStatus::BadBlockette;
        }
        if (type == 1000) {
            h.hasB1000 = true;
            h.encoding = p[offset + 4];
            h.dataBigEndian = p[offset + 5] != 0;
            const int exponent = p[offset + 6];
            h.recordLength = (exponent >= 7 && exponent <= 15) ? (1 << exponent) : -1;
        } else if (type == 1001) {
            h.microOffset = static_cast<std::int8_t>(p[offset + 5]);
        }
        chainEnd = offset + length;
        if (next != 0 && next < chainEnd) {
            error = format("Blockette %d at %zu points back to %zu", type, offset, next);
            return RecordStatus::BadBlockette;
        }
        offset = next;
    }
    if (!h.hasB1000 && requireB1000) {
        error = "Can't find blk 1000";
        return RecordStatus::NoB1000;
    }
    if (h.hasB1000 && h.recordLength < 0) {
        error = "Record length exponent out of range";
        return RecordStatus::BadLength;
    }
    const std::size_t length = recordLimit ? recordLimit : static_cast<std::size_t>(h.recordLength);
    if (length > bytes.size() || chainEnd > length ||
        (h.sampleCount > 0 &&
         (h.dataOffset < static_cast<int>(chainEnd) || static_cast<std::size_t>(h.dataOffset) > length))) {
        error = format("Record of %zu bytes does not fit the file or its blockettes", length);
        return RecordStatus::BadLength;
    }
    return RecordStatus::Ok;
}

RecordStatus parseMiniSeedRecord(std::span<const std::uint8_t> bytes, MseedRecordInfo& info,
                                 std::string& error) {
    if (isMseed3(bytes)) return parseMseed3Record(bytes, info, error);
    info = MseedRecordInfo{};
    DataRecordHeader h;
    const RecordStatus status = parseDataRecord(bytes, true, 0, h, error);
    if (status != RecordStatus::Ok) return status;
    info.length = static_cast<std::size_t>(h.recordLength);
    info.station = std::move(h.station);
    info.channel = std::move(h.channel);
    info.network = std::move(h.network);
    info.location = std::move(h.location);
    info.startMicros = btimeMicros(h.start) + h.microOffset;
    info.rate = sampleRate(h.rateFactor, h.rateMultiplier);
    info.sampleCount = h.sampleCount;
    info.encoding = h.encoding;
    info.dataOffset = std::min<std::size_t>(static_cast<std::size_t>(h.dataOffset), info.length);
    info.dataBytes = info.length - info.dataOffset;
    info.dataBigEndian = h.dataBigEndian;
    return RecordStatus::Ok;
}

} // namespace tlx
