#include "record/event_record.h"

#include "core/text.h"

#include <cmath>
#include <cstring>

namespace tlx {

void EventRecord::clear() {
    std::memset(&header, 0, sizeof header);
    header.incident = kUnknownValue;
    header.azimuth = kUnknownValue;
    header.elevation = kUnknownValue;
    info = ChannelInfo{};
    fileName.clear();
}

std::string EventRecord::stationName() const {
    return fieldText(header.sensorId, sizeof header.sensorId);
}

std::string EventRecord::component() const {
    return fieldText(header.componentName, sizeof header.componentName);
}

int sampleWidth(int sampleType) {
    switch (sampleType) {
    case 0:
        return 2;
    case 1:
    case 2:
        return 4;
    default:
        return 8;
    }
}

void setOrientation(ChannelHeader& header, char letter) {
    header.orientation = letter;
    switch (letter) {
    case 'Z':
        header.incident = 0;
        header.azimuth = 0;
        break;
    case 'N':
        header.incident = 90;
        header.azimuth = 0;
        break;
    case 'E':
        header.incident = 90;
        header.azimuth = 90;
        break;
    default:
        break;
    }
}

double sensitivityFromElectrical(double adVolts, double sensorOutput, double ampGain, int adBits) {
    if (adBits == 0 || ampGain == 0 || sensorOutput == 0) return 0;
    return (adVolts / (sensorOutput * ampGain)) / (std::pow(2.0, adBits) * 0.5);
}

CivilTime toCivil(const EventTime& t) {
    return CivilTime{t.year, t.month, t.day, t.hour, t.minute, t.second, t.nanoseconds};
}

EventTime fromCivil(const CivilTime& c) {
    EventTime t{};
    t.year = static_cast<std::uint16_t>(c.year);
    t.month = static_cast<std::uint8_t>(c.month);
    t.day = static_cast<std::uint8_t>(c.day);
    t.hour = static_cast<std::uint8_t>(c.hour);
    t.minute = static_cast<std::uint8_t>(c.minute);
    t.second = static_cast<std::uint8_t>(c.second);
    t.nanoseconds = c.nanoseconds;
    return t;
}

EventTime addSeconds(const EventTime& t, double seconds) {
    return fromCivil(addSeconds(toCivil(t), seconds));
}

double secondsBetween(const EventTime& from, const EventTime& to) {
    const std::int64_t whole = epochSeconds(toCivil(to)) - epochSeconds(toCivil(from));
    return static_cast<double>(whole) + (to.nanoseconds - from.nanoseconds) * 1e-9;
}

std::int64_t timeOfDayMs(const EventTime& t) {
    return timeOfDayMs(toCivil(t));
}

std::string formatStartTime(const EventTime& t) {
    return format("%02d/%02d/%02d %02d:%02d:%02d.%03d", t.month, t.day, t.year, t.hour, t.minute, t.second,
                  t.nanoseconds / 1'000'000);
}

std::string formatIsoTime(const EventTime& t) {
    return format("%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.year, t.month, t.day, t.hour, t.minute, t.second,
                  t.nanoseconds / 1'000'000);
}

std::int16_t storedMagnitude(double m) {
    return static_cast<std::int16_t>((m + 0.005) * 100);
}

void setMagnitude(EventEntry& entry, double m, const std::string& typeName) {
    const std::int16_t v = storedMagnitude(m);
    if (iequals(typeName, "ms"))
        entry.magMs = v;
    else if (iequals(typeName, "mb"))
        entry.magMb = v;
    else if (iequals(typeName, "mw"))
        entry.magMw = v;
    else if (iequals(typeName, "ml"))
        entry.magMl = v;
    else if (iequals(typeName, "md"))
        entry.magMd = v;
    else if (v != 0) {
        entry.magOther = v;
        copyToField(entry.magOtherType, sizeof entry.magOtherType, typeName);
    }
}

ShownMagnitude shownMagnitude(const EventEntry& e) {
    const std::pair<std::int16_t, const char*> ordered[] = {
        {e.magMs, "Ms"}, {e.magMb, "Mb"}, {e.magMw, "Mw"}, {e.magMl, "Ml"}, {e.magMd, "Md"}};
    for (const auto& [value, label] : ordered) {
        if (value != 0) return {true, value / 100.0, label};
    }
    if (e.magOther != 0) {
        std::string label = fieldText(e.magOtherType, sizeof e.magOtherType);
        return {true, e.magOther / 100.0, label.empty() ? "M" : label};
    }
    return {};
}

std::string eventSummary(const EventEntry& e) {
    const EventTime t = e.originTime;
    std::string line =
        format("%02d/%02d/%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour, t.minute, t.second);
    if (const ShownMagnitude m = shownMagnitude(e); m.present)
        line += format(" %s%.1f", m.label.c_str(), m.value);
    return line + format(" %gkm", double{e.depth});
}

} // namespace tlx
