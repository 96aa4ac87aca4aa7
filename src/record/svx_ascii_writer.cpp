#include "record/svx_ascii_writer.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace tlx {
namespace {

std::string timeText(const EventTime& t) {
    return format("%04d/%02d/%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute, t.second,
                  t.nanoseconds / 1'000'000);
}

std::string trimmedField(const char* field, std::size_t capacity) {
    return std::string(trimTrailingBlanks(fieldText(field, capacity)));
}

std::string eventLine(const EventEntry& e) {
    const EventTime& t = e.originTime;
    std::string otherType = fieldText(e.magOtherType, sizeof e.magOtherType);
    if (e.magOther == 0)
        otherType.clear();
    else if (otherType.empty())
        otherType = "M";
    return format(
        "Event Information: %04d/%02d/%02d,%02d:%02d:%02d.%03d,%g,%g,%g,%d,%d,%d,%d,%d,%d,%s,%d,%d,%u,%s\n",
        t.year, t.month, t.day, t.hour, t.minute, t.second, t.nanoseconds / 1'000'000, double{e.latitude},
        double{e.longitude}, double{e.depth}, int{e.magMs}, int{e.magMb}, int{e.magMw}, int{e.magMl},
        int{e.magMd}, int{e.magOther}, otherType.c_str(), int{e.eventType}, int{e.quality}, unsigned{e.codeC},
        fieldText(e.source, sizeof e.source).c_str());
}

std::string pickLine(const PickEntry& p) {
    const EventTime& t = p.time;
    return format("Pick Information: %04d/%02d/%02d,%02d:%02d:%02d.%03d,%s,%u,%d,%s,%d\n", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.nanoseconds / 1'000'000,
                  trimmedField(p.phase, sizeof p.phase).c_str(), unsigned{p.pickFlags}, int{p.weight},
                  trimmedField(p.text, sizeof p.text).c_str(), int{p.value});
}

// The time of the k-th written value, to the millisecond.
EventTime valueTime(const EventTime& start, double secondsAfter) {
    const long long ms = start.nanoseconds / 1'000'000 + std::llround(secondsAfter * 1000.0);
    EventTime whole = start;
    whole.nanoseconds = 0;
    const long long wholeSeconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    EventTime t = addSeconds(whole, static_cast<double>(wholeSeconds));
    t.nanoseconds = static_cast<std::int32_t>((ms - wholeSeconds * 1000) * 1'000'000);
    return t;
}

// "%g" keeps six digits, which would cut 24-bit recorders' counts; whole values are written in full.
void appendValue(std::string& out, double v) {
    char buffer[40];
    const bool whole = std::fabs(v) < 1e15 && v == std::trunc(v);
    const int used = std::snprintf(buffer, sizeof buffer, whole ? "%.0f\n" : "%g\n", v);
    out.append(buffer, static_cast<std::size_t>(std::clamp(used, 0, static_cast<int>(sizeof buffer) - 1)));
}

} // namespace

