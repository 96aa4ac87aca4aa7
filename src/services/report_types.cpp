#include "services/report_types.h"

#include "core/civil_time.h"
#include "core/file_io.h"
#include "core/text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tlx {

namespace {

constexpr std::size_t kMaxReportDatItem = 39;
constexpr std::size_t kMaxFieldComment = 59;

struct KeyName {
    const char* name;
    ReportKey key;
};
constexpr KeyName kKeys[] = {
    {"DATE", ReportKey::Date},
    {"TIME", ReportKey::Time},
    {"LATITUDE", ReportKey::Latitude},
    {"LATITUDE_NORTH", ReportKey::LatitudeNorth},
    {"LATITUDE_SOUTH", ReportKey::LatitudeSouth},
    {"LONGITUDE", ReportKey::Longitude},
    {"LONGITUDE_WEST", ReportKey::LongitudeWest},
    {"LONGITUDE_EAST", ReportKey::LongitudeEast},
    {"DEPTH", ReportKey::Depth},
    {"MAGNITUDE", ReportKey::Magnitude},
    {"MAG_TYPE", ReportKey::MagType},
    {"COMMENT", ReportKey::Comment},
    {"REPORT_ID", ReportKey::ReportId},
    {"REPORT_TYPE", ReportKey::ReportType},
    {"INVERT", ReportKey::Invert},
    {"QUALITY_CHAR", ReportKey::QualityChar},
    {"EVENT_TYPE", ReportKey::EventType},
    {"AGENCY_NAME", ReportKey::AgencyName},
    {"REPORT_1", ReportKey::Report1},
    {"REPORT_2", ReportKey::Report2},
    {"REPORT_3", ReportKey::Report3},
    {"REPORT_4", ReportKey::Report4},
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view skipBlanksTabs(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view item(std::string_view s) {
    s = skipBlanksTabs(s);
    return s.substr(0, kMaxReportDatItem);
}

std::string withoutBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (!isBlank(c)) out += c;
    return out;
}

bool digitsAndBlanks(std::string_view s) {
    bool any = false;
    for (char c : s) {
        if (isDigit(c))
            any = true;
        else if (!isBlank(c))
            return false;
    }
    return any;
}

// The year rule of every report: 2-digit years 50..99 are 1950..1999, below 50 are 2000..2049,
// 1901..2100 are full years. Years 100..1900 are refused: taken "as is" they would land in the
// 21st to 38th centuries.
bool setDate(ReportRow& row, int year, int month, int day) {
    if (year > 2100 || year < 0 || (year >= 100 && year <= 1900)) return false;
    if (year > 1900)
        year -= 1900;
    else if (year < 50)
        year += 100;
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    row.year = year;
    row.month = month;
    row.day = day;
    return true;
}

bool setTime(ReportRow& row, int hour, int minute, int second, int tenths) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || tenths < 0 ||
        tenths > 9)
        return false;
    row.hour = hour;
    row.minute = minute;
    row.second = second;
    row.tenths = tenths;
    return true;
}

int monthFromName(std::string_view name) {
    static constexpr const char* kNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                             "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int m = 0; m < 12; ++m)
        if (name == kNames[m]) return m + 1;
    return 0;
}

// A printable comment of at most maxChars from text, cleaned.
std::string commentFrom(std::string_view text, std::size_t maxChars) {
    text = skipBlanksTabs(text);
    std::string out;
    for (char c : text.substr(0, maxChars)) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) break;
        out += c;
    }
    std::string cleaned = cleanReportComment(out);
    if (cleaned.size() > kMaxReportComment) cleaned.resize(kMaxReportComment);
    return cleaned;
}

// ---- REPORT.DAT fields

bool parseDateField(std::string_view chars, const std::string& mask, ReportRow& row) {
    std::string y, m, d;
    for (std::size_t i = 0; i < chars.size() && i < mask.size(); ++i) {
        if (mask[i] == 'Y') y += chars[i];
        if (mask[i] == 'M') m += chars[i];
        if (mask[i] == 'D') d += chars[i];
    }
    int year = 0, month = 0, day = 0;
    const std::string monthText = withoutBlanks(m);
    if (!monthText.empty() && !isDigit(monthText[0])) {
        month = monthFromName(monthText);
    } else if (!digitsAndBlanks(m) || !parseInt(withoutBlanks(m), month)) {
        return false;
    }
    if (!digitsAndBlanks(y) || !digitsAndBlanks(d) || !parseInt(withoutBlanks(y), year) ||
        !parseInt(withoutBlanks(d), day))
        return false;
    return setDate(row, year, month, day);
}

