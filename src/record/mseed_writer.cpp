#include "record/mseed_writer.h"

#include "core/byte_order.h"
#include "core/civil_time.h"
#include "core/text.h"
#include "record/mseed_encodings.h"
#include "record/mseed_record.h"
#include "record/steim.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tlx {
namespace {

constexpr std::size_t kDataStart = 64; // fixed header 48, blockette 1000 8, blockette 1001 8

struct Identity {
    std::string station, location, channel, network;
};

Identity identityOf(const EventRecord& r) {
    Identity id;
    id.station = r.stationName().substr(0, 5);
    id.channel = r.component().substr(0, 3);
    id.location = fieldText(r.info.seedLocation, 2);
    id.network = fieldText(r.header.network, 2);
    if (id.network.empty()) id.network = fieldText(r.info.seedNetwork, 2);
    return id;
}

void putCode(std::uint8_t* p, const std::string& s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        p[i] = i < s.size() && s[i] != 0 ? static_cast<std::uint8_t>(s[i]) : ' ';
}

std::int64_t epochMicros(const EventTime& t) {
    const CivilTime c = toCivil(t);
    return epochSeconds(c) * 1'000'000 + (c.nanoseconds + 500) / 1000;
}

bool isWhole(double v) {
    return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max() &&
           v == static_cast<double>(static_cast<std::int32_t>(v));
}

int encodingCode(MseedWriteEncoding e) {
    switch (e) {
    case MseedWriteEncoding::Steim2:
        return kEncSteim2;
    case MseedWriteEncoding::Int32:
        return kEncInt32;
    case MseedWriteEncoding::Float32:
        return kEncFloat32;
    default:
        return kEncFloat64;
    }
}

// The fixed header and both blockettes of a record starting at `micros`.
void putHeader(std::uint8_t* p, int sequence, const Identity& id, std::int64_t micros, int count, int factor,
               int multiplier, int encoding, int exponent, int frames) {
    const std::string seq = format("%06d", sequence);
    std::memcpy(p, seq.data(), 6);
    p[6] = 'D';
    p[7] = ' ';
    putCode(p + 8, id.station, 5);
    putCode(p + 13, id.location, 2);
    putCode(p + 15, id.channel, 3);
    putCode(p + 18, id.network, 2);
    // BTIME holds tenths of milliseconds; blockette 1001 the microseconds from -50 to 49.
    std::int64_t tenths = micros >= 0 ? (micros + 50) / 100 : -((-micros + 49) / 100);
    const int extra = static_cast<int>(micros - tenths * 100);
    std::int64_t seconds = tenths / 10'000;
    int fract = static_cast<int>(tenths % 10'000);
    if (fract < 0) {
        fract += 10'000;
        --seconds;
    }
    const CivilTime c = civilFromEpoch(seconds);
    writeBE<std::uint16_t>(p + 20, static_cast<std::uint16_t>(c.year));
    writeBE<std::uint16_t>(p + 22, static_cast<std::uint16_t>(dayOfYear(c.year, c.month, c.day)));
    p[24] = static_cast<std::uint8_t>(c.hour);
    p[25] = static_cast<std::uint8_t>(c.minute);
    p[26] = static_cast<std::uint8_t>(c.second);
    writeBE<std::uint16_t>(p + 28, static_cast<std::uint16_t>(fract));
    writeBE<std::uint16_t>(p + 30, static_cast<std::uint16_t>(count));
    writeBE<std::int16_t>(p + 32, static_cast<std::int16_t>(factor));
    writeBE<std::int16_t>(p + 34, static_cast<std::int16_t>(multiplier));
    p[39] = 2; // blockettes
    writeBE<std::uint16_t>(p + 44, kDataStart);
    writeBE<std::uint16_t>(p + 46, 48);
    writeBE<std::uint16_t>(p + 48, 1000);
    writeBE<std::uint16_t>(p + 50, 56);
    p[52] = static_cast<std::uint8_t>(encoding);
    p[53] = 1; // big-endian
    p[54] = static_cast<std::uint8_t>(exponent);
    writeBE<std::uint16_t>(p + 56, 1001);
    writeBE<std::uint16_t>(p + 58, 0);
    p[61] = static_cast<std::uint8_t>(static_cast<std::int8_t>(extra));
    p[63] = static_cast<std::uint8_t>(frames);
}

// The encoding Auto picks for values(0..count).
template <typename Values> MseedWriteEncoding chooseEncoding(std::size_t count, Values values) {
    bool whole = true, steps30 = true, float32 = true;
    double before = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = values(i);
        if (whole && !isWhole(v)) whole = false;
        if (whole && i > 0 && std::fabs(v - before) >= 536'870'912.0) steps30 = false;
        if (float32 && static_cast<double>(static_cast<float>(v)) != v) float32 = false;
        before = v;
    }
    if (whole) return steps30 ? MseedWriteEncoding::Steim2 : MseedWriteEncoding::Int32;
    return float32 ? MseedWriteEncoding::Float32 : MseedWriteEncoding::Float64;
}

} // namespace

MseedWriteEncoding chooseMseedEncoding(std::span<const double> values) {
    return chooseEncoding(values.size(), [&](std::size_t i) { return values[i]; });
}