std::string encodeSvxAscii(const WriteChannel& channel, const WriterOptions& options, TimeColumn timeColumn) {
    const EventRecord& record = *channel.record;
    const ChannelHeader& h = record.header;
    const ChannelInfo& info = record.info;
    const int n = std::max(1, options.decimation);
    const std::size_t count = channel.samples.size() / static_cast<std::size_t>(n);
    const double sps = options.windowSps > 0 ? options.windowSps : static_cast<double>(h.sps);
    const double dc = dcValue(channel, options);

    std::vector<double> values(count);
    double lo = count ? std::numeric_limits<double>::infinity() : 0, hi = count ? -lo : 0, sum = 0;
    for (double s : channel.samples)
        sum += s;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = writtenValue(channel.samples, i, n, dc, options.invert);
        values[i] = v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    const double mean = channel.samples.empty() ? 0 : sum / static_cast<double>(channel.samples.size());

    std::string out;
    out.reserve(1024 + count * 14);
    const auto line = [&](const std::string& text) { out += text; };
    line("! SVX ASCII Event File Format 2.0\n");
    line("Start Time: " + timeText(h.startTime) + "\n");
    line(format("Start Time Offset: %g\n", double{h.startTimeOffset}));
    line(format("Number of Samples: %d\n", static_cast<int>(count)));
    line(format("SPS: %g\n", sps / n));
    if (h.lockIndicator) line(format("Lock Indicator: %c\n", h.lockIndicator));
    const std::string timeRef = trimmedField(h.timeRefType, sizeof h.timeRefType);
    if (!timeRef.empty()) line("Time Reference Type: " + timeRef + "\n");
    if (!info.comment.empty()) line("Comment: " + info.comment + "\n");
    if (h.adBits != 0) line(format("A/D Converter Bits: %d\n", int{h.adBits}));
    if (!info.dataLogger.empty()) line("DataLogger: " + info.dataLogger + "\n");
    line(format("Data Minimum: %g\n", lo));
    line(format("Data Maximum: %g\n", hi));
    line(format("Data Mean: %g\n", mean));
    line("! Sensor Information:\n");
    if (!info.sensorLocation.empty()) line("Sensor Location: " + info.sensorLocation + "\n");
    if (!info.sensorDescription.empty()) line("Sensor Description: " + info.sensorDescription + "\n");
    line(format("Sensor Latitude: %g\n", double{h.latitude}));
    line(format("Sensor Longitude: %g\n", double{h.longitude}));
    line(format("Sensor Elevation: %g\n", double{h.elevation}));
    if (h.orientation) line(format("Sensor Orientation: %c\n", h.orientation));
    line(format("Sensor Incident: %g\n", double{h.incident}));
    line(format("Sensor Azimuth: %g\n", double{h.azimuth}));
    static const char* const kSensorTypes[] = {nullptr, "Acceleration", "Velocity", "Displacement"};
    if (h.sensorType >= 1 && h.sensorType <= 3)
        line(std::string("Sensor Type: ") + kSensorTypes[h.sensorType] + "\n");
    if (h.sensitivity != 0) line(format("Sensor Sensitivity: %g\n", double{h.sensitivity}));
    const std::string id = fieldText(h.sensorId, sizeof h.sensorId);
    if (!id.empty()) line("Sensor ID: " + id + "\n");
    if (h.magCorrection != 0) line(format("Magnitude Correction: %g\n", double{h.magCorrection}));
    const std::string component = fieldText(h.componentName, 3);
    if (!component.empty()) line("Component Name: " + component + "\n");
    const std::string network = fieldText(h.network, sizeof h.network);
    if (!network.empty()) line("Network Affiliation: " + network + "\n");
    for (const EventEntry& e : info.events)
        line(eventLine(e));
    for (const PickEntry& p : info.picks)
        line(pickLine(p));
    line("Data:\n");

    char prefix[64];
    for (std::size_t k = 0; k < count; ++k) {
        int used = 0;
        const double after = sps > 0 ? static_cast<double>(k) * n / sps : 0;
        if (timeColumn == TimeColumn::DateTime) {
            const EventTime t = valueTime(h.startTime, after);
            used = std::snprintf(prefix, sizeof prefix, "%04d/%02d/%02d %02d:%02d:%02d.%03d ", t.year,
                                 t.month, t.day, t.hour, t.minute, t.second, t.nanoseconds / 1'000'000);
        } else if (timeColumn == TimeColumn::Seconds) {
            used = std::snprintf(prefix, sizeof prefix, "%.3f ", after);
        }
        out.append(prefix,
                   static_cast<std::size_t>(std::clamp(used, 0, static_cast<int>(sizeof prefix) - 1)));
        appendValue(out, values[k]);
    }
    return out;
}

bool writeSvxAscii(const std::filesystem::path& path, const WriteChannel& channel,
                   const WriterOptions& options, TimeColumn timeColumn, Messages& messages) {
    if (!askBeforeOverwrite(path, options, messages)) return false;
    const std::string text = encodeSvxAscii(channel, options, timeColumn);
    return commitFile(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, messages);
}

} // namespace tlx
