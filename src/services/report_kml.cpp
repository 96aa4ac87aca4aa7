#include "services/report_kml.h"

#include "core/text.h"
#include "seismo/geodesy.h"

namespace tlx {

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::string placemark(const std::string& name, const std::string& description, double lat, double lon) {
    return format("<Placemark><name>%s</name><description>%s</description><Point><coordinates>%.6f,%.6f,0"
                  "</coordinates></Point></Placemark>\n",
                  escaped(name).c_str(), escaped(description).c_str(), lon, lat);
}

} // namespace

std::string reportKml(const ReportRow& row, const std::string& regionName, const EventRecord* record) {
    const std::string magnitude =
        row.magnitude != 0 ? format("%s%1.1f", row.magType.c_str(), row.magnitude) : std::string("M??");
    const std::string label = magnitude + " " + regionName;
    std::string kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>\n";
    kml += format("<LookAt><longitude>%.6f</longitude><latitude>%.6f</latitude><range>%g</range></LookAt>\n",
                  row.longitude, row.latitude, kReportViewRange);
    const bool station =
        record && !isUnknownValue(record->header.latitude) && !isUnknownValue(record->header.longitude);
    kml +=
        placemark(station ? "Event" : label, label + " " + reportTimeText(row), row.latitude, row.longitude);
    if (station)
        kml += placemark("Station", record->stationName(), record->header.latitude, record->header.longitude);
    return kml + "</Document></kml>\n";
}

} // namespace tlx
