#include "services/ew_locator_files.h"

#include "core/atomic_file.h"
#include "core/civil_time.h"
#include "core/file_io.h"
#include "core/text.h"
#include "services/fixed_columns.h"
#include "services/google_earth_file.h"

#include <cmath>

namespace tlx {

namespace {

constexpr std::size_t kMaxLine = 254;

// Degrees and decimal minutes, negative for the given hemisphere letter.
double angle(std::string_view line, std::size_t degAt, std::size_t degLength, std::size_t minAt,
             std::size_t minLength, std::size_t hemisphereAt, char negative) {
    const double value =
        leadingInt(columns(line, degAt, degLength)) + leadingDouble(columns(line, minAt, minLength)) / 60;
    const bool south =
        hemisphereAt < line.size() && (line[hemisphereAt] == negative || line[hemisphereAt] == negative + 32);
    return south ? -value : value;
}

// The command word of a line: three characters upper-cased, then a blank, a tab or the end.
std::string commandWord(std::string_view line) {
    if (line.size() < 3 || line[0] == '*') return {};
    if (line.size() > 3 && line[3] != ' ' && line[3] != '\t') return {};
    return toUpper(line.substr(0, 3));
}

std::string quotedName(std::string_view line) {
    const std::size_t open = line.find('\'');
    const std::size_t close = open == std::string_view::npos ? open : line.find('\'', open + 1);
    return close == std::string_view::npos ? std::string()
                                           : std::string(line.substr(open + 1, close - open - 1));
}

// Whole degrees, whole minutes and ten-thousandths of a minute of |value|.
struct Dms {
    int degrees;
    int minutes;
    int fraction;
};
Dms splitAngle(double value) {
    long long tenThousandths = std::llround(std::fabs(value) * 60 * 10000);
    Dms out;
    out.fraction = static_cast<int>(tenThousandths % 10000);
    const long long minutes = tenThousandths / 10000;
    out.minutes = static_cast<int>(minutes % 60);
    out.degrees = static_cast<int>(minutes / 60);
    return out;
}

} // namespace

std::optional<EwStation> parseStationLine(std::string_view line) {
    EwStation out;
    out.station = wordAt(line, 0, 5);
    if (out.station.empty()) return std::nullopt;
    out.component = wordAt(line, 10, 3);
    out.latitude = angle(line, 15, 2, 18, 7, 25, 'S');
    out.longitude = angle(line, 26, 3, 30, 7, 37, 'W');
    return out;
}

std::optional<EwStation> findStation(std::string_view stationFileText, std::string_view pickName) {
    const std::size_t dot = pickName.find('.');
    const std::string_view station = pickName.substr(0, dot);
    const std::string_view component =
        dot == std::string_view::npos ? std::string_view() : pickName.substr(dot + 1);
    TextLines lines(stationFileText, kMaxLine);
    std::string_view line;
    while (lines.next(line)) {
        const auto found = parseStationLine(line);
        if (found && found->station == station && found->component == component) return found;
    }
    return std::nullopt;
}

std::string ewNewStationLine(const EwStationSite& site) {
    std::string line =
        "SSSSS NN  CCC  37 30.5100N121 22.4400W 1020.0   A 0.00  0.00  0.00  0.00 1  0.0007 1.000";
    placeAt(line, 0, fixedWidth(site.station, 5));
    placeAt(line, 6, fixedWidth(site.network, 2));
    placeAt(line, 10, fixedWidth(site.component, 3));
    const Dms lat = splitAngle(site.latitude);
    placeAt(line, 15, format("%2d %2d.%04d", lat.degrees, lat.minutes, lat.fraction));
    placeAt(line, 25, site.latitude < 0 ? "S" : "N");
    const Dms lon = splitAngle(site.longitude);
    placeAt(line, 26, format("%3d %2d.%04d", lon.degrees, lon.minutes, lon.fraction));
    placeAt(line, 37, site.longitude < 0 ? "W" : "E");
    const long long tenths = std::llround(std::fabs(site.elevation) * 10);
    const std::string elevation =
        format("%4lld.%1lld", (site.elevation < 0 ? -1 : 1) * (tenths / 10), tenths % 10);
    // The template's field is 38-44: the number right-aligned in it.
    placeAt(line, 38, format("%7s", elevation.substr(0, 7).c_str()));
    return line;
}

EwCommandFile parseCommandFile(std::string_view text) {
    EwCommandFile out;
    TextLines lines(text, kMaxLine);
    std::string_view line;
    while (lines.next(line)) {
        const std::string word = commandWord(line);
        if (word == "STA")
            out.stationFile = quotedName(line);
        else if (word == "SUM")
            out.summaryFile = quotedName(line);
        else if (word == "LOC")
            out.hasLocate = true;
    }
    return out;
}

std::string rewriteCommandFile(std::string_view text, const std::string& phaseFile, int phaseFormat) {
    std::string out;
    TextLines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const std::string word = commandWord(line);
        if (word == "PHS")
            out += format("PHS '%s'\n", phaseFile.c_str());
        else if (word == "COP")
            out += format("COP %d\n", phaseFormat);
        else {
            out.append(line);
            out += '\n';
        }
    }
    return out;
}

