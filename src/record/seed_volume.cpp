// CSeed: reading a SEED volume (control headers and data records) and dataless volumes.
#include "record/seed.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "record/mseed_encodings.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace tlx {
namespace {

constexpr std::int64_t kRunGapSeconds = 200;

// The record's start in whole seconds; ten-thousandths of 5,000 or more round up.
std::int64_t wholeSeconds(const BTime& t) {
    return btimeMicros(t) / 1'000'000 + (t.fract >= 5000 ? 1 : 0);
}

bool plausibleTime(const BTime& t) {
    return t.year >= 1970 && t.year <= 2200 && t.day >= 1 && t.day <= 366 && t.hour <= 23 && t.minute <= 59 &&
           t.second <= 59;
}

// The record's encoding code: blockette 1000's when it has one, else the dictionary's decoder.
bool decoderFor(const DataRecordHeader& h, const SeedControl& control, const SeedChannel& channel,
                int& encoding, bool& unsupported) {
    unsupported = false;
    if (h.hasB1000) {
        encoding = h.encoding;
        // Real-valued data would need a trace of reals; volumes carry integer channels.
        unsupported = isRealEncoding(h.encoding);
        return isIntegerEncoding(h.encoding);
    }
    if (control.formats.empty()) { // no dictionary: nothing names the record's format
        unsupported = true;
        return false;
    }
    switch (control.decoderFor(channel)) {
    case SeedDecoder::Steim1:
        encoding = kEncSteim1;
        return true;
    case SeedDecoder::Steim2:
        encoding = kEncSteim2;
        return true;
    case SeedDecoder::Dwwssn:
        encoding = kEncDwwssn;
        return true;
    case SeedDecoder::Usnsn:
        return false; // not implemented: fails as an unknown decoder
    case SeedDecoder::Unknown:
        unsupported = true;
        return false;
    }
    return false;
}

} // namespace

bool CSeed::readDataless(std::span<const std::uint8_t> bytes) {
    clear();
    std::string error;
    if (!parseSeedControl(bytes, control_, error)) {
        fail(error);
        return false;
    }
    isVolume_ = true;
    return true;
}

bool CSeed::readSeedVolume(std::span<const std::uint8_t> bytes) {
    if (!readDataless(bytes)) return false;
    if (control_.formats.empty()) trace("No seed decoders");
    const std::size_t length = static_cast<std::size_t>(control_.recordLength);
    // The traces of a volume follow the order of its channels' first data records.
    std::vector<std::int64_t> runEnds; // per trace: end of the last record, whole seconds
    try {
        for (std::size_t r = 0; r + length <= bytes.size(); r += length) {
            if (!isDataQuality(static_cast<char>(bytes[r + 6]))) continue;
            DataRecordHeader h;
            std::string error;
            if (parseDataRecord(bytes.subspan(r, length), false, length, h, error) != RecordStatus::Ok) {
                logFormat("SEED %s: data record at %zu: %s", sourcePath_.c_str(), r, error.c_str());
                break;
            }
            if (!plausibleTime(h.start)) break;
            const SeedStation* station = control_.findStation(h.station);
            if (!station) {
                trace("Bad Check Station");
                fail(format("Data record of unknown station %s", h.station.c_str()));
                traces_.clear();
                return false;
            }
            const auto ch = std::find_if(station->channels.begin(), station->channels.end(),
                                         [&](const SeedChannel& c) { return c.channel == h.channel; });
            if (ch == station->channels.end()) {
                logFormat("SEED %s: no channel %s for station %s", sourcePath_.c_str(), h.channel.c_str(),
                          h.station.c_str());
                continue;
            }
            const double rate = sampleRate(h.rateFactor, h.rateMultiplier);
            auto t = std::find_if(traces_.begin(), traces_.end(), [&](const SeedTrace& s) {
                return s.station == h.station && s.channel == h.channel;
            });
            const std::int64_t seconds = wholeSeconds(h.start);
            if (t == traces_.end()) {
                SeedTrace fresh;
                fresh.station = h.station;
                fresh.channel = h.channel;
                fresh.network = station->network.empty() ? h.network : station->network;
                fresh.location = ch->location.empty() ? h.location : ch->location;
                fresh.start = h.start;
                fresh.startMicros = btimeMicros(h.start);
                fresh.rate = rate > 0 ? rate : ch->rate;
                fresh.runStarts.push_back(fresh.startMicros);
                fresh.stationIndex = static_cast<int>(station - control_.stations.data());
                fresh.channelIndex = static_cast<int>(ch - station->channels.begin());
                traces_.push_back(std::move(fresh));
                runEnds.push_back(seconds);
                t = traces_.end() - 1;
            } else if (seconds > runEnds[static_cast<std::size_t>(t - traces_.begin())] + kRunGapSeconds) {
                t->runStarts.push_back(btimeMicros(h.start));
            }
            std::int64_t& runEnd = runEnds[static_cast<std::size_t>(t - traces_.begin())];
            runEnd = rate > 0 ? seconds + std::llround(h.sampleCount / rate) : seconds;

            int encoding = kEncSteim1;
            bool unsupported = false;
            if (!decoderFor(h, control_, *ch, encoding, unsupported)) {
                formatUnsupported_ = unsupported;
                trace("Unknown Decoder");
                fail(formatUnsupported_ ? "SEED Data Format Not Supported" : "Unknown Decoder");
                traces_.clear();
                return false;
            }
            if (debug && t->samples.empty())
                trace(format("Type 52 New Channel %s %s Decoder %d", h.station.c_str(), h.channel.c_str(),
                             encoding));
            std::vector<std::int32_t>& v = t->samples;
            const std::size_t n = v.size();
            v.resize(n + static_cast<std::size_t>(h.sampleCount));
            const std::size_t dataStart =
                std::min<std::size_t>(static_cast<std::size_t>(h.dataOffset), length);
            const DecodeResult d =
                h.sampleCount == 0 ? DecodeResult{true, 0, false, {}}
                                   : decodeIntegers(encoding, bytes.data() + r + dataStart,
                                                    length - dataStart, h.dataBigEndian, h.sampleCount,
                                                    v.data() + n, static_cast<std::size_t>(h.sampleCount));
            t->count = v.size();
            if (!d.ok) {
                logFormat("SEED %s: record at %zu: %s", sourcePath_.c_str(), r, d.error.c_str());
                trace(encoding == kEncSteim2 ? "Bad Decode 2" : "Bad Decode 1");
                fail(d.error);
                traces_.clear();
                return false;
            }
        }
    } catch (const std::bad_alloc&) {
        fail("Unable to malloc/realloc for data");
        traces_.clear();
        return false;
    }
    return true;
}

} // namespace tlx