bool rateFactors(double rate, int& factor, int& multiplier) {
    factor = 0;
    multiplier = 1;
    if (!(rate > 0) || !std::isfinite(rate)) return rate == 0;
    const auto close = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * b; };
    // rate = f / m (f > 0, m < 0 in SEED terms), or a period p = f / m seconds.
    for (int m = 1; m <= 32767; ++m) {
        const double f = std::round(rate * m);
        if (f >= 1 && f <= 32767 && close(f / m, rate)) {
            factor = static_cast<int>(f);
            multiplier = m == 1 ? 1 : -m;
            return true;
        }
        const double p = std::round(m / rate);
        if (p >= 1 && p <= 32767 && close(m / p, rate)) {
            factor = -static_cast<int>(p);
            multiplier = m;
            return true;
        }
    }
    return false;
}

bool encodeMiniSeedChannel(const WriteChannel& channel, const WriterOptions& options,
                           const MseedWriteOptions& mseed, int& sequence, std::vector<std::uint8_t>& out,
                           std::string& error) {
    const int n = std::max(1, options.decimation);
    const std::size_t count = channel.samples.size() / static_cast<std::size_t>(n);
    const double sps = (options.windowSps > 0 ? options.windowSps : channel.record->header.sps) / n;
    const double dc = dcValue(channel, options);
    // Values are made as each record takes them: a day of samples needs no second copy.
    const auto value = [&](std::size_t i) { return writtenValue(channel.samples, i, n, dc, options.invert); };

    if (mseed.recordLength != 512 && mseed.recordLength != 4096) {
        error = "miniSEED records are 512 or 4096 bytes";
        return false;
    }
    int factor = 0, multiplier = 1;
    if (!rateFactors(sps, factor, multiplier)) {
        error = format("The rate %g cannot be written as a miniSEED rate factor", sps);
        return false;
    }
    const MseedWriteEncoding encoding =
        mseed.encoding == MseedWriteEncoding::Auto ? chooseEncoding(count, value) : mseed.encoding;
    const bool integers = encoding == MseedWriteEncoding::Steim2 || encoding == MseedWriteEncoding::Int32;
    const auto wholeValue = [&](std::size_t i, std::int32_t& v) {
        const double x = value(i);
        if (!isWhole(x)) {
            error = "The samples are not whole numbers: write them as float32 or float64";
            return false;
        }
        v = static_cast<std::int32_t>(x);
        return true;
    };
    const Identity id = identityOf(*channel.record);
    const std::int64_t start = epochMicros(channel.record->header.startTime);
    const std::size_t length = static_cast<std::size_t>(mseed.recordLength);
    const int exponent = mseed.recordLength == 512 ? 9 : 12;
    const int frameCount = static_cast<int>((length - kDataStart) / 64);
    const std::size_t width = encoding == MseedWriteEncoding::Float64 ? 8 : 4;
    // Room for the records at their plain width; Steim2 usually needs less.
    out.reserve(out.size() + (count * width / (length - kDataStart) + 1) * length);
    std::vector<std::int32_t> window; // the values one Steim2 record may take
    std::size_t done = 0;
    std::int32_t previous = 0;
    while (done < count) {
        const std::size_t at = out.size();
        out.resize(at + length, 0);
        std::uint8_t* record = out.data() + at;
        std::uint8_t* data = record + kDataStart;
        std::size_t taken = 0;
        int frames = 0;
        if (encoding == MseedWriteEncoding::Steim2) {
            // The window keeps the values the previous record left, topped up to what a record may take.
            const std::size_t kept = window.size();
            window.resize(std::min(count - done, static_cast<std::size_t>(frameCount) * 15 * 7));
            for (std::size_t i = kept; i < window.size(); ++i)
                if (!wholeValue(done + i, window[i])) return false;
            const SteimPacked packed = encodeSteim2(window, previous, data, frameCount);
            if (!packed.error.empty() || packed.count == 0) {
                error = "Steim2: " + packed.error;
                return false;
            }
            taken = packed.count;
            frames = packed.frames;
            previous = window[taken - 1];
            window.erase(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(taken));
        } else {
            taken = std::min(count - done, (length - kDataStart) / width);
            for (std::size_t i = 0; i < taken; ++i) {
                std::int32_t whole = 0;
                if (integers && !wholeValue(done + i, whole)) return false;
                if (encoding == MseedWriteEncoding::Int32)
                    writeBE<std::int32_t>(data + 4 * i, whole);
                else if (encoding == MseedWriteEncoding::Float32)
                    writeBE<float>(data + 4 * i, static_cast<float>(value(done + i)));
                else
                    writeBE<double>(data + 8 * i, value(done + i));
            }
        }
        const std::int64_t micros =
            start + (sps > 0 ? std::llround(static_cast<double>(done) * 1e6 / sps) : 0);
        putHeader(record, sequence, id, micros, static_cast<int>(taken), factor, multiplier,
                  encodingCode(encoding), exponent, frames);
        sequence = sequence >= 999'999 ? 1 : sequence + 1;
        done += taken;
    }
    return true;
}

bool writeMiniSeedFile(const std::filesystem::path& path, std::span<const WriteChannel> channels,
                       const WriterOptions& options, const MseedWriteOptions& mseed, Messages& messages) {
    std::vector<std::uint8_t> bytes;
    int sequence = 1;
    for (const WriteChannel& channel : channels) {
        std::string error;
        if (!encodeMiniSeedChannel(channel, options, mseed, sequence, bytes, error)) {
            messages.error(format("Can't write %s as miniSEED: %s", path.string().c_str(), error.c_str()));
            return false;
        }
    }
    if (!askBeforeOverwrite(path, options, messages)) return false;
    return commitFile(path, bytes, messages);
}

} // namespace tlx
