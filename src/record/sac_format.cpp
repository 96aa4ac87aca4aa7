#include "record/sac_format.h"

#include "core/byte_order.h"
#include "core/text.h"

#include <cmath>
#include <cstring>

namespace tlx {
namespace {

constexpr std::size_t kIntOffset = 280;
constexpr std::size_t kTextOffset = 440;
constexpr char kUndefinedText[] = "-12345  ";

bool inRange(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    return v >= lo && v <= hi;
}

std::string withoutBlanks(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

// Orientation letter from KCMPNM: "?HE"/"?HN"/"?HZ", or a single E, N, Z (V meaning Z).
char orientationFromComponent(const std::string& c) {
    if (c.size() >= 3 && c[1] == 'H' && (c[2] == 'E' || c[2] == 'N' || c[2] == 'Z')) return c[2];
    if (c.size() == 1 && (c[0] == 'E' || c[0] == 'N' || c[0] == 'Z')) return c[0];
    if (c.size() == 1 && c[0] == 'V') return 'Z';
    return 0;
}

int sensorTypeFromIdep(std::int32_t idep) {
    switch (idep) {
    case 1:
    case kSacIdisp:
        return 3;
    case 2:
    case kSacIvel:
        return 2;
    case 3:
    case kSacIacc:
        return 1;
    default:
        return 0;
    }
}

} // namespace

SacHeader::SacHeader() {
    f.fill(kSacUndefinedFloat);
    i.fill(kSacUndefinedInt);
    for (std::size_t p = 0; p < k.size(); p += 8)
        std::memcpy(&k[p], kUndefinedText, 8);
    std::memset(&k[kSacKevnm - kTextOffset + 8], ' ', 8); // KEVNM is one 16-character field
}

std::string SacHeader::text(SacText field, std::size_t width) const {
    const char* p = &k[field - kTextOffset];
    std::size_t n = 0;
    while (n < width && p[n] != '\0')
        ++n;
    std::string s(p, n);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    if (s == "-12345") return {};
    return s;
}

void SacHeader::setText(SacText field, const std::string& value, std::size_t width) {
    char* p = &k[field - kTextOffset];
    std::memset(p, ' ', width);
    std::memcpy(p, value.data(), std::min(width, value.size()));
}

bool parseSacHeader(std::span<const std::uint8_t> bytes, SacHeader& header, SacByteOrder& order) {
    if (bytes.size() < kSacHeaderSize) return false;
    const std::uint8_t* p = bytes.data();
    const auto plausibleYear = [](std::int32_t y) { return y > 1900 && y < 3000; };
    if (plausibleYear(readLE<std::int32_t>(p + kIntOffset)))
        order = SacByteOrder::Little;
    else if (plausibleYear(readBE<std::int32_t>(p + kIntOffset)))
        order = SacByteOrder::Big;
    else
        return false;
    const bool big = order == SacByteOrder::Big;
    for (std::size_t w = 0; w < header.f.size(); ++w)
        header.f[w] = readOrdered<float>(p + 4 * w, big);
    for (std::size_t w = 0; w < header.i.size(); ++w)
        header.i[w] = readOrdered<std::int32_t>(p + kIntOffset + 4 * w, big);
    std::memcpy(header.k.data(), p + kTextOffset, header.k.size());
    const auto& n = header.i;
    if (!inRange(n[kSacNzYear], 1960, 2200) || !inRange(n[kSacNzJday], 1, 366) ||
        !inRange(n[kSacNzHour], 0, 24) || !inRange(n[kSacNzMin], 0, 60) || !inRange(n[kSacNzSec], 0, 60) ||
        !inRange(n[kSacNpts], 50, kMaxSampleCount))
        return false;
    // A rate must come out of DELTA: 0 < 1/DELTA <= 1,000,000.
    const double sps = 1.0 / header.f[kSacDelta];
    return std::isfinite(sps) && sps > 0 && sps <= 1e6;
}

std::array<std::uint8_t, kSacHeaderSize> encodeSacHeader(const SacHeader& header, SacByteOrder order) {
    std::array<std::uint8_t, kSacHeaderSize> out{};
    const bool big = order == SacByteOrder::Big;
    for (std::size_t w = 0; w < header.f.size(); ++w) {
        if (big)
            writeBE(&out[4 * w], header.f[w]);
        else
            writeLE(&out[4 * w], header.f[w]);
    }
    for (std::size_t w = 0; w < header.i.size(); ++w) {
        if (big)
            writeBE(&out[kIntOffset + 4 * w], header.i[w]);
        else
            writeLE(&out[kIntOffset + 4 * w], header.i[w]);
    }
    std::memcpy(&out[kTextOffset], header.k.data(), header.k.size());
    return out;
}

void sacHeaderToRecord(const SacHeader& s, EventRecord& record) {
    ChannelHeader& h = record.header;
    const auto& n = s.i;

    // The reference time, then the first sample at B seconds after it.
    const std::int64_t days = daysFromCivil(n[kSacNzYear], 1, 1) + n[kSacNzJday] - 1;
    std::int64_t ms = ((days * 24 + n[kSacNzHour]) * 60 + n[kSacNzMin]) * 60'000LL + n[kSacNzSec] * 1000LL;
    if (inRange(n[kSacNzMsec], 0, 999)) ms += n[kSacNzMsec];
    const CivilTime ref = civilFromEpoch(ms / 1000, static_cast<std::int32_t>(ms % 1000) * 1'000'000);
    const double b = s.f[kSacB];
    const bool useB = s.defined(kSacB) && std::isfinite(b) && std::fabs(b) < 1e9;
    h.startTime = fromCivil(useB ? addSeconds(ref, b) : ref);

    h.sps = 1.0 / s.f[kSacDelta];
    h.sampleCount = n[kSacNpts];
    const double scale = s.f[kSacScale];
    if (s.defined(kSacScale) && std::isfinite(scale) && scale != 0) h.sensitivity = 100.0 / scale;
    if (s.defined(kSacStla) && s.defined(kSacStlo)) {
        h.latitude = s.f[kSacStla];
        h.longitude = s.f[kSacStlo];
    }
    if (s.defined(kSacStel))
        h.elevation = s.f[kSacStel];
    else if (s.defined(kSacStdp))
        h.elevation = -s.f[kSacStdp];
    if (s.defined(kSacUser1)) h.magCorrection = s.f[kSacUser1];
    h.sensorType = static_cast<std::uint8_t>(sensorTypeFromIdep(n[kSacIdep]));

    const std::string station = s.text(kSacKstnm);
    record.info.sensorLocation = station;
    copyToField(h.sensorId, sizeof h.sensorId, withoutBlanks(station).substr(0, 6));
    const std::string component = s.text(kSacKcmpnm);
    copyToField(h.componentName, sizeof h.componentName, component.substr(0, 3));
    copyToField(h.network, sizeof h.network, withoutBlanks(s.text(kSacKnetwk)).substr(0, 6));
    if (const char letter = orientationFromComponent(component)) setOrientation(h, letter);
    if (s.defined(kSacCmpAz) && s.defined(kSacCmpInc)) {
        h.azimuth = s.f[kSacCmpAz];
        h.incident = s.f[kSacCmpInc];
    }

    if (s.defined(kSacEvla) && s.defined(kSacEvlo) && s.defined(kSacEvdp) && s.defined(kSacO) &&
        std::isfinite(s.f[kSacO]) && std::fabs(s.f[kSacO]) < 1e9) {
        EventEntry e{};
        e.originTime = fromCivil(addSeconds(ref, static_cast<double>(s.f[kSacO])));
        e.latitude = s.f[kSacEvla];
        e.longitude = s.f[kSacEvlo];
        const double depth = s.f[kSacEvdp];
        e.depth = depth > 1 && depth < 800 ? depth : depth / 1000; // larger values are metres
        const float mag = s.f[kSacMag];
        if (s.defined(kSacMag) && mag > -300 && mag < 300) setMagnitude(e, mag, "M"); // fits hundredths
        record.addEvent(e);
    }
}

} // namespace tlx
