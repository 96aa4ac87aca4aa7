// The Google Earth file "GoogleEarth.kml": a folder of placemarks with the view looking at the
// first one. The event window, the map and the report list write it; the shell's viewer opens it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct KmlPoint {
    std::string name;
    std::string description;
    double lat = 0, lon = 0;
};

// Text with "&", "<" and ">" escaped for an XML element.
std::string xmlText(std::string_view text);

// The view range of a single point, and the farthest view, metres.
constexpr double kKmlPointRange = 160934;
constexpr double kKmlMaxRange = 8368588;

// The file's text: names and descriptions are escaped for XML.
std::string googleEarthKml(const std::vector<KmlPoint>& points, double range);
// Writes "GoogleEarth.kml" into `directory` (temporary file renamed into place); the path, or an
// empty path when it could not be written ("Error Creating GoogleEarth.kml file").
std::filesystem::path writeGoogleEarthFile(const std::filesystem::path& directory,
                                           const std::vector<KmlPoint>& points, double range);

// Opens the file in the Google Earth program chosen by the user ("GoogleEarthPath"), else in the
// desktop's program for it; false when neither could be started.
bool showInGoogleEarth(const std::filesystem::path& kml, const std::string& googleEarthProgram);

} // namespace tlx
