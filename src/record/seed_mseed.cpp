// CSeed: reading a MINISEED file into traces.
#include "record/seed.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "record/mseed_decode.h"
#include "record/seed_memory.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace tlx {
namespace {

constexpr std::int64_t kMaxSlewMicros = 100'000'000;

bool sameIdentity(const SeedTrace& t, const DataRecordHeader& h) {
    return t.station == h.station && t.channel == h.channel && t.network == h.network &&
           t.location == h.location;
}

// Room for `more` samples at the end, growing in whole steps of kTraceGrowth and at least
// doubling, so that a long file does not copy its samples once per step.
void makeRoom(std::vector<std::int32_t>& v, std::size_t more) {
    const std::size_t needed = v.size() + more;
    if (needed <= v.capacity()) return;
    std::size_t target = std::max(needed, v.capacity() * 2);
    target = (target + kTraceGrowth - 1) / kTraceGrowth * kTraceGrowth;
    v.reserve(target);
}

// The sample counts of the traces a file will give, from its record headers alone, so that each
// trace's buffer is allocated once (a day of 100 sps data would otherwise be copied as it grows).
std::vector<std::size_t> plannedTraceSizes(std::span<const std::uint8_t> bytes) {
    std::vector<std::size_t> sizes;
    DataRecordHeader previous;
    std::size_t offset = 0;
    while (offset + kDataHeaderSize <= bytes.size()) {
        DataRecordHeader h;
        std::string error;
        if (parseDataRecord(bytes.subspan(offset), true, 0, h, error) != RecordStatus::Ok) break;
        if (sizes.empty() || h.station != previous.station || h.channel != previous.channel ||
            h.network != previous.network || h.location != previous.location)
            sizes.push_back(0);
        sizes.back() += static_cast<std::size_t>(h.sampleCount);
        offset += static_cast<std::size_t>(h.recordLength);
        previous = std::move(h);
    }
    return sizes;
}

} // namespace

void CSeed::clear() {
    traces_.clear();
    control_ = SeedControl{};
    isVolume_ = false;
    formatUnsupported_ = false;
    lastError_.clear();
}

void CSeed::fail(const std::string& text) {
    lastError_ = text;
    logFormat("SEED %s: %s", sourcePath_.c_str(), text.c_str());
}

void CSeed::trace(const std::string& text) const {
    if (debug) logLine(text);
}

bool CSeed::readMiniSeed(std::span<const std::uint8_t> bytes, bool decode) {
    clear();
    trace("Start goodMseedFile");
    SeedTrace current;
    bool open = false;
    std::size_t offset = 0;
    try {
        const std::vector<std::size_t> planned =
            decode ? plannedTraceSizes(bytes) : std::vector<std::size_t>{};
        while (offset + kDataHeaderSize <= bytes.size()) {
            DataRecordHeader h;
            std::string error;
            if (parseDataRecord(bytes.subspan(offset), true, 0, h, error) != RecordStatus::Ok) {
                fail(error);
                break;
            }
            if (debug) trace(format("readMSRecord returning sts=%d", 0));
            const double rate = sampleRate(h.rateFactor, h.rateMultiplier);
            const std::int64_t start = btimeMicros(h.start);
            if (open && !sameIdentity(current, h)) {
                traces_.push_back(std::move(current));
                current = SeedTrace{};
                open = false;
            }
            if (!open) {
                current.station = h.station;
                current.channel = h.channel;
                current.network = h.network;
                current.location = h.location;
                current.start = h.start;
                current.startMicros = start;
                current.rate = rate;
                if (traces_.size() < planned.size()) reserveLarge(current.samples, planned[traces_.size()]);
                open = true;
            } else if (current.rate > 0) {
                const double expected = static_cast<double>(current.startMicros) +
                                        static_cast<double>(current.count) * 1e6 / current.rate;
                if (std::fabs(static_cast<double>(start) - expected) > static_cast<double>(kMaxSlewMicros)) {
                    fail("Max slew exceeded - time series prematurely terminated");
                    break;
                }
            }
            if (h.encoding != 10 && h.encoding != 11) {
                fail(format("Error: Currently unable to read format %d for %s.%s.%s", h.encoding,
                            h.station.c_str(), h.channel.c_str(), h.network.c_str()));
                traces_.clear();
                return false;
            }
            if (!decode) {
                current.count += static_cast<std::size_t>(h.sampleCount);
                offset += static_cast<std::size_t>(h.recordLength);
                continue;
            }
            const std::size_t n = current.samples.size();
            makeRoom(current.samples, static_cast<std::size_t>(h.sampleCount));
            current.samples.resize(n + static_cast<std::size_t>(h.sampleCount));
            const std::size_t dataStart = static_cast<std::size_t>(h.dataOffset);
            const std::size_t dataBytes =
                static_cast<std::size_t>(h.recordLength) - std::min<std::size_t>(dataStart, h.recordLength);
            const DecodeResult d =
                h.sampleCount == 0
                    ? DecodeResult{true, 0, false, {}}
                    : decodeSamples(h.encoding == 10 ? SampleDecoder::Steim1 : SampleDecoder::Steim2,
                                    bytes.data() + offset + dataStart, dataBytes, h.dataBigEndian,
                                    h.sampleCount, current.samples.data() + n,
                                    static_cast<std::size_t>(h.sampleCount));
            if (!d.ok || d.count != h.sampleCount) {
                logFormat("SEED %s: record at %zu: %s", sourcePath_.c_str(), offset, d.error.c_str());
                fail("Error unpacking data");
                traces_.clear();
                return false;
            }
            current.count = current.samples.size();
            offset += static_cast<std::size_t>(h.recordLength);
        }
    } catch (const std::bad_alloc&) {
        fail("Unable to malloc/realloc for data");
        traces_.clear();
        return false;
    }
    if (open) traces_.push_back(std::move(current));
    return !traces_.empty();
}

} // namespace tlx
