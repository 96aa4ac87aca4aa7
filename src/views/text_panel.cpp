// The lines of the text panel (and of the header above a printed or rendered seismogram).
#include "views/eq_view_model.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>

namespace tlx::views {
namespace {

std::string spsText(double sps) {
    std::string s = format("%3.6f", sps);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string spanText(double span) {
    const int whole = static_cast<int>(span);
    const double frac = span - whole;
    if (span >= 3600) return format("%d:%02d:%02d", whole / 3600, whole / 60 % 60, whole % 60);
    if (span >= 60) return format("%d:%02d.%g", whole / 60, whole % 60, std::round(frac * 10));
    return format("%d.%g", whole, std::round(frac * 10));
}

std::string maxMinText(double max, double min) {
    if (std::max(std::fabs(max), std::fabs(min)) >= 1000)
        return format("%d/%d", static_cast<int>(std::lround(max)), static_cast<int>(std::lround(min)));
    return format("%4.4g/%4.4g", max, min);
}

std::string peakText(double peakCounts, const EventRecord& r) {
    const double sensitivity = r.header.sensitivity;
    const int type = r.header.sensorType;
    const double metres = peakCounts * sensitivity / 100;
    const Prefixed p = metricPrefix(metres);
    const char* unit = type == 3 ? "m" : type == 2 ? "m/sec" : "m/sec\xc2\xb2";
    std::string s = format(" %4.4g %s%s", p.value, p.prefix, unit);
    if (type == 1) {
        const Prefixed g = metricPrefix(metres / 9.80665);
        s += format(" %4.4g%sg", g.value, g.prefix);
    }
    return s;
}

} // namespace

TextPanel buildTextPanel(const EqViewModel& model, bool printing) {
    TextPanel panel;
    const std::vector<TraceSource>& sources = model.sources();
    if (sources.empty()) return panel;
    const int cur = model.currentRecord();
    const TraceSource& src = sources[static_cast<std::size_t>(cur)];
    const EventRecord& r = *src.record;
    const ChannelHeader& h = r.header;

    std::string names;
    for (int slot : model.shownSlots()) {
        std::string name = sources[static_cast<std::size_t>(slot)].record->fileName;
        const std::size_t cut = name.find_last_of("/\\");
        if (cut != std::string::npos) name = name.substr(cut + 1);
        if (!names.empty() && names.find(name) != std::string::npos) continue;
        names += names.empty() ? name : ", " + name;
    }
    panel.fileText = format(model.shownSlots().size() > 1 ? "Files: %s" : "File: %s", names.c_str());

    const auto [first, visible] = model.visibleSamples(cur);
    const bool whole = first == 0 && visible >= static_cast<long>(src.samples.size());
    if (model.options().headerLines) {
        const CivilTime t = addSeconds(toCivil(h.startTime), +h.startTimeOffset);
        std::vector<TextPiece> line;
        std::string start =
            format("%d/%02d/%02d %2d:%02d:%02d UTC", t.year, t.month, t.day, t.hour, t.minute, t.second);
        if (h.lockIndicator == 'L' || h.lockIndicator == '?') start += format(" (%c)", h.lockIndicator);
        line.push_back({"Start: ", true});
        line.push_back({start, false});
        line.push_back({" Station: ", true});
        line.push_back({src.slotName.empty() ? r.stationName() : src.slotName, false});
        line.push_back({" ", true});
        line.push_back({format("%s %s", std::string(trim(fieldText(h.sensorId, sizeof h.sensorId))).c_str(),
                               std::string(trim(fieldText(h.componentName, sizeof h.componentName))).c_str()),
                        false});
        if (whole) {
            line.push_back({" Samples: ", true});
            line.push_back({format("%ld", static_cast<long>(src.samples.size())), false});
        } else {
            line.push_back({" View Samples: ", true});
            line.push_back({format("%ld", visible), false});
        }
        line.push_back({"  SPS: ", true});
        line.push_back({spsText(h.sps), false});
        panel.lines.push_back(std::move(line));
    }
    if (printing && !r.info.comment.empty())
        panel.lines.push_back({{"Comment: ", true}, {r.info.comment + "  ", false}});

    const double offset = model.offset(cur);
    const double dataMax = h.dataMax, dataMin = h.dataMin;
    {
        std::vector<TextPiece> line;
        line.push_back(
            {sources.size() > 1 ? format("%s - Max/Min: ", r.stationName().c_str()) : "Max/Min: ", true});
        line.push_back({maxMinText(dataMax - offset, dataMin - offset), false});
        line.push_back({" X: ", true});
        line.push_back({spanText(model.spanSeconds()), false});
        line.push_back({" Y: ", true});
        const RecordScale& sc = model.scale(cur);
        line.push_back({format("%g %s ", sc.fullScale / yZoomFactor(model.zoomIndex()),
                               unitName(sc.mode, sc.multiplier).c_str()),
                        false});
        panel.lines.push_back(std::move(line));
    }
    const double sensitivity = h.sensitivity;
    if (printing && h.sensorType != 0 && sensitivity != 0) {
        std::vector<TextPiece> line;
        const double peak = std::max(std::fabs(dataMax - offset), std::fabs(dataMin - offset));
        line.push_back({"  Peak:", true});
        line.push_back({peakText(peak, r), false});
        if (!whole && visible > 0) {
            double vp = 0;
            for (long i = first; i < first + visible; ++i)
                vp = std::max(vp, std::fabs(src.samples[static_cast<std::size_t>(i)] - offset));
            line.push_back({"  View Peak: ", true});
            line.push_back({peakText(vp, r), false});
        }
        panel.lines.push_back(std::move(line));
    }
    if (!r.info.events.empty()) {
        const int index = std::clamp<int>(r.info.currentEvent, 0, static_cast<int>(r.info.events.size()) - 1);
        const EventEntry e = r.info.events[static_cast<std::size_t>(index)];
        std::vector<TextPiece> line;
        line.push_back({r.info.events.size() > 1 ? format("Event #%d ", index + 1) : "Event ", true});
        line.push_back({"Time: ", true});
        const EventTime ot = e.originTime;
        line.push_back({format("%02d/%02d/%04d %02d:%02d:%02d ", ot.month, ot.day, ot.year, ot.hour,
                               ot.minute, ot.second),
                        false});
        const double lat = e.latitude, lon = e.longitude, depth = e.depth;
        auto dms = [](double v, char pos, char neg) {
            const double a = std::fabs(v);
            const int d = static_cast<int>(a), m = static_cast<int>((a - d) * 60),
                      s = static_cast<int>(std::lround(((a - d) * 60 - m) * 60)) % 60;
            return format("%02d:%02d:%02d%c", d, m, s, v < 0 ? neg : pos);
        };
        line.push_back({"Lat/Long: ", true});
        line.push_back({format("%s %s ", dms(lat, 'N', 'S').c_str(), dms(lon, 'E', 'W').c_str()), false});
        line.push_back({"Depth: ", true});
        line.push_back({format("%gkm %3.1fmi ", depth, depth * kMilesPerKm), false});
        std::string mags;
        const std::pair<const char*, int> list[] = {{"Ms%g ", e.magMs},
                                                    {"Mb%g ", e.magMb},
                                                    {"Mw%g ", e.magMw},
                                                    {"Ml%g ", e.magMl},
                                                    {"Md%g ", e.magMd}};
        for (const auto& [fmt, value] : list)
            if (value != 0) mags += format(fmt, value / 100.0);
        if (e.magOther != 0) {
            const std::string type = fieldText(e.magOtherType, sizeof e.magOtherType);
            mags += type.empty() ? format("M%g ", e.magOther / 100.0)
                                 : format("%s%g ", type.c_str(), e.magOther / 100.0);
        }
        line.push_back({"Mag: ", true});
        line.push_back({mags, false});
        panel.lines.push_back(std::move(line));
    }
    if (model.options().distance) panel.lines.push_back({{model.distanceLine(), false}});
    return panel;
}

} // namespace tlx::views