bool parseTimeField(std::string_view chars, const std::string& mask, ReportRow& row) {
    std::string h, m, s, t;
    for (std::size_t i = 0; i < chars.size() && i < mask.size(); ++i) {
        switch (mask[i]) {
        case 'H':
            h += chars[i];
            break;
        case 'M':
            m += chars[i];
            break;
        case 'S':
            s += chars[i];
            break;
        case 'T':
            t += chars[i];
            break;
        default:
            break;
        }
    }
    int hour = 0, minute = 0, second = 0, fraction = 0;
    if (!digitsAndBlanks(h) || !digitsAndBlanks(m) || !parseInt(withoutBlanks(h), hour) ||
        !parseInt(withoutBlanks(m), minute))
        return false;
    if (!withoutBlanks(s).empty() && (!digitsAndBlanks(s) || !parseInt(withoutBlanks(s), second)))
        return false;
    std::string digits = withoutBlanks(t);
    if (!digits.empty() && !digitsAndBlanks(digits)) return false;
    if (digits.size() > 3) digits.resize(3);
    if (!digits.empty()) parseInt(digits, fraction);
    int tenths = digits.size() == 1   ? fraction
                 : digits.size() == 2 ? (fraction + 5) / 10
                                      : (fraction + 50) / 100;
    if (digits.empty()) tenths = 0;
    return setTime(row, hour, minute, second, std::min(tenths, 9));
}

// Degrees from "dd.ddd" or "dd:mm.m"; false when the text is no number.
bool readDegrees(const std::string& text, double& value) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return parseDouble(text, value);
    double degrees = 0, minutes = 0;
    if (!parseDouble(text.substr(0, colon), degrees) || !parseDouble(text.substr(colon + 1), minutes) ||
        minutes < 0 || minutes >= 60)
        return false;
    const bool negative = text[0] == '-';
    value = std::fabs(degrees) + minutes / 60.0;
    if (negative) value = -value;
    return true;
}

bool parseCoordinateField(std::string_view chars, const std::string& mask, ReportKey key, ReportRow& row) {
    std::string number, hemisphere;
    for (char c : chars)
        if (!isDigit(c) && !isBlank(c) && !std::strchr("-.:ENSW", c)) return false;
    for (std::size_t i = 0; i < chars.size() && i < mask.size(); ++i) {
        const char k = mask[i];
        if (k == 'D' || k == 'M') number += chars[i];
        if (k == '.' || k == ':') number += k;
        if (k == 'H') hemisphere += static_cast<char>(std::toupper(static_cast<unsigned char>(chars[i])));
    }
    double value = 0;
    if (!readDegrees(withoutBlanks(number), value)) return false;
    const bool latitude =
        key == ReportKey::Latitude || key == ReportKey::LatitudeNorth || key == ReportKey::LatitudeSouth;
    if (std::fabs(value) >= (latitude ? 90.0 : 180.0)) return false;
    const std::size_t letterAt = hemisphere.find_first_of("NSEW");
    const char letter = letterAt == std::string::npos ? 0 : hemisphere[letterAt];
    if (letter == 'N' || letter == 'E')
        value = std::fabs(value);
    else if (letter == 'S' || letter == 'W')
        value = -std::fabs(value);
    else if (key == ReportKey::LatitudeNorth || key == ReportKey::LongitudeEast)
        value = std::fabs(value);
    else if (key == ReportKey::LatitudeSouth || key == ReportKey::LongitudeWest)
        value = -std::fabs(value);
    (latitude ? row.latitude : row.longitude) = value;
    return true;
}

