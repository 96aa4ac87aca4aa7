#include "browser/event_database.h"

#include "browser/file_walk.h"
#include "core/atomic_file.h"
#include "core/debug_log.h"
#include "core/mapped_file.h"
#include "core/text.h"
#include "seismo/geodesy.h"

#include <algorithm>
#include <cctype>

namespace tlx::browser {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxLine = 4096;

bool parseStart(std::string_view text, CivilTime& t) {
    // "%02d/%02d/%04d %02d:%02d:%02d"
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return false;
    const std::vector<std::string> date = split(text.substr(0, blank), '/');
    const std::vector<std::string> time = split(text.substr(blank + 1), ':');
    if (date.size() != 3 || time.size() != 3) return false;
    if (!parseInt(date[0], t.month) || !parseInt(date[1], t.day) || !parseInt(date[2], t.year) ||
        !parseInt(time[0], t.hour) || !parseInt(time[1], t.minute) || !parseInt(time[2], t.second))
        return false;
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.year >= 0 && t.year <= 9999 &&
           t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 61;
}

// "%g" of the distance, cut at the decimal point.
std::string distanceText(long long km) {
    return format("%lld", km);
}

} // namespace

CivilTime recordStart(const EventRecord& record) {
    return toCivil(addSeconds(record.header.startTime, record.header.startTimeOffset));
}

char componentLetter(const EventRecord& record) {
    const char c = record.header.orientation;
    return std::isgraph(static_cast<unsigned char>(c)) && c != ',' ? c : '?';
}

double eventMagnitude(const EventEntry& e) {
    const std::int16_t values[] = {e.magMs, e.magMb, e.magMw, e.magMl, e.magMd, e.magOther};
    int best = 0;
    for (std::int16_t v : values)
        if (v != 0 && (best == 0 || v > best)) best = v;
    return best / 100.0;
}

std::optional<double> eventDistanceKm(const EventRecord& record, const EventEntry& event) {
    const ChannelHeader& h = record.header;
    if (isUnknownValue(h.latitude) || isUnknownValue(h.longitude) || isUnknownValue(event.latitude) ||
        isUnknownValue(event.longitude))
        return std::nullopt;
    GreatCircle arc;
    if (!greatCircle(h.latitude, h.longitude, event.latitude, event.longitude, arc)) return std::nullopt;
    return arc.km;
}

std::vector<DatabaseLine> linesForRecord(const std::string& path, const EventRecord& record) {
    DatabaseLine base;
    base.path = path;
    base.start = recordStart(record);
    base.station = std::string(trimTrailingBlanks(record.stationName().substr(0, 6)));
    std::replace(base.station.begin(), base.station.end(), ',', '_'); // the line's separator
    base.component = componentLetter(record);
    std::vector<DatabaseLine> out;
    for (const EventEntry& e : record.info.events) {
        DatabaseLine line = base;
        line.magnitude = eventMagnitude(e);
        // Cut at the decimal point as the "%g" text would be.
        line.distanceKm = static_cast<long long>(eventDistanceKm(record, e).value_or(0));
        line.depth = e.depth;
        out.push_back(line);
    }
    if (out.empty()) out.push_back(base);
    return out;
}

std::string formatLine(const DatabaseLine& l) {
    return format("%s,%02d/%02d/%04d %02d:%02d:%02d,%s,%c,%g,%s,%g", l.path.c_str(), l.start.month,
                  l.start.day, l.start.year, l.start.hour, l.start.minute, l.start.second, l.station.c_str(),
                  l.component, l.magnitude, distanceText(l.distanceKm).c_str(), l.depth);
}

std::optional<DatabaseLine> parseLine(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return std::nullopt; // no name holds one
    // Six fields from the right; the path is whatever comes before them.
    std::string_view fields[6];
    std::string_view rest = text;
    for (int i = 5; i >= 0; --i) {
        const std::size_t comma = rest.rfind(',');
        if (comma == std::string_view::npos) return std::nullopt;
        fields[i] = rest.substr(comma + 1);
        rest = rest.substr(0, comma);
    }
    DatabaseLine line;
    line.path = std::string(rest);
    if (line.path.empty() || !parseStart(fields[0], line.start)) return std::nullopt;
    if (fields[1].size() > 6) return std::nullopt;
    line.station = std::string(fields[1]);
    if (fields[2].size() != 1) return std::nullopt;
    line.component = fields[2][0];
    if (!parseDouble(fields[3], line.magnitude) || !parseInt(fields[4], line.distanceKm) ||
        !parseDouble(fields[5], line.depth))
        return std::nullopt;
    return line;
}

