// CSeed: reading a MINISEED file (miniSEED 2 or 3 records) into traces.
#include "record/seed.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "record/mseed_encodings.h"
#include "record/seed_memory.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <new>

namespace tlx {

struct CSeed::PlacedRecord {
    std::size_t offset = 0;
    MseedRecordInfo info;
};

namespace {

constexpr std::int64_t kMaxSlewMicros = 100'000'000;
constexpr std::size_t kMinRecordSize = 40; // a miniSEED 3 fixed header

std::string identityKey(const MseedRecordInfo& r) {
    return r.network + '\x1f' + r.station + '\x1f' + r.location + '\x1f' + r.channel;
}

// Appends a text record's characters (at most the header's count), up to the log limit.
void appendLog(std::string& log, const std::uint8_t* data, std::size_t bytes, int count) {
    std::size_t n = std::min(bytes, static_cast<std::size_t>(std::max(count, 0)));
    n = std::min(n, kMaxLogText - std::min(kMaxLogText, log.size()));
    log.append(reinterpret_cast<const char*>(data), n);
    while (!log.empty() && (log.back() == '\0' || log.back() == ' '))
        log.pop_back();
}

} // namespace

void CSeed::clear() {
    traces_.clear();
    control_ = SeedControl{};
    isVolume_ = false;
    formatUnsupported_ = false;
    lastError_.clear();
    logText_.clear();
}

void CSeed::fail(const std::string& text) {
    lastError_ = text;
    logFormat("SEED %s: %s", sourcePath_.c_str(), text.c_str());
}

void CSeed::trace(const std::string& text) const {
    if (debug) logLine(text);
}

// One channel's records, sorted by time, become a trace: a record starting before the end of
// the samples already placed gives only its later samples; one more than the slew limit away
// from the expected time ends the trace. False when a record does not decode.
bool CSeed::placeChannel(std::span<const std::uint8_t> bytes, std::vector<PlacedRecord>& records,
                         bool decode) {
    std::stable_sort(records.begin(), records.end(), [](const PlacedRecord& a, const PlacedRecord& b) {
        return a.info.startMicros < b.info.startMicros;
    });
    SeedTrace t;
    const MseedRecordInfo& first = records.front().info;
    t.station = first.station;
    t.channel = first.channel;
    t.network = first.network;
    t.location = first.location;
    t.startMicros = first.startMicros;
    t.rate = first.rate;
    std::size_t planned = 0;
    for (const PlacedRecord& r : records) {
        if (isRealEncoding(r.info.encoding)) t.real = true;
        if (r.info.encoding == kEncFloat64) t.realWidth = 8;
        planned += std::min(static_cast<std::size_t>(r.info.sampleCount), r.info.dataBytes * 2);
    }
    if (decode) {
        if (t.real)
            reserveLarge(t.reals, planned);
        else
            reserveLarge(t.samples, planned);
    }
    std::vector<std::int32_t> scratch;
    bool started = false;
    for (const PlacedRecord& r : records) {
        const MseedRecordInfo& h = r.info;
        if (h.sampleCount == 0) continue;
        std::size_t skip = 0;
        if (!started) {
            t.startMicros = h.startMicros;
            t.rate = h.rate;
            started = true;
        } else if (t.rate > 0) {
            const double expected =
                static_cast<double>(t.startMicros) + static_cast<double>(t.count) * 1e6 / t.rate;
            const double late = static_cast<double>(h.startMicros) - expected;
            if (splitAtGaps_ && late * t.rate / 1e6 >= 1) {
                SeedTrace next;
                next.station = t.station;
                next.channel = t.channel;
                next.network = t.network;
                next.location = t.location;
                next.real = t.real;
                next.realWidth = t.realWidth;
                next.startMicros = h.startMicros;
                next.rate = h.rate;
                traces_.push_back(std::move(t));
                t = std::move(next);
            } else if (std::fabs(late) > static_cast<double>(kMaxSlewMicros)) {
                fail("Max slew exceeded - time series prematurely terminated");
                break;
            }
            if (late < 0)
                skip = std::min(static_cast<std::size_t>(h.sampleCount),
                                static_cast<std::size_t>(std::llround(-late * t.rate / 1e6)));
        }
        const std::size_t count = static_cast<std::size_t>(h.sampleCount);
        if (!decode) {
            t.count += count - skip;
            continue;
        }
        const std::uint8_t* data = bytes.data() + r.offset + h.dataOffset;
        DecodeResult d;
        if (count > h.dataBytes * 2) {
            d.error = format("%zu samples claimed by %zu bytes of data", count, h.dataBytes);
        } else if (t.real && isRealEncoding(h.encoding)) {
            const std::size_t n = t.reals.size();
            t.reals.resize(n + count);
            d = decodeReals(h.encoding, data, h.dataBytes, h.dataBigEndian, h.sampleCount, t.reals.data() + n,
                            count);
            t.reals.erase(t.reals.begin() + static_cast<std::ptrdiff_t>(n),
                          t.reals.begin() + static_cast<std::ptrdiff_t>(n + skip));
        } else if (t.real) {
            scratch.resize(count);
            d = decodeIntegers(h.encoding, data, h.dataBytes, h.dataBigEndian, h.sampleCount, scratch.data(),
                               count);
            t.reals.insert(t.reals.end(), scratch.begin() + static_cast<std::ptrdiff_t>(skip), scratch.end());
        } else {
            const std::size_t n = t.samples.size();
            t.samples.resize(n + count);
            d = decodeIntegers(h.encoding, data, h.dataBytes, h.dataBigEndian, h.sampleCount,
                               t.samples.data() + n, count);
            t.samples.erase(t.samples.begin() + static_cast<std::ptrdiff_t>(n),
                            t.samples.begin() + static_cast<std::ptrdiff_t>(n + skip));
        }
        if (!d.ok || d.count != h.sampleCount) {
            logFormat("SEED %s: record at %zu: %s", sourcePath_.c_str(), r.offset, d.error.c_str());
            fail("Error unpacking data");
            return false;
        }
        t.count += count - skip;
    }
    traces_.push_back(std::move(t));
    return true;
}

bool CSeed::readMiniSeed(std::span<const std::uint8_t> bytes, bool decode) {
    clear();
    trace("Start goodMseedFile");
    // The records of each channel, channels in the order of their first record.
    std::vector<std::vector<PlacedRecord>> channels;
    std::map<std::string, std::size_t> channelOf;
    std::size_t offset = 0;
    try {
        while (bytes.size() - offset >= kMinRecordSize) {
            PlacedRecord r;
            r.offset = offset;
            std::string error;
            if (parseMiniSeedRecord(bytes.subspan(offset), r.info, error) != RecordStatus::Ok) {
                fail(error);
                break;
            }
            if (debug) trace(format("readMSRecord returning sts=%d", 0));
            const MseedRecordInfo& h = r.info;
            offset += h.length;
            if (h.encoding == kEncText) {
                appendLog(logText_, bytes.data() + r.offset + h.dataOffset, h.dataBytes, h.sampleCount);
                continue;
            }
            if (!isIntegerEncoding(h.encoding) && !isRealEncoding(h.encoding)) {
                fail(format("Error: Currently unable to read format %d for %s.%s.%s", h.encoding,
                            h.station.c_str(), h.channel.c_str(), h.network.c_str()));
                return false;
            }
            const auto [it, fresh] = channelOf.try_emplace(identityKey(h), channels.size());
            if (fresh) channels.emplace_back();
            channels[it->second].push_back(std::move(r));
        }
        for (std::vector<PlacedRecord>& records : channels)
            if (!placeChannel(bytes, records, decode)) {
                traces_.clear();
                return false;
            }
    } catch (const std::bad_alloc&) {
        fail("Unable to malloc/realloc for data");
        traces_.clear();
        return false;
    }
    if (traces_.empty() && lastError_.empty())
        fail(logText_.empty() ? "No samples in the file" : "Text records only");
    return !traces_.empty();
}

} // namespace tlx