void parseMagnitudeField(std::string_view chars, const std::string& mask, ReportRow& row) {
    std::string number, type;
    for (std::size_t i = 0; i < chars.size() && i < mask.size(); ++i) {
        if (mask[i] == 'M') number += chars[i];
        if (mask[i] == '.') number += '.';
        if (mask[i] == 'T') type += chars[i];
    }
    const std::string digits = withoutBlanks(number);
    const bool valid = !digits.empty() && digits.find_first_not_of("0123456789.") == std::string::npos;
    double value = 0;
    if (!valid || !parseDouble(digits, value)) {
        row.magnitude = 0;
        row.magType.clear();
        return;
    }
    row.magnitude = value;
    row.magType = std::string(trim(type)).substr(0, kMaxReportMagType);
}

bool applyField(const ReportField& f, std::string_view line, ReportRow& row) {
    const std::size_t start = std::min(static_cast<std::size_t>(f.start), line.size());
    const std::string_view chars = line.substr(start, static_cast<std::size_t>(f.length));
    const std::string& mask = f.format;
    switch (f.key) {
    case ReportKey::Date:
        return parseDateField(chars, mask, row);
    case ReportKey::Time:
        return parseTimeField(chars, mask, row);
    case ReportKey::Latitude:
    case ReportKey::LatitudeNorth:
    case ReportKey::LatitudeSouth:
    case ReportKey::Longitude:
    case ReportKey::LongitudeWest:
    case ReportKey::LongitudeEast:
        return parseCoordinateField(chars, mask, f.key, row);
    case ReportKey::Depth: {
        std::string number;
        for (std::size_t i = 0; i < chars.size() && i < mask.size(); ++i) {
            if (mask[i] == 'D') number += chars[i];
            if (mask[i] == '.') number += '.';
        }
        row.depth = leadingDouble(withoutBlanks(number));
        return true;
    }
    case ReportKey::Magnitude:
        parseMagnitudeField(chars, mask, row);
        return true;
    case ReportKey::MagType:
        row.magType = mask.substr(0, kMaxReportMagType);
        return true;
    case ReportKey::Comment:
        row.comment = commentFrom(chars, kMaxFieldComment);
        return true;
    case ReportKey::ReportId:
        row.id = mask.substr(0, kMaxReportId);
        return true;
    case ReportKey::QualityChar: {
        const char c = start < line.size() ? line[start] : 0;
        row.quality = c >= 'A' && c <= 'E' ? c : 0;
        return true;
    }
    case ReportKey::EventType:
        row.eventType = mask.empty() ? 0 : mask[0];
        return true;
    case ReportKey::AgencyName:
        row.agency = mask.substr(0, kMaxReportAgency);
        return true;
    default:
        return true; // REPORT_TYPE and INVERT carry no column
    }
}

// ---- built-in parsers

// "dd:dd:dd" at or after from; npos when there is none.
std::size_t findTime(std::string_view s, std::size_t from) {
    for (std::size_t c = s.find(':', from); c != std::string_view::npos; c = s.find(':', c + 1)) {
        if (c >= 2 && c + 5 < s.size() && isDigit(s[c - 2]) && isDigit(s[c - 1]) && isDigit(s[c + 1]) &&
            isDigit(s[c + 2]) && s[c + 3] == ':')
            return c - 2;
    }
    return std::string_view::npos;
}

// " d.d" at i.
bool magnitudeAt(std::string_view s, std::size_t i) {
    return i + 3 < s.size() && s[i] == ' ' && isDigit(s[i + 1]) && s[i + 2] == '.' && isDigit(s[i + 3]);
}

