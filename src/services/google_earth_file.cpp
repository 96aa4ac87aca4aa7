#include "services/google_earth_file.h"

#include "core/atomic_file.h"
#include "core/text.h"
#include "platform/process.h"

namespace tlx {

std::string xmlText(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string googleEarthKml(const std::vector<KmlPoint>& points, double range) {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                    "<kml xmlns=\"http://earth.google.com/kml/2.0\">\n"
                    "<Folder><name>Tellurix</name>\n";
    if (!points.empty()) {
        s += "<LookAt>\n";
        s += format("<longitude>%f</longitude>\n<latitude>%f</latitude>\n", points[0].lon, points[0].lat);
        s += format("<range>%f</range>\n<tilt>0</tilt>\n<heading>0.0</heading>\n</LookAt>\n", range);
    }
    for (const KmlPoint& p : points) {
        s += "<Placemark>\n<name>" + xmlText(p.name) + "</name>\n";
        s += "<description>" + xmlText(p.description) + "</description>\n";
        s += format("<Point><coordinates>%f,%f</coordinates></Point>\n</Placemark>\n", p.lon, p.lat);
    }
    s += "</Folder>\n</kml>\n";
    return s;
}

std::filesystem::path writeGoogleEarthFile(const std::filesystem::path& directory,
                                           const std::vector<KmlPoint>& points, double range) {
    const std::filesystem::path path = directory / "GoogleEarth.kml";
    if (!writeFileAtomically(path, googleEarthKml(points, range))) return {};
    return path;
}

bool showInGoogleEarth(const std::filesystem::path& kml, const std::string& googleEarthProgram) {
    std::error_code ec;
    if (!googleEarthProgram.empty() && std::filesystem::is_regular_file(googleEarthProgram, ec) &&
        startDetached({googleEarthProgram, kml.string()}))
        return true;
    return openWithDesktop(kml.string());
}

} // namespace tlx
