// The locator's other files that the picks dialog reads and writes: the station file, the
// command file (rewritten to read our phase file), the summary file of located events and the
// KML that shows them in Google Earth.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct EwStation {
    std::string station;
    std::string component;
    double latitude = 0;
    double longitude = 0;
};

// One station line; nullopt when the line has no station name.
std::optional<EwStation> parseStationLine(std::string_view line);
// The position of STA.CMP ("station.component" of a pick) in the station file's text.
std::optional<EwStation> findStation(std::string_view stationFileText, std::string_view pickName);

struct EwStationSite {
    std::string station;
    std::string network;
    std::string component;
    double latitude = 0;
    double longitude = 0;
    double elevation = 0; // metres
};
std::string ewNewStationLine(const EwStationSite& site);

// What the command file names.
struct EwCommandFile {
    std::string stationFile; // STA, as written (resolved against the command file's folder by the caller)
    std::string summaryFile; // SUM
    bool hasLocate = false;  // LOC
};
EwCommandFile parseCommandFile(std::string_view text);
// The command file rewritten to read phaseFile in the given format.
std::string rewriteCommandFile(std::string_view text, const std::string& phaseFile, int phaseFormat);
// Rewrites the file through "<name>.tmp"; false with "Can't Open Command File", "Can't Open Temp
// Command File" or "Command 'LOC' not found in command file" (the file is rewritten all the same).
bool updateCommandFile(const std::filesystem::path& commandFile, const std::string& phaseFile,
                       int phaseFormat, std::string& error);
// A quoted name resolved against the folder of the file that names it.
std::filesystem::path resolveNamed(const std::filesystem::path& namingFile, const std::string& name);

struct EwLocation {
    double originTime = 0; // seconds since 1970
    double latitude = 0;
    double longitude = 0;
    double depth = 0; // km
};
constexpr int kMaxSummaryLocations = 50;
// The located events of a summary file; lines that do not parse are passed over.
std::vector<EwLocation> parseSummary(std::string_view text);

struct EwKmlPoint {
    std::string name;
    std::string description;
    std::string style; // "#report-pushpin", "#sta-pushpin" or empty
    double latitude = 0;
    double longitude = 0;
};
// The KML of the located events: report placemark, events ("Event" or "Event_%d"), stations.
std::string ewSummaryKml(const std::vector<EwLocation>& locations, const std::optional<EwKmlPoint>& report,
                         const std::vector<EwKmlPoint>& stations, double range);

} // namespace tlx