std::size_t skipTo(std::string_view s, std::size_t i) {
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

// sscanf on a bounded copy: the line need not be terminated.
template <typename... T> int scanAt(std::string_view s, std::size_t at, const char* fmt, T*... out) {
    if (at >= s.size()) return 0;
    const std::string copy(s.substr(at, 64));
    return std::sscanf(copy.c_str(), fmt, out...);
}

bool parseReport1(std::string_view line, ReportRow& row) {
    std::size_t pos = line.find("map</A>");
    if (pos == std::string_view::npos) pos = line.find("MAP</A>");
    if (pos == std::string_view::npos) return false;
    pos += 7;
    for (std::size_t i = pos; i < pos + 30 && i < line.size(); ++i) {
        if (magnitudeAt(line, i)) {
            row.magnitude = leadingDouble(line.substr(i + 1, 3));
            row.magType = "M";
            break;
        }
    }
    std::size_t date = std::string_view::npos;
    for (std::size_t s = line.find('/', pos); s != std::string_view::npos; s = line.find('/', s + 1)) {
        if (s >= 4 && s + 5 < line.size() && isDigit(line[s - 4]) && isDigit(line[s - 1]) &&
            isDigit(line[s + 1]) && isDigit(line[s + 2]) && line[s + 3] == '/' && isDigit(line[s + 4]) &&
            isDigit(line[s + 5])) {
            date = s - 4;
            break;
        }
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    if (date == std::string_view::npos || scanAt(line, date, "%04d/%02d/%02d", &y, &mo, &d) != 3 ||
        !setDate(row, y, mo, d))
        return false;
    const std::size_t time = findTime(line, date + 10);
    if (time == std::string_view::npos || scanAt(line, time, "%02d:%02d:%02d", &h, &mi, &se) != 3 ||
        !setTime(row, h, mi, se, 0))
        return false;
    std::size_t i = skipTo(line, time + 8);
    if (i + 6 >= line.size() || line[i + 2] != '.' || line[i + 6] != 'N') return false;
    row.latitude = leadingDouble(line.substr(i, 6));
    i = skipTo(line, i + 7);
    if (i + 7 >= line.size() || line[i + 3] != '.' || line[i + 7] != 'W') return false;
    row.longitude = -leadingDouble(line.substr(i, 7));
    i = skipTo(line, i + 8);
    const std::size_t depthEnd = std::min(line.find('<', i), i + 5);
    row.depth = leadingDouble(line.substr(i, depthEnd - std::min(i, depthEnd)));
    const std::size_t open = line.find('>', i);
    if (open != std::string_view::npos) row.comment = commentFrom(line.substr(open + 1), kMaxFieldComment);
    if (row.latitude > 90 || row.longitude < -180) return false;
    row.agency = "NCSN";
    row.eventType = 'E';
    pacificToUtc(row);
    return true;
}

// The next "." whose hemisphere letter (one of letters) stands 4 characters after it.
std::size_t findHemispherePoint(std::string_view s, std::size_t from, const char* letters) {
    for (std::size_t d = s.find('.', from); d != std::string_view::npos; d = s.find('.', d + 1))
        if (d + 4 < s.size() && std::strchr(letters, s[d + 4]) && s[d + 4] != 0) return d;
    return std::string_view::npos;
}

bool parseReport2(std::string_view line, ReportRow& row) {
    const std::size_t href = line.find("<a href=");
    if (href == std::string_view::npos) return false;
    const std::size_t quote = line.find("\">", href);
    if (quote == std::string_view::npos) return false;
    std::size_t i = quote + 2;
    while (i < quote + 12 && i < line.size() && !isDigit(line[i]))
        ++i;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0, t = 0;
    if (i >= quote + 12 || scanAt(line, i, "%04d %02d %02d", &y, &mo, &d) != 3 || !setDate(row, y, mo, d))
        return false;
    const std::size_t time = findTime(line, i + 10);
    if (time == std::string_view::npos || scanAt(line, time, "%02d:%02d:%02d.%1d", &h, &mi, &se, &t) < 3 ||
        !setTime(row, h, mi, se, t))
        return false;
    const std::size_t lat = findHemispherePoint(line, time + 8, "NS");
    if (lat == std::string_view::npos || lat < 2) return false;
    row.latitude = leadingDouble(line.substr(lat - 2, 6)) * (line[lat + 4] == 'S' ? -1 : 1);
    const std::size_t lon = findHemispherePoint(line, lat + 5, "EW");
    if (lon == std::string_view::npos || lon < 3) return false;
    row.longitude = leadingDouble(line.substr(lon - 3, 7)) * (line[lon + 4] == 'W' ? -1 : 1);
    if (std::fabs(row.latitude) > 90 || std::fabs(row.longitude) > 180) return false;
    i = skipTo(line, lon + 5);
    std::size_t end = i;
    while (end < line.size() && end < i + 5 && !isBlank(line[end]))
        ++end;
    std::string depth;
    for (char c : line.substr(i, end - i)) {
        if (!isDigit(c) && c != '.') break;
        depth += c;
    }
    row.depth = leadingDouble(depth);
    // Two magnitude places: Mb, then Ml; a place may hold a dash.
    i = end;
    double found[2] = {0, 0};
    for (double& m : found) {
        while (i + 1 < line.size() && line[i] == ' ' && line[i + 1] == ' ')
            ++i;
        if (magnitudeAt(line, i)) {
            m = leadingDouble(line.substr(i + 1, 3));
            i += 4;
        } else if (i + 1 < line.size() && line[i] == ' ' && line[i + 1] == '-') {
            i = line.find_first_not_of('-', i + 1);
            if (i == std::string_view::npos) i = line.size();
        }
    }
    if (found[0] != 0) {
        row.magnitude = found[0];
        row.magType = "Mb";
        if (found[1] != 0) row.magnitude2 = found[1], row.magType2 = "Ml";
    } else if (found[1] != 0) {
        row.magnitude = found[1];
        row.magType = "Ml";
    }
    std::string_view rest = line.substr(std::min(i, line.size()));
    std::size_t close = rest.find("</A>");
    if (close == std::string_view::npos) close = rest.find("</a>");
    row.comment = commentFrom(rest.substr(0, close), kMaxReportComment);
    return true;
}

bool parseReport3(std::string_view line, ReportRow& row) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const std::vector<std::string> items = split(line, ',');
    if (items.size() < 5) return false;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0, t = 0;
    if (scanAt(items[0], 0, "%d/%d/%d", &y, &mo, &d) != 3 || !setDate(row, y, mo, d)) return false;
    if (scanAt(items[1], 0, "%d:%d:%d.%d", &h, &mi, &se, &t) < 3 || !setTime(row, h, mi, se, t)) return false;
    if (!parseDouble(items[2], row.latitude) || !parseDouble(items[3], row.longitude) ||
        std::fabs(row.latitude) > 90 || std::fabs(row.longitude) > 180)
        return false;
    row.depth = leadingDouble(items[4]);
    if (items.size() > 5) row.magnitude = leadingDouble(items[5]);
    if (items.size() > 6) row.magType = std::string(trim(items[6])).substr(0, kMaxReportMagType);
    if (items.size() > 7) row.agency = std::string(trim(items[7])).substr(0, kMaxReportAgency);
    return true;
}

bool parseReport4(std::string_view line, ReportRow& row) {
    constexpr std::size_t kPlaceColumn = 49;
    const std::vector<std::string_view> w = words(line.substr(0, kPlaceColumn));
    if (w.size() < 6) return false;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    if (scanAt(w[0], 0, "%d/%d/%d", &y, &mo, &d) != 3 || !setDate(row, y, mo, d)) return false;
    if (scanAt(w[1], 0, "%d:%d:%d", &h, &mi, &se) != 3 || !setTime(row, h, mi, se, 0)) return false;
    if (!parseDouble(w[2], row.latitude) || !parseDouble(w[3], row.longitude) ||
        std::fabs(row.latitude) > 90 || std::fabs(row.longitude) > 180)
        return false;
    std::string_view mag = w[4];
    if (!mag.empty() && mag[0] == 'M') mag.remove_prefix(1);
    row.magnitude = leadingDouble(mag);
    row.depth = leadingDouble(w[5]);
    if (line.size() > kPlaceColumn) {
        std::string_view place = skipBlanksTabs(line.substr(kPlaceColumn));
        place = place.substr(0, place.find_first_of("\r\n"));
        row.comment = std::string(place.substr(0, kMaxReportComment));
    }
    row.agency = "USGS";
    row.magType = "M";
    return true;
}

// Day number (since 1970) of the n-th (1-based; 0 = last) Sunday of a month.
std::int64_t sundayOf(int year, int month, int n) {
    const auto weekday = [](std::int64_t days) {
        return static_cast<int>(((days % 7) + 11) % 7);
    }; // 0 Sunday
    if (n > 0) {
        const std::int64_t first = daysFromCivil(year, month, 1);
        return first + (7 - weekday(first)) % 7 + 7 * (n - 1);
    }
    const std::int64_t last = daysFromCivil(year, month, daysInMonth(year, month));
    return last - weekday(last);
}

} // namespace

