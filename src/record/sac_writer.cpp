#include "record/sac_writer.h"

#include "core/byte_order.h"
#include "core/text.h"
#include "record/geography.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace tlx {
namespace {

std::int32_t idepFromSensorType(int sensorType) {
    switch (sensorType) {
    case 1:
        return kSacIacc;
    case 2:
        return kSacIvel;
    case 3:
        return kSacIdisp;
    default:
        return kSacUndefinedInt;
    }
}

float largestMagnitude(const EventEntry& e) {
    int best = 0;
    for (const std::int16_t m : {e.magMs, e.magMb, e.magMw, e.magMl, e.magMd, e.magOther})
        if (m >= 1) best = std::max<int>(best, m);
    return static_cast<float>(best / 100.0); // an entry without magnitudes writes 0, not undefined
}

void putEvent(SacHeader& s, const EventRecord& record, const EventTime& reference,
              const Geography* geography) {
    const auto& events = record.info.events;
    if (events.empty()) return;
    const std::size_t current = static_cast<std::size_t>(record.info.currentEvent);
    const EventEntry& e = events[current < events.size() ? current : 0];
    s.f[kSacO] = static_cast<float>(secondsBetween(reference, e.originTime));
    s.f[kSacEvla] = static_cast<float>(e.latitude);
    s.f[kSacEvlo] = static_cast<float>(e.longitude);
    s.f[kSacEvdp] = static_cast<float>(e.depth);
    s.f[kSacMag] = largestMagnitude(e);
    const ChannelHeader& h = record.header;
    GreatCircleResult gc;
    if (geography && h.latitude != kUnknownValue && h.longitude != kUnknownValue &&
        geography->greatCircle(e.latitude, e.longitude, h.latitude, h.longitude, gc)) {
        s.f[kSacDist] = static_cast<float>(gc.km);
        s.f[kSacAz] = static_cast<float>(gc.azimuth12);  // event to station
        s.f[kSacBaz] = static_cast<float>(gc.azimuth21); // station to event
        s.f[kSacGcarc] = static_cast<float>(gc.degrees);
    }
}

} // namespace

SacHeader sacHeaderFromRecord(const EventRecord& record, double sps, int count, const Geography* geography) {
    const ChannelHeader& h = record.header;
    SacHeader s;
    const float delta = static_cast<float>(1.0 / sps);
    s.f[kSacDelta] = delta;
    if (h.sensitivity != 0) s.f[kSacScale] = static_cast<float>(100.0 / h.sensitivity);
    s.f[kSacB] = 0;
    s.f[kSacE] = static_cast<float>((count - 1) * static_cast<double>(delta));
    s.f[kSacStla] = static_cast<float>(h.latitude);
    s.f[kSacStlo] = static_cast<float>(h.longitude);
    // An unknown elevation stays undefined rather than becoming a depth of 12345 m.
    if (h.elevation != kUnknownValue) {
        if (h.elevation >= 0)
            s.f[kSacStel] = static_cast<float>(h.elevation);
        else
            s.f[kSacStdp] = static_cast<float>(-h.elevation);
    }
    if (h.magCorrection != 0) s.f[kSacUser1] = static_cast<float>(h.magCorrection);
    s.f[kSacCmpAz] = static_cast<float>(h.azimuth);
    s.f[kSacCmpInc] = static_cast<float>(h.incident);

    const EventTime reference = addSeconds(h.startTime, h.startTimeOffset);
    const int jday = dayOfYear(reference.year, reference.month, reference.day);
    s.i[kSacNzYear] = reference.year;
    s.i[kSacNzJday] = jday;
    s.i[kSacNzHour] = reference.hour;
    s.i[kSacNzMin] = reference.minute;
    s.i[kSacNzSec] = reference.second;
    s.i[kSacNzMsec] = reference.nanoseconds / 1'000'000;
    s.i[kSacNvhdr] = 6;
    s.i[kSacNpts] = count;
    s.i[kSacIftype] = 1;
    s.i[kSacIdep] = idepFromSensorType(h.sensorType);
    s.i[kSacLeven] = 1;
    s.i[kSacLpspol] = 0;
    s.i[kSacLcalda] = 1;
    putEvent(s, record, reference, geography);

    s.setText(kSacKstnm, fieldText(h.sensorId, sizeof h.sensorId));
    const char o = std::isprint(static_cast<unsigned char>(h.orientation)) ? h.orientation : ' ';
    // Sixteen characters: the event name field ends there.
    s.setText(kSacKevnm,
              format("H%02d%03d%02d%02d%c", reference.year % 100, jday, reference.hour, reference.minute, o),
              16);
    s.setText(kSacKcmpnm, fieldText(h.componentName, sizeof h.componentName));
    s.setText(kSacKnetwk, fieldText(h.network, sizeof h.network));
    return s;
}

std::vector<std::uint8_t> encodeSacFile(const WriteChannel& channel, const WriterOptions& options,
                                        SacByteOrder order) {
    const int n = std::max(1, options.decimation);
    const std::size_t count = channel.samples.size() / static_cast<std::size_t>(n);
    const double recordSps = channel.record->header.sps;
    const double sps = (options.windowSps > 0 ? options.windowSps : recordSps) / n;
    SacHeader header = sacHeaderFromRecord(*channel.record, sps, static_cast<int>(count), options.geography);

    std::vector<std::uint8_t> out(kSacHeaderSize + 4 * count);
    const double dc = dcValue(channel, options);
    double lo = std::numeric_limits<double>::infinity(), hi = -lo, sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = writtenValue(channel.samples, i, n, dc, options.invert);
        const float written = static_cast<float>(v);
        std::uint8_t* p = &out[kSacHeaderSize + 4 * i];
        if (order == SacByteOrder::Big)
            writeBE(p, written);
        else
            writeLE(p, written);
        lo = std::min<double>(lo, written);
        hi = std::max<double>(hi, written);
        sum += written;
    }
    if (count > 0) {
        header.f[kSacDepMin] = static_cast<float>(lo);
        header.f[kSacDepMax] = static_cast<float>(hi);
        header.f[kSacDepMen] = static_cast<float>(sum / static_cast<double>(count));
    }
    const auto image = encodeSacHeader(header, order);
    std::copy(image.begin(), image.end(), out.begin());
    return out;
}

bool writeSacFile(const std::filesystem::path& path, const WriteChannel& channel,
                  const WriterOptions& options, SacByteOrder order, Messages& messages) {
    if (!askBeforeOverwrite(path, options, messages)) return false;
    return commitFile(path, encodeSacFile(channel, options, order), messages);
}

} // namespace tlx
