#include "services/report_row.h"

#include "core/text.h"
#include "seismo/geodesy.h"

#include <cmath>
#include <cstdio>

namespace tlx {

namespace {

// Six significant digits without an exponent and without a trailing point.
std::string degreesText(double value) {
    std::string text = format("%.6g", std::fabs(value));
    if (text.find('e') != std::string::npos) text = format("%3.8f", std::fabs(value));
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

int fullYear(const ReportRow& row) {
    return row.year + 1900;
}

} // namespace

std::int64_t ReportRow::epochSeconds() const {
    return daysFromCivil(fullYear(*this), month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

EventTime ReportRow::originTime() const {
    EventTime t{};
    t.year = static_cast<std::uint16_t>(fullYear(*this));
    t.month = static_cast<std::uint8_t>(month);
    t.day = static_cast<std::uint8_t>(day);
    t.hour = static_cast<std::uint8_t>(hour);
    t.minute = static_cast<std::uint8_t>(minute);
    t.second = static_cast<std::uint8_t>(second);
    t.nanoseconds = tenths * 100'000'000;
    return t;
}

std::string reportTimeText(const ReportRow& row) {
    return format("%02d/%02d/%02d %02d:%02d:%02d", row.month, row.day, row.year % 100, row.hour, row.minute,
                  row.second);
}

std::string reportLatitudeText(double latitude) {
    return degreesText(latitude) + (latitude < 0 ? "S" : "N");
}

std::string reportLongitudeText(double longitude) {
    return degreesText(longitude) + (longitude < 0 ? "W" : "E");
}

std::string reportMagnitudeText(const ReportRow& row) {
    if (row.magnitude == 0) return "  ???  ";
    return format("%s%1.1f", row.magType.c_str(), row.magnitude);
}

std::string reportDepthText(const ReportRow& row) {
    return format("%gkm", row.depth);
}

std::string reportDistanceText(const ReportRow& row, double stationLat, double stationLon) {
    if (isUnknownValue(stationLat) || isUnknownValue(stationLon)) return {};
    GreatCircle gc;
    if (!greatCircle(stationLat, stationLon, row.latitude, row.longitude, gc)) return {};
    return format("%-5.2fkm  %-5.2fmi\n", gc.km, gc.km * kMilesPerKm);
}

std::string reportClipboardText(const ReportRow& row) {
    std::string text = format("%02d/%02d/%02d  %02d:%02d:%02d   ", row.month, row.day, row.year % 100,
                              row.hour, row.minute, row.second);
    text += reportLatitudeText(row.latitude) + "  " + reportLongitudeText(row.longitude) + "\t";
    text +=
        row.magnitude != 0 ? format("%s %1.1f\t", row.magType.c_str(), row.magnitude) : std::string("???\t");
    text += format("%gkm\t", row.depth);
    return text + row.comment;
}

EventEntry reportEventEntry(const ReportRow& row) {
    EventEntry e{};
    e.originTime = row.originTime();
    e.latitude = row.latitude;
    e.longitude = row.longitude;
    e.depth = row.depth;
    if (row.magnitude != 0) setMagnitude(e, row.magnitude, row.magType.empty() ? "M" : row.magType);
    if (row.magnitude2 != 0) setMagnitude(e, row.magnitude2, row.magType2.empty() ? "M" : row.magType2);
    e.quality = static_cast<std::uint8_t>(row.quality);
    e.eventType = row.eventType == 'E' ? 1 : row.eventType == 'N' ? 2 : row.eventType == 'Q' ? 3 : 0;
    copyToField(e.source, sizeof e.source, row.agency);
    return e;
}

std::string reportRecordComment(const ReportRow& row, const EventRecord& record) {
    std::string text;
    const bool second = row.magnitude2 > row.magnitude;
    const double magnitude = second ? row.magnitude2 : row.magnitude;
    if (magnitude != 0) text += format("%s%1.1f ", (second ? row.magType2 : row.magType).c_str(), magnitude);
    const std::string station = record.info.sensorLocation;
    GreatCircle gc;
    if (!station.empty() &&
        greatCircle(record.header.latitude, record.header.longitude, row.latitude, row.longitude, gc)) {
        const long km = std::lround(gc.km);
        if (km != 0) text += format("%ldkm from %s ", km, station.c_str());
    }
    if (!row.comment.empty()) {
        if (!text.empty()) text.back() = ',', text += ' ';
        text += row.comment + " ";
    }
    text += row.id;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (text.size() > kMaxInfoText) text.resize(kMaxInfoText);
    return text;
}

void storeReport(EventRecord& record, const ReportRow& row, bool replace) {
    if (replace) record.info.events.clear();
    record.addEvent(reportEventEntry(row));
    record.info.currentEvent = static_cast<std::int32_t>(record.info.events.size() - 1);
    record.info.comment = reportRecordComment(row, record);
}

std::string cleanReportComment(std::string_view text) {
    if (const std::size_t end = text.find("</"); end != std::string_view::npos) text = text.substr(0, end);
    std::string out;
    for (char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace tlx