void pacificToUtc(ReportRow& row) {
    const int year = row.year + 1900;
    const std::int64_t days = daysFromCivil(year, row.month, row.day);
    const std::int64_t local = days * kSecondsPerDay + row.hour * 3600 + row.minute * 60 + row.second;
    bool daylight = false;
    if (year >= 1967) {
        std::int64_t start, end;
        if (year >= 2007) {
            start = sundayOf(year, 3, 2);
            end = sundayOf(year, 11, 1);
        } else if (year >= 1987) {
            start = sundayOf(year, 4, 1);
            end = sundayOf(year, 10, 0);
        } else {
            start = sundayOf(year, 4, 0);
            end = sundayOf(year, 10, 0);
        }
        daylight = local >= start * kSecondsPerDay + 7200 && local < end * kSecondsPerDay + 3600;
    }
    const CivilTime t = civilFromEpoch(local + (daylight ? 7 : 8) * 3600);
    row.year = t.year - 1900;
    row.month = t.month;
    row.day = t.day;
    row.hour = t.hour;
    row.minute = t.minute;
    row.second = t.second;
}

std::vector<ReportType> parseReportDat(std::string_view text) {
    std::vector<ReportType> types;
    TextLines lines(text, kMaxReportDatLine);
    for (std::string_view line; lines.next(line);) {
        if (line.empty() || line[0] == '!') continue;
        if (trim(line).empty()) continue; // a blank line separates, it does not end the file
        if (line[0] == '"') {
            std::string_view name = line.substr(1);
            name = name.substr(0, name.find('"'));
            while (!name.empty() && isBlank(name.back()))
                name.remove_suffix(1);
            types.push_back({std::string(name), {}, {}});
            continue;
        }
        std::string_view rest = line;
        std::string_view parts[4];
        for (int k = 0; k < 3; ++k) {
            const std::size_t comma = rest.find(',');
            parts[k] = item(rest.substr(0, comma));
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
        parts[3] = item(rest);
        std::string_view keyword = parts[0];
        while (!keyword.empty() && isBlank(keyword.back()))
            keyword.remove_suffix(1);
        const KeyName* found = nullptr;
        for (const KeyName& k : kKeys)
            if (keyword == k.name) found = &k;
        if (!found || types.empty()) break;
        ReportField field;
        field.key = found->key;
        field.start = std::clamp(leadingInt(parts[1]), 0, 4096);
        field.length = std::clamp(leadingInt(parts[2]), 0, 4096);
        std::string_view format = parts[3];
        while (!format.empty() && (isBlank(format.back()) || format.back() == '\r'))
            format.remove_suffix(1);
        if (format.size() >= 2 && format.front() == '"' && format.back() == '"')
            format = format.substr(1, format.size() - 2);
        field.format = std::string(format);
        ReportType& type = types.back();
        if (field.key == ReportKey::ReportType) type.detect = field.format;
        type.fields.push_back(std::move(field));
        if (type.fields.size() >= kMaxReportFields) break;
    }
    return types;
}

std::vector<ReportType> loadReportDat(const std::vector<std::filesystem::path>& folders) {
    const std::filesystem::path file = findDataFile(folders, kReportDatName);
    std::string text;
    if (file.empty() || !readTextFile(file, text, 1 << 20)) return {};
    return parseReportDat(text);
}

bool parseBuiltinReport(int which, std::string_view line, ReportRow& row) {
    row = ReportRow{};
    switch (which) {
    case 1:
        return parseReport1(line, row);
    case 2:
        return parseReport2(line, row);
    case 3:
        return parseReport3(line, row);
    case 4:
        return parseReport4(line, row);
    default:
        return false;
    }
}

bool parseReportLine(const ReportType& type, std::string_view line, ReportRow& row) {
    row = ReportRow{};
    if (type.fields.empty()) return false;
    const ReportKey first = type.fields.front().key;
    if (first >= ReportKey::Report1 && first <= ReportKey::Report4)
        return parseBuiltinReport(static_cast<int>(first) - static_cast<int>(ReportKey::Report1) + 1, line,
                                  row);
    for (const ReportField& f : type.fields)
        if (!applyField(f, line, row)) return false;
    return row.month != 0; // a type without a date gives no usable row
}

} // namespace tlx