bool parseDatabase(std::string_view text, DatabaseFile& out) {
    out = {};
    TextLines lines(text, kMaxLine);
    std::string_view line;
    if (!lines.next(line) || !line.starts_with("Records: ") || !parseInt(line.substr(9), out.count))
        return false;
    if (!lines.next(line) || !line.starts_with("Version: ")) return false;
    if (!lines.next(line) || !line.starts_with("Root: ")) return false;
    out.root = std::string(line.substr(6));
    while (lines.next(line)) {
        if (line.empty()) continue;
        if (auto parsed = parseLine(line))
            out.lines.push_back(std::move(*parsed));
        else
            logFormat("eventdb.dat line %d skipped: damaged", lines.lineNumber());
    }
    return true;
}

bool readDatabase(const fs::path& path, DatabaseFile& out) {
    MappedFile file;
    if (!file.open(path)) return false;
    return parseDatabase(asText(file.bytes()), out);
}

CreateResult createDatabase(const fs::path& root, const fs::path& target, EventLoader& loader,
                            const Progress& progress) {
    CreateResult result;
    AtomicFileWriter out(target);
    if (!out.open()) {
        result.message = format("Error Opening File %s", target.string().c_str());
        return result;
    }
    std::string text = "Records: 000000\nVersion: 1.0\nRoot: " + root.string() + "\n";
    const std::vector<fs::path> dirs = collectDirectories(root, true);
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        if (progress && !progress(format("Creating Database File - Searching Directory %zu of %zu:\n%s",
                                         i + 1, dirs.size(), dirs[i].string().c_str()))) {
            out.abandon();
            result.message = "Database File Not Created - Stopped";
            return result;
        }
        for (const fs::path& file : listFiles(dirs[i])) {
            // A line break in a name would split its line.
            if (file.string().find_first_of("\r\n") != std::string::npos) continue;
            const LoadResult header = loader.readHeaderOnly(file);
            if (!header.ok || header.channels.empty() || header.kind == kKindGse2) continue;
            for (const DatabaseLine& line : linesForRecord(file.string(), header.channels.front().record)) {
                text += formatLine(line);
                text += '\n';
                ++result.records;
            }
        }
        if (!out.write(text.data(), text.size())) {
            out.abandon();
            result.message = format("Error Opening File %s", target.string().c_str());
            return result;
        }
        text.clear();
    }
    if (result.records == 0) {
        out.abandon();
        result.message = "Database File Not Created - No Event Files Found";
        return result;
    }
    const std::string count = format("%06d", std::min(result.records, 999999));
    if (!out.writeAt(9, count.data(), count.size()) || !out.commit()) {
        result.message = format("Error Opening File %s", target.string().c_str());
        return result;
    }
    result.ok = true;
    result.message = format("Database File Created - %d Records", result.records);
    return result;
}

std::vector<std::string> searchDatabase(const DatabaseFile& db, const SearchCriteria& criteria) {
    const CandidateFilter f(criteria);
    std::vector<std::string> found;
    for (const DatabaseLine& l : db.lines) {
        if (static_cast<int>(found.size()) >= criteria.maxFiles) break;
        if (!rangeTest(l.magnitude, f.minMag, f.maxMag) ||
            !rangeTest(static_cast<double>(l.distanceKm), f.minDist, f.maxDist) ||
            !rangeTest(l.depth, f.minDepth, f.maxDepth, true))
            continue;
        if (!f.dateTest(daysFromCivil(l.start.year, l.start.month, l.start.day)) ||
            !f.componentTest(l.component) || !f.stationTest(l.station))
            continue;
        found.push_back(l.path);
    }
    return found;
}

} // namespace tlx::browser
