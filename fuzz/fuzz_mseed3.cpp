// miniSEED 3 records: the record parser with its CRC (also with the CRC made to match, so that
// the fields behind it are reached) and the reader of whole files.
#include "core/byte_order.h"
#include "record/mseed3_record.h"
#include "record/seed.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    tlx::MseedRecordInfo info;
    std::string error;
    tlx::parseMseed3Record(bytes, info, error);
    tlx::CSeed seed;
    seed.readMiniSeed(bytes);

    // The same bytes with a CRC that matches the record length the header claims.
    std::vector<std::uint8_t> fixed(data, data + size);
    if (fixed.size() >= tlx::kMseed3HeaderSize) {
        const std::size_t length = tlx::kMseed3HeaderSize + fixed[33] +
                                   tlx::readLE<std::uint16_t>(&fixed[34]) +
                                   tlx::readLE<std::uint32_t>(&fixed[36]);
        if (length <= fixed.size()) {
            tlx::writeLE<std::uint32_t>(&fixed[tlx::kMseed3CrcOffset],
                                        tlx::mseed3Crc(std::span(fixed).first(length)));
            tlx::parseMseed3Record(fixed, info, error);
            if (seed.readMiniSeed(fixed))
                for (std::size_t k = 0; k < seed.traces().size() && k < 4; ++k) {
                    tlx::EventRecord record;
                    std::vector<double> samples;
                    seed.fillFromTrace(k, record, &samples);
                }
        }
    }
    return 0;
}
