#include "feedgrab/feed_report.h"

#include "core/civil_time.h"
#include "core/text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tlx::feedgrab {

namespace {

// A JSON number at the start of s (blanks skipped); false for null, text or a value out of range.
bool readNumber(std::string_view s, double& value) {
    std::size_t used = 0;
    return takeDouble(s, value, used);
}

// Characters before the decimal point of a number text.
std::size_t leadWidth(const std::string& text) {
    const std::size_t point = text.find('.');
    return point == std::string::npos ? text.size() : point;
}

// Keys start with a quote, the commonest character of the feed: memmem skips ahead faster than find.
std::size_t findKey(std::string_view text, std::string_view key) {
    const void* at = ::memmem(text.data(), text.size(), key.data(), key.size());
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : std::string_view::npos;
}

std::string_view afterKey(std::string_view text, std::string_view key, bool& found) {
    const std::size_t at = findKey(text, key);
    found = at != std::string_view::npos;
    return found ? text.substr(at + key.size()) : std::string_view{};
}

} // namespace

std::string latitudeText(double value) {
    const std::string t = tlx::format("%5.3f", value);
    const std::size_t before = leadWidth(t);
    return std::string(before == 2 ? 1 : before == 3 ? 0 : 2, ' ') + t;
}

std::string depthText(double value) {
    const std::string t = tlx::format("%2.1f", value);
    const std::size_t before = leadWidth(t);
    return std::string(before == 2 ? 1 : before == 3 ? 0 : 2, ' ') + t;
}

std::string longitudeText(double value) {
    const std::string t = tlx::format("%5.3f", value);
    const std::size_t before = leadWidth(t);
    return std::string(before == 4 ? 0 : before == 3 ? 1 : before == 2 ? 2 : 3, ' ') + t;
}

// ---- feature store and scanner

std::string_view FeatureStore::at(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
}

void FeatureStore::add(std::string_view text) {
    text_.append(text.substr(0, kMaxFeatureChars));
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
}

void FeatureStore::clear() {
    text_.clear();
    ends_.clear();
}

bool FeedScanner::add(const char* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos < size && !full_) {
        const void* lf = std::memchr(data + pos, '\n', size - pos);
        const std::size_t stop = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
        if (line_.size() < kMaxLineChars)
            line_.append(data + pos, std::min(stop - pos, kMaxLineChars - line_.size()));
        if (!lf) break;
        endLine();
        line_.clear();
        pos = stop + 1;
    }
    return !full_;
}

void FeedScanner::endLine() {
    if (line_.size() < kMinFeatureLine) return;
    const std::size_t at = findKey(line_, kFeatureKey);
    if (at == std::string::npos) return;
    store_.add(std::string_view(line_).substr(at + kFeatureKey.size()));
    if (store_.size() >= kMaxFeatures) {
        console_.log("Too many lines");
        full_ = true;
    }
}

// ---- filter file

void parseFilterText(std::string_view text, HomeFilter& home, FeedConsole& console) {
    bool haveHome = false;
    TextLines lines(text, kMaxFilterLineChars);
    for (std::string_view line; lines.next(line);) {
        if (!line.empty() && (line[0] == '#' || line[0] == '!')) continue;
        const std::vector<std::string_view> words = tlx::words(line);
        if (words.empty()) continue; // blank lines carry nothing
        if (!haveHome) {
            haveHome = true;
            home.latitude = 0;
            home.longitude = 0;
            readNumber(words[0], home.latitude);
            if (words.size() > 1) readNumber(words[1], home.longitude);
            home.name = words.size() > 2 ? std::string(words[2]) : std::string();
            continue;
        }
        if (words.size() < 2) continue;
        MagnitudeFilter f;
        readNumber(words[0], f.minMagnitude);
        readNumber(words[1], f.maxDistanceKm);
        home.filters.push_back(f);
        if (home.filters.size() >= kMaxFilters) {
            console.print("Too many filters\n");
            break;
        }
    }
}

bool readFilterFile(const std::string& path, HomeFilter& home, FeedConsole& console) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        console.print("Can't open Filter File\n");
        return false;
    }
    std::string text;
    char buffer[4096];
    std::size_t n;
    while (text.size() < kMaxFilterFileBytes && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, std::min(n, kMaxFilterFileBytes - text.size()));
    std::fclose(f);
    parseFilterText(text, home, console);
    return true;
}

// ---- distance

double distanceKm(double eventLat, double eventLon, double homeLat, double homeLon) {
    const double pi = std::acos(-1.0);
    double lat[2] = {eventLat, homeLat};
    double lon[2] = {eventLon, homeLon};
    double colat[2];
    for (int k = 0; k < 2; ++k) {
        if (!(lat[k] >= -90 && lat[k] <= 90) || !(lon[k] >= -185)) return 0;
        if (lon[k] > 180) lon[k] -= 360;
        if (lon[k] > 185) return 0;
        const double c = (90.0 - lat[k]) * pi / 180.0;
        colat[k] = pi / 2 - std::atan(0.993305621334896 * std::cos(c) / std::max(1e-30, std::sin(c)));
        if (lon[k] < 0) lon[k] += 360;
    }
    const double dLon = (lon[1] - lon[0]) * pi / 180.0;
    double cosDelta =
        std::sin(colat[0]) * std::sin(colat[1]) * std::cos(dLon) + std::cos(colat[0]) * std::cos(colat[1]);
    // Rounding can push the cosine of identical points just past 1, where acos has no value.
    cosDelta = std::clamp(cosDelta, -1.0, 1.0);
    return std::acos(cosDelta) * 180.0 / pi * 111.1775;
}