bool updateCommandFile(const std::filesystem::path& commandFile, const std::string& phaseFile,
                       int phaseFormat, std::string& error) {
    std::string text;
    if (!readTextFile(commandFile, text)) {
        error = "Can't Open Command File";
        return false;
    }
    // The copy is made beside the file under ".tmp" and then takes the file's place.
    std::filesystem::path temporary = commandFile;
    temporary += ".tmp";
    std::error_code ec;
    if (!writeFileAtomically(temporary, rewriteCommandFile(text, phaseFile, phaseFormat)) ||
        (std::filesystem::rename(temporary, commandFile, ec), ec)) {
        std::filesystem::remove(temporary, ec);
        error = "Can't Open Temp Command File";
        return false;
    }
    if (!parseCommandFile(text).hasLocate) {
        error = "Command 'LOC' not found in command file";
        return false;
    }
    return true;
}

std::filesystem::path resolveNamed(const std::filesystem::path& namingFile, const std::string& name) {
    const std::filesystem::path named(name);
    return named.is_absolute() ? named : namingFile.parent_path() / named;
}

std::vector<EwLocation> parseSummary(std::string_view text) {
    std::vector<EwLocation> out;
    TextLines lines(text, kMaxLine);
    std::string_view line;
    while (lines.next(line)) {
        int date = 0;
        double seconds = 0;
        if (line.size() < 40 || !parseInt(columns(line, 0, 8), date) || date < 10000101 ||
            !parseDouble(columns(line, 13, 6), seconds))
            continue;
        CivilTime t;
        t.year = date / 10000;
        t.month = date / 100 % 100;
        t.day = date % 100;
        t.hour = leadingInt(columns(line, 9, 2));
        t.minute = leadingInt(columns(line, 11, 2));
        if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > daysInMonth(t.year, t.month)) continue;
        EwLocation location;
        location.originTime = static_cast<double>(epochSeconds(t)) + seconds;
        location.latitude = angle(line, 20, 2, 23, 5, 22, 'S');
        location.longitude = angle(line, 29, 3, 33, 5, 32, 'W');
        location.depth = leadingDouble(columns(line, 39, 6));
        // Further lines overwrite the last place.
        if (out.size() == kMaxSummaryLocations)
            out.back() = location;
        else
            out.push_back(location);
    }
    return out;
}

std::string ewSummaryKml(const std::vector<EwLocation>& locations, const std::optional<EwKmlPoint>& report,
                         const std::vector<EwKmlPoint>& stations, double range) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                      "<kml xmlns=\"http://earth.google.com/kml/2.0\">\n"
                      "<Folder><name>Tellurix</name>\n"
                      "<Style id=\"report-pushpin\"><IconStyle><color>ff0000aa</color></IconStyle></Style>\n"
                      "<Style id=\"sta-pushpin\"><IconStyle><color>ff0055aa</color></IconStyle></Style>\n";
    if (!locations.empty())
        out += format("<LookAt>\n<longitude>%f</longitude>\n<latitude>%f</latitude>\n<range>%f</"
                      "range>\n<tilt>0</tilt>\n"
                      "<heading>0.0</heading>\n</LookAt>\n",
                      locations.front().longitude, locations.front().latitude, range);
    auto placemark = [&out](const EwKmlPoint& p) {
        out += "<Placemark>\n<name>" + xmlText(p.name) + "</name>\n<description>" + xmlText(p.description) +
               "</description>\n";
        if (!p.style.empty()) out += "<styleUrl>" + p.style + "</styleUrl>\n";
        out += format("<Point><coordinates>%f,%f</coordinates></Point>\n</Placemark>\n\n", p.longitude,
                      p.latitude);
    };
    if (report) placemark(*report);
    for (std::size_t i = 0; i < locations.size(); ++i)
        placemark({locations.size() == 1 ? std::string("Event") : format("Event_%zu", i + 1), "Event", "",
                   locations[i].latitude, locations[i].longitude});
    for (const EwKmlPoint& station : stations)
        placemark(station);
    out += "</Folder>\n</kml>\n";
    return out;
}

} // namespace tlx