// ---- one feature

bool formatFeature(std::string_view text, const FormatOptions& options, std::string& line,
                   FeedConsole& console) {
    double magnitude = 0;
    readNumber(text, magnitude);

    bool found = false;
    std::string_view place = afterKey(text, "\"place\":", found);
    if (!found || place.empty() || place[0] != '"') { // absent or null
        console.log("No place");
        return false;
    }
    place.remove_prefix(1);
    place = place.substr(0, std::min(place.find('"'), kMaxPlaceChars));

    const std::string_view timeText = afterKey(text, "\"time\":", found);
    // Milliseconds since 1970 in UTC; the milliseconds are dropped. Years outside 0..9999 do not fit the
    // column.
    constexpr double kMinSeconds = -62167219200.0; // 0000-01-01 00:00:00
    constexpr double kMaxSeconds = 253402300799.0; // 9999-12-31 23:59:59
    double ms = 0;
    const bool haveTime = found && readNumber(timeText, ms);
    const double seconds = std::floor(ms / 1000.0);
    if (!haveTime || seconds < kMinSeconds || seconds > kMaxSeconds) {
        console.print("No Time\n");
        return false;
    }
    const CivilTime t = civilFromEpoch(static_cast<std::int64_t>(seconds));

    std::string_view coords = afterKey(text, "\"coordinates\":[", found);
    coords = coords.substr(0, coords.find(']')); // commas of later keys are not the list's
    double lon = 0, lat = 0, depth = 0;
    if (!found || !readNumber(coords, lon)) {
        console.print("No location\n");
        return false;
    }
    std::size_t comma = coords.find(',');
    if (comma == std::string_view::npos) {
        console.print("loc error 1\n");
        return false;
    }
    coords.remove_prefix(comma + 1);
    if (!readNumber(coords, lat)) {
        console.print("No location\n");
        return false;
    }
    comma = coords.find(',');
    if (comma == std::string_view::npos) {
        console.print("loc error 2\n");
        return false;
    }
    coords.remove_prefix(comma + 1);
    readNumber(coords, depth); // an unknown depth reads as 0

    double distance = 0;
    if (options.home) {
        const HomeFilter& home = *options.home;
        distance = distanceKm(lat, lon, home.latitude, home.longitude);
        if (!home.filters.empty() &&
            std::none_of(home.filters.begin(), home.filters.end(), [&](const MagnitudeFilter& f) {
                return f.minMagnitude <= magnitude && f.maxDistanceKm >= distance;
            }))
            return false;
    }

    const std::string when = options.fileDates ? tlx::format("%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month,
                                                             t.day, t.hour, t.minute, t.second)
                                               : tlx::format("%02d/%02d/%02d %02d:%02d:%02d", t.month, t.day,
                                                             t.year % 100, t.hour, t.minute, t.second);
    const std::string magText = tlx::format("%1.1f", magnitude);
    std::string fixed =
        when + " " + latitudeText(lat) + " " + longitudeText(lon) + "  M" + magText + " " + depthText(depth);
    if (fixed.size() >= kPlaceColumn) {
        // A wide magnitude (below zero) would run into the place: one blank fewer before it keeps
        // a blank between depth and place.
        fixed = when + " " + latitudeText(lat) + " " + longitudeText(lon) + " M" + magText + " " +
                depthText(depth);
        if (fixed.size() >= kPlaceColumn) {
            console.log("Bad numbers");
            return false;
        }
    }
    line = fixed;
    line.resize(kPlaceColumn, ' ');
    for (char c : place)
        line.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c);
    if (options.home)
        line += tlx::format(" - %dkm from %s", static_cast<int>(std::floor(distance + 0.5)),
                            options.home->name.c_str());
    return true;
}

// ---- command line

const char* const kUsageText = "\n"
                               "feedgrab -? | [-f <file>] [-h] <url>\n"
                               "     -a            - All events\n"
                               "     -f OutFile    - File in which the web-page is saved\n"
                               "     -l FilterFile - Filter and display distance to event\n"
                               "     -?            - this help-message\n";

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '-') {
            cl.url = a;
            break;
        }
        const char letter = a.size() > 1 ? a[1] : '\0';
        if (letter == 'f' || letter == 'l') {
            if (i + 1 >= args.size()) return cl;
            (letter == 'f' ? cl.outFile : cl.filterFile) = args[++i];
            if (letter == 'l') cl.useFilter = true;
        } else if (letter != 'a' && letter != 'h') {
            return cl; // "-?" and any unknown letter
        }
    }
    if (cl.url.empty()) return cl;
    if (cl.url.find('/') == std::string::npos) cl.url += '/';
    cl.ok = true;
    return cl;
}

} // namespace tlx::feedgrab
