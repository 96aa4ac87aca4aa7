#include "document/record_info_edit.h"

#include "core/file_io.h"
#include "core/text.h"
#include "record/sac_reader.h"
#include "record/seed.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace tlx {
namespace {

char positiveLetter(Hemisphere axis) {
    return axis == Hemisphere::Latitude ? 'N' : 'E';
}
char negativeLetter(Hemisphere axis) {
    return axis == Hemisphere::Latitude ? 'S' : 'W';
}

std::string trimmedZeros(std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

// The short form when it reads back to the same value, else the exact one: a field shown and
// taken back unchanged must not change the record.
std::string exactText(std::string shortForm, double value) {
    double back = 0;
    return parseDouble(shortForm, back) && back == value ? shortForm : shortestDouble(value);
}

bool inRange(std::string_view text, double lo, double hi, double& out) {
    return parseDouble(text, out) && out >= lo && out <= hi;
}

bool sameEntries(const std::vector<EventEntry>& a, const std::vector<EventEntry>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

std::string magnitudeField(std::int16_t stored) {
    return stored ? format("%g", stored / 100.0) : std::string();
}

// Empty means `unknown`; otherwise a number that `accept` takes.
template <class Accept>
bool optionalNumber(std::string_view text, double unknown, double& out, Accept accept) {
    if (trim(text).empty()) {
        out = unknown;
        return true;
    }
    return parseDouble(text, out) && accept(out);
}

const char* const kTimeRefCodes[] = {"", "GPS", "WWV", "WVB", "DCF", "NTP", "???"};

} // namespace

// --- texts ------------------------------------------------------------------------------------

std::optional<double> parseCoordinate(std::string_view text, Hemisphere axis) {
    const char pos = positiveLetter(axis), neg = negativeLetter(axis);
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != ' ' && c != '.' && c != ':' && c != pos &&
            c != neg)
            return std::nullopt;
    const std::size_t dot = text.find('.');
    if (dot != std::string_view::npos && text.find(':', dot) != std::string_view::npos) return std::nullopt;
    std::size_t letter = text.find(pos);
    if (letter == std::string_view::npos) letter = text.find(neg);
    if (letter == std::string_view::npos || !trim(text.substr(letter + 1)).empty()) return std::nullopt;
    std::string_view value = text.substr(0, letter);
    if (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    if (value.empty() || value.find_first_of(" ") != std::string_view::npos) return std::nullopt;
    double degrees = 0;
    if (value.find(':') == std::string_view::npos) {
        if (!parseDouble(value, degrees)) return std::nullopt;
    } else {
        const std::vector<std::string> parts = split(value, ':');
        double d = 0, m = 0, s = 0;
        if (parts.size() > 3 || !parseDouble(parts[0], d) || !parseDouble(parts[1], m) ||
            (parts.size() == 3 && !parseDouble(parts[2], s)) || m >= 60 || s >= 60)
            return std::nullopt;
        degrees = d + (m + s / 60) / 60;
    }
    const double limit = axis == Hemisphere::Latitude ? 90 : 180;
    if (degrees > limit) return std::nullopt;
    if (axis == Hemisphere::Latitude && degrees == 90) degrees = 89.9;
    return text[letter] == neg ? -degrees : degrees;
}

std::string coordinateDisplay(double value, Hemisphere axis) {
    if (value == 0) return {};
    double v = 0;
    parseDouble(format("%3.6g", std::fabs(value)), v);
    const int d = static_cast<int>(v);
    const double minutes = (v - d) * 60;
    const int m = static_cast<int>(minutes);
    const int s = static_cast<int>((minutes - m) * 60);
    return format("%02d:%02d:%02d%c", d, m, s, value < 0 ? negativeLetter(axis) : positiveLetter(axis));
}

std::string coordinateFieldText(double value, Hemisphere axis) {
    return exactText(trimmedZeros(format("%.6f", std::fabs(value))), std::fabs(value)) +
           (value < 0 ? negativeLetter(axis) : positiveLetter(axis));
}

std::optional<EventTime> parseEventTime(std::string_view text) {
    text = trim(text);
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::vector<std::string> date = split(text.substr(0, blank), '/');
    std::string_view clock = trim(text.substr(blank + 1));
    std::string_view fraction;
    if (const std::size_t dot = clock.find('.'); dot != std::string_view::npos) {
        fraction = clock.substr(dot + 1);
        clock = clock.substr(0, dot);
    }
    const std::vector<std::string> hms = split(clock, ':');
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (date.size() != 3 || hms.size() != 3 || !parseInt(date[0], month) || !parseInt(date[1], day) ||
        !parseInt(date[2], year) || !parseInt(hms[0], hour) || !parseInt(hms[1], minute) ||
        !parseInt(hms[2], second))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0 || year > 9999 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    if (year < 100) year += 2000;
    long long nanos = 0;
    if (!fraction.empty()) {
        if (fraction.size() > 9 || !std::all_of(fraction.begin(), fraction.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c));
            }))
            return std::nullopt;
        parseInt(fraction, nanos);
        for (std::size_t i = fraction.size(); i < 9; ++i)
            nanos *= 10;
    }
    EventTime t{};
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint8_t>(month);
    t.day = static_cast<std::uint8_t>(day);
    t.hour = static_cast<std::uint8_t>(hour);
    t.minute = static_cast<std::uint8_t>(minute);
    t.second = static_cast<std::uint8_t>(second);
    t.nanoseconds = static_cast<std::int32_t>(nanos);
    return t;
}

std::string eventTimeText(const EventTime& t) {
    std::string fraction = format("%09d", static_cast<int>(t.nanoseconds));
    while (fraction.size() > 1 && fraction.back() == '0')
        fraction.pop_back();
    return format("%02d/%02d/%04d %02d:%02d:%02d.%s", t.month, t.day, t.year, t.hour, t.minute, t.second,
                  fraction.c_str());
}

std::optional<double> parseDepth(std::string_view text) {
    double v = 0;
    return inRange(text, -20000, 1000, v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<double> parseMagnitude(std::string_view text) {
    double v = 0;
    return inRange(text, -11, 11, v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<OtherMagnitude> parseOtherMagnitude(std::string_view text) {
    OtherMagnitude m;
    std::string number;
    for (char c : text) {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            if (m.type.size() < 5) m.type += c;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-') {
            if (number.size() < 10) number += c;
        }
    }
    if (!inRange(number, -11, 11, m.value)) return std::nullopt;
    if (m.type.empty()) m.type = "M";
    return m;
}

std::string numberField(double value, double unknown) {
    return value == unknown ? std::string() : exactText(format("%g", value), value);
}

// --- the current event report -------------------------------------------------------------

std::string reportText(const CurrentEventReport& r) {
    auto hemi = [](double v, char pos, char neg) { return format("%g%c", std::fabs(v), v < 0 ? neg : pos); };
    std::string s = format("%02d/%02d/%04d ", r.month, r.day, r.year + 1900);
    s += format("%02d:%02d:%02d.%1d %s\r\n%s %s  ", r.hour, r.minute, r.second, r.tenths, r.agency.c_str(),
                hemi(r.latitude, 'N', 'S').c_str(), hemi(r.longitude, 'E', 'W').c_str());
    s += format("%s %g  ", r.magType.c_str(), r.magnitude);
    if (!r.magType2.empty()) s += format("%s %g  ", r.magType2.c_str(), r.magnitude2);
    s += r.quality ? format("%gkm %c ", r.depth, r.quality) : format("%gkm  ", r.depth);
    if (!r.comment.empty()) s += r.comment + "  ";
    return s + r.reportId;
}

EventEntry entryFromReport(const CurrentEventReport& r) {
    EventEntry e{};
    e.originTime.year = static_cast<std::uint16_t>(r.year + 1900);
    e.originTime.month = static_cast<std::uint8_t>(r.month);
    e.originTime.day = static_cast<std::uint8_t>(r.day);
    e.originTime.hour = static_cast<std::uint8_t>(r.hour);
    e.originTime.minute = static_cast<std::uint8_t>(r.minute);
    e.originTime.second = static_cast<std::uint8_t>(r.second);
    e.originTime.nanoseconds = r.tenths * 100'000'000;
    e.latitude = r.latitude;
    e.longitude = r.longitude;
    e.depth = r.depth;
    if (!r.magType.empty()) setMagnitude(e, r.magnitude, r.magType);
    if (!r.magType2.empty()) setMagnitude(e, r.magnitude2, r.magType2);
    copyToField(e.source, sizeof e.source, r.agency);
    e.quality = static_cast<std::uint8_t>(r.quality);
    if (r.eventTypeIsIndex)
        e.eventType = static_cast<std::uint8_t>(r.eventType);
    else
        switch (std::toupper(static_cast<unsigned char>(r.eventType))) {
        case 0:
        case 'E':
            e.eventType = 1;
            break;
        case 'N':
            e.eventType = 2;
            break;
        case 'Q':
            e.eventType = 3;
            break;
        default:
            e.eventType = 4;
            break;
        }
    return e;
}

// --- Event page ---------------------------------------------------------------------------

EventPageLogic::EventPageLogic(const ChannelInfo& selected, std::optional<CurrentEventReport> report,
                               EventPageContext context)
    : events_(selected.events), report_(std::move(report)), context_(std::move(context)) {
    form.comment = selected.comment;
    modifyComment = report_.has_value();
    const int n = static_cast<int>(events_.size());
    show(n == 0 ? -1 : std::clamp<int>(selected.currentEvent, 0, n - 1));
}

void EventPageLogic::show(int index) {
    shown_ = index >= 0 && index < static_cast<int>(events_.size()) ? index : -1;
    newEnabled_ = true;
    const std::string comment = form.comment;
    form = EventForm{};
    form.comment = comment;
    if (shown_ < 0) return;
    currentEvent_ = shown_;
    const EventEntry& e = events_[static_cast<std::size_t>(shown_)];
    form.time = eventTimeText(e.originTime);
    form.latitude = coordinateFieldText(e.latitude, Hemisphere::Latitude);
    form.longitude = coordinateFieldText(e.longitude, Hemisphere::Longitude);
    form.depth = exactText(format("%g", e.depth), e.depth);
    form.ms = magnitudeField(e.magMs);
    form.mb = magnitudeField(e.magMb);
    form.mw = magnitudeField(e.magMw);
    form.ml = magnitudeField(e.magMl);
    form.md = magnitudeField(e.magMd);
    if (e.magOther) {
        std::string type = fieldText(e.magOtherType, sizeof e.magOtherType);
        form.other = (type.empty() ? "M" : type) + " " + format("%g", e.magOther / 100.0);
    }
    form.agency = std::string(trimTrailingBlanks(fieldText(e.source, sizeof e.source)));
    form.eventType = e.eventType < 5 ? e.eventType : 0;
    form.quality = e.quality >= 'A' && e.quality <= 'E' ? e.quality - 'A' + 1 : 0;
    shownForm_ = form;
}

bool EventPageLogic::anyMagnitudeValid() const {
    for (const std::string* m : {&form.ms, &form.mb, &form.mw, &form.ml, &form.md})
        if (parseMagnitude(*m)) return true;
    return parseOtherMagnitude(form.other).has_value();
}

bool EventPageLogic::canMake() const {
    return timeValid() && latitudeValid() && longitudeValid() && depthValid() && anyMagnitudeValid();
}

void EventPageLogic::normaliseCoordinates() {
    if (auto v = parseCoordinate(form.latitude, Hemisphere::Latitude))
        form.latitude = coordinateFieldText(*v, Hemisphere::Latitude);
    if (auto v = parseCoordinate(form.longitude, Hemisphere::Longitude))
        form.longitude = coordinateFieldText(*v, Hemisphere::Longitude);
}

EventEntry EventPageLogic::entryFromForm() const {
    EventEntry e{};
    if (shown_ >= 0) e.codeC = events_[static_cast<std::size_t>(shown_)].codeC; // carried unchanged
    e.originTime = parseEventTime(form.time).value_or(EventTime{});
    e.latitude = parseCoordinate(form.latitude, Hemisphere::Latitude).value_or(0);
    e.longitude = parseCoordinate(form.longitude, Hemisphere::Longitude).value_or(0);
    e.depth = parseDepth(form.depth).value_or(0);
    const std::pair<const std::string*, const char*> named[] = {
        {&form.ms, "ms"}, {&form.mb, "mb"}, {&form.mw, "mw"}, {&form.ml, "ml"}, {&form.md, "md"}};
    for (const auto& [text, type] : named)
        if (auto m = parseMagnitude(*text)) setMagnitude(e, *m, type);
    if (auto other = parseOtherMagnitude(form.other)) setMagnitude(e, other->value, other->type);
    copyToField(e.source, sizeof e.source, form.agency.substr(0, 6));
    e.eventType = static_cast<std::uint8_t>(form.eventType);
    e.quality = form.quality > 0 ? static_cast<std::uint8_t>('A' + form.quality - 1) : 0;
    return e;
}

void EventPageLogic::store(const EventEntry& entry, bool append) {
    if (append || shown_ < 0 || events_.empty()) {
        events_.push_back(entry);
        shown_ = static_cast<int>(events_.size()) - 1;
    } else {
        events_[static_cast<std::size_t>(shown_)] = entry;
    }
}

void EventPageLogic::newEntry() {
    events_.push_back(EventEntry{});
    show(static_cast<int>(events_.size()) - 1);
    form.eventType = 1;
    form.quality = 0;
    form.depth.clear();
    form.time.clear();
    form.latitude.clear();
    form.longitude.clear();
    newEnabled_ = false;
}

void EventPageLogic::deleteEntry() {
    if (shown_ >= 0) events_.erase(events_.begin() + shown_);
    currentEvent_ = 0;
    show(events_.empty() ? -1 : 0);
}

bool EventPageLogic::make() {
    if (!canMake()) return false;
    const EventTime t = *parseEventTime(form.time);
    CurrentEventReport r;
    r.year = t.year - 1900;
    r.month = t.month;
    r.day = t.day;
    r.hour = t.hour;
    r.minute = t.minute;
    r.second = t.second;
    r.tenths = std::min(9, static_cast<int>((t.nanoseconds / 1e9 + 0.05) * 10));
    r.latitude = *parseCoordinate(form.latitude, Hemisphere::Latitude);
    r.longitude = *parseCoordinate(form.longitude, Hemisphere::Longitude);
    r.depth = *parseDepth(form.depth);
    r.agency = form.agency.substr(0, 6);
    r.quality = form.quality > 0 ? static_cast<char>('A' + form.quality - 1) : 0;
    r.eventType = static_cast<char>(form.eventType);
    r.eventTypeIsIndex = true;
    // The largest magnitude; a later type must be strictly larger to win.
    const std::pair<const std::string*, const char*> named[] = {
        {&form.ms, "Ms"}, {&form.mb, "Mb"}, {&form.mw, "Mw"}, {&form.ml, "Ml"}, {&form.md, "Md"}};
    bool found = false;
    for (const auto& [text, type] : named)
        if (auto m = parseMagnitude(*text); m && (!found || *m > r.magnitude)) {
            r.magnitude = *m;
            r.magType = type;
            found = true;
        }
    if (auto o = parseOtherMagnitude(form.other); o && (!found || o->value > r.magnitude)) {
        r.magnitude = o->value;
        r.magType = o->type;
    }
    const std::string needle = format("from %s, ", context_.placeName.c_str());
    if (const std::size_t at = form.comment.find(needle); at != std::string::npos)
        r.comment = form.comment.substr(at + needle.size());
    else if (context_.geography)
        r.comment = std::string(trim(context_.geography->regionName(r.latitude, r.longitude)));
    report_ = r;
    modifyComment = true;
    addReplaceEnabled_ = true;
    return true;
}

void EventPageLogic::add() {
    if (!report_) return;
    if (trim(form.time).empty() || trim(form.latitude).empty() || trim(form.longitude).empty() ||
        events_.empty()) {
        replace();
        return;
    }
    store(entryFromReport(*report_), true);
    show(shown_);
    addReplaceEnabled_ = false;
}

void EventPageLogic::replace() {
    if (!report_) return;
    store(entryFromReport(*report_), false);
    show(shown_);
    if (modifyComment) form.comment = rebuiltComment(*report_);
    addReplaceEnabled_ = false;
}

std::string EventPageLogic::rebuiltComment(const CurrentEventReport& r) const {
    std::string s;
    const bool second = r.magnitude2 > r.magnitude && !r.magType2.empty();
    if (!r.magType.empty() || second)
        s = format("%s%g ", (second ? r.magType2 : r.magType).c_str(), second ? r.magnitude2 : r.magnitude);
    GreatCircleResult gc;
    if (context_.geography && !context_.placeName.empty() && context_.sensorLatitude != kUnknownValue &&
        context_.sensorLongitude != kUnknownValue &&
        context_.geography->greatCircle(context_.sensorLatitude, context_.sensorLongitude, r.latitude,
                                        r.longitude, gc)) {
        const int km = static_cast<int>(std::lround(gc.km));
        if (km != 0) s += format("%dkm from %s ", km, context_.placeName.c_str());
    }
    if (!r.comment.empty()) {
        // ", " takes the place of the last blank when text is already there.
        if (!s.empty()) s.pop_back();
        s += (s.empty() ? "" : ", ") + r.comment + " ";
    }
    s += r.reportId;
    return s.substr(0, 200);
}

namespace {
bool sameEntryFields(const EventForm& a, const EventForm& b) {
    return a.time == b.time && a.ms == b.ms && a.mb == b.mb && a.mw == b.mw && a.ml == b.ml && a.md == b.md &&
           a.other == b.other && a.latitude == b.latitude && a.longitude == b.longitude &&
           a.depth == b.depth && a.agency == b.agency && a.eventType == b.eventType && a.quality == b.quality;
}
} // namespace

std::optional<Refusal> EventPageLogic::leave() {
    // An entry left as it was shown stays as it is: a stored entry without magnitudes is not
    // dropped, and nothing is rounded through the fields.
    if (shown_ >= 0 && sameEntryFields(form, shownForm_)) {
        currentEvent_ = shown_;
        return std::nullopt;
    }
    const bool allEmpty = trim(form.time).empty() && trim(form.latitude).empty() &&
                          trim(form.longitude).empty() && trim(form.depth).empty();
    if (allEmpty || !anyMagnitudeValid()) {
        if (shown_ >= 0) events_.erase(events_.begin() + shown_);
        shown_ = -1;
        currentEvent_ = std::clamp(currentEvent_, 0, std::max(0, static_cast<int>(events_.size()) - 1));
        return std::nullopt;
    }
    if (!latitudeValid()) return Refusal{InfoField::Latitude, "Bad Event Latitude Information"};
    if (!longitudeValid()) return Refusal{InfoField::Longitude, "Bad Event Longitude Information"};
    if (!timeValid()) return Refusal{InfoField::Time, "Bad Event Time Information"};
    if (!depthValid()) return Refusal{InfoField::Depth, "Bad Event Depth Information"};
    store(entryFromForm(), false);
    currentEvent_ = shown_;
    return std::nullopt;
}

// --- Sensor page --------------------------------------------------------------------------

SensorForm sensorForm(const EventRecord& record) {
    const ChannelHeader& h = record.header;
    const ChannelInfo& info = record.info;
    SensorForm f;
    auto coordinate = [](double v, Hemisphere axis) {
        return v == 0 || v == kUnknownValue ? std::string() : coordinateFieldText(v, axis);
    };
    f.latitude = coordinate(h.latitude, Hemisphere::Latitude);
    f.longitude = coordinate(h.longitude, Hemisphere::Longitude);
    f.elevation = numberField(h.elevation, kUnknownValue);
    switch (h.orientation) {
    case 'Z':
        f.orientation = 1;
        break;
    case 'N':
    case 'S':
        f.orientation = 2;
        break;
    case 'E':
    case 'W':
        f.orientation = 3;
        break;
    default:
        f.orientation = 0;
    }
    f.incident = numberField(h.incident, kUnknownValue);
    f.azimuth = numberField(h.azimuth, kUnknownValue);
    f.sensorLocation = info.sensorLocation;
    f.sensorDescription = info.sensorDescription;
    f.sensorType = h.sensorType <= 3 ? h.sensorType : 0;
    f.sensitivity = numberField(h.sensitivity);
    f.sensorId = fieldText(h.sensorId, sizeof h.sensorId);
    f.componentName = fieldText(h.componentName, 3);
    f.network = fieldText(h.network, sizeof h.network);
    f.correction = numberField(h.magCorrection);
    f.adBits = numberField(h.adBits);
    f.outputVoltage = numberField(info.sensorOutput);
    f.ampGain = numberField(info.ampGain);
    f.adVolts = numberField(info.adVolts);
    f.seedLocation = fieldText(info.seedLocation, 2);
    f.dataLogger = info.dataLogger;
    return f;
}

void chooseOrientation(SensorForm& form, int orientation) {
    form.orientation = orientation;
    static const char* const angles[][2] = {{"0", "0"}, {"90", "0"}, {"90", "90"}};
    if (orientation < 1 || orientation > 3) return;
    form.incident = angles[orientation - 1][0];
    form.azimuth = angles[orientation - 1][1];
}

namespace {
double fieldNumber(const std::string& text) {
    double v = 0;
    return parseDouble(text, v) ? v : 0;
}
double countsFactor(const SensorForm& f) {
    return std::pow(2.0, fieldNumber(f.adBits)) * 0.5;
}
} // namespace

bool calcSensEnabled(const SensorForm& f) {
    return fieldNumber(f.ampGain) != 0 && fieldNumber(f.adVolts) != 0 &&
           (fieldNumber(f.sensitivity) != 0 || fieldNumber(f.outputVoltage) != 0);
}

bool calcSens(SensorForm& f) {
    if (!calcSensEnabled(f)) return false;
    const double out = fieldNumber(f.outputVoltage), gain = fieldNumber(f.ampGain),
                 volts = fieldNumber(f.adVolts);
    if (out != 0) {
        const double sens = volts / (out * gain) / countsFactor(f);
        std::string text = format("%.15g", sens);
        const std::size_t dot = text.find('.');
        if (text.find('e') != std::string::npos || (dot != std::string::npos && text.size() - dot - 1 > 10))
            text = trimmedZeros(format("%.10f", sens));
        f.sensitivity = text;
    } else {
        f.outputVoltage = format("%.6g", volts / (gain * fieldNumber(f.sensitivity) * countsFactor(f)));
    }
    return true;
}

bool sensitivityLocked(const SensorForm& f) {
    return fieldNumber(f.outputVoltage) != 0 && fieldNumber(f.ampGain) != 0 && fieldNumber(f.adVolts) != 0 &&
           fieldNumber(f.adBits) != 0;
}

std::optional<Refusal> readSensorForm(const SensorForm& f, SensorValues& v) {
    auto coordinate = [](const std::string& text, Hemisphere axis, std::optional<double>& out) {
        out = parseCoordinate(text, axis);
        return out.has_value() || trim(text).empty();
    };
    auto notNegative = [](double x) { return x >= 0; };
    if (!coordinate(f.latitude, Hemisphere::Latitude, v.latitude))
        return Refusal{InfoField::Latitude, "Bad Latitude Information"};
    if (!coordinate(f.longitude, Hemisphere::Longitude, v.longitude))
        return Refusal{InfoField::Longitude, "Bad Longitude Information"};
    if (!optionalNumber(f.elevation, kUnknownValue, v.elevation,
                        [](double x) { return std::fabs(x) <= 300000; }))
        return Refusal{InfoField::Elevation, "Bad Elevation Information"};
    static const char kLetters[] = {0, 'Z', 'N', 'E'};
    v.orientation = f.orientation >= 0 && f.orientation <= 3 ? kLetters[f.orientation] : 0;
    auto angle = [](double x) { return x >= 0 && x <= 90; };
    if (!optionalNumber(f.incident, kUnknownValue, v.incident, angle))
        return Refusal{InfoField::Incident, "Bad Incident Information"};
    if (!optionalNumber(f.azimuth, kUnknownValue, v.azimuth, angle))
        return Refusal{InfoField::Azimuth, "Bad Azimuth Information"};
    if (!optionalNumber(f.sensitivity, 0, v.sensitivity, notNegative))
        return Refusal{InfoField::Sensitivity, "Bad Sensitivity Information"};
    if (!optionalNumber(f.outputVoltage, 0, v.outputVoltage, notNegative))
        return Refusal{InfoField::OutputVoltage, "Bad Sensor Output Voltage Information"};
    if (!optionalNumber(f.ampGain, 0, v.ampGain, notNegative))
        return Refusal{InfoField::AmpGain, "Bad Amplifier Gain Information"};
    if (!optionalNumber(f.adVolts, 0, v.adVolts, notNegative))
        return Refusal{InfoField::AdVolts, "Bad A/D Input Voltage Information"};
    if (!optionalNumber(f.correction, 0, v.correction, notNegative))
        return Refusal{InfoField::Correction, "Bad Ml & Ms Correction Information"};
    // An empty field keeps the bits unknown; a number must be a real converter width.
    double bits = 0;
    if (!optionalNumber(f.adBits, 0, bits, [](double x) { return x == std::floor(x) && x >= 4 && x <= 256; }))
        return Refusal{InfoField::AdBits, "Bad A/D Bits Information"};
    v.adBits = static_cast<int>(bits);
    v.sensorType = std::clamp(f.sensorType, 0, 3);
    v.sensorLocation = f.sensorLocation.substr(0, kMaxInfoText);
    v.sensorDescription = f.sensorDescription.substr(0, kMaxInfoText);
    v.sensorId = f.sensorId.substr(0, 6);
    v.componentName = f.componentName.substr(0, 3);
    v.network = f.network.substr(0, 6);
    v.seedLocation = f.seedLocation.substr(0, 2);
    return std::nullopt;
}

// --- Time page ----------------------------------------------------------------------------

TimeForm timeForm(const EventRecord& record) {
    const ChannelHeader& h = record.header;
    const EventTime& t = h.startTime;
    TimeForm f;
    f.date = format("%02d/%02d/%04d", t.month, t.day, t.year);
    f.time = format("%02d:%02d:%02d", t.hour, t.minute, t.second);
    f.millis = format("%d", t.nanoseconds / 1'000'000);
    f.offset = format("%g", h.startTimeOffset);
    const std::string ref(h.timeRefType, strnlen(h.timeRefType, sizeof h.timeRefType));
    f.timeRef = 0;
    for (int i = 1; i < 7; ++i)
        if (ref == kTimeRefCodes[i]) f.timeRef = i;
    if (!ref.empty() && f.timeRef == 0) f.timeRef = 6;
    f.lock = h.lockIndicator == 0 ? 0 : h.lockIndicator == 'L' ? 2 : 1;
    if (f.lock != 0 && f.timeRef == 0) f.timeRef = 5; // a locked clock without a named reference
    return f;
}

std::optional<Refusal> readTimeForm(const TimeForm& f, TimeValues& v) {
    const auto start = parseEventTime(f.date + " " + f.time);
    int ms = 0;
    if (!start || start->nanoseconds != 0 || !parseInt(f.millis, ms) || ms < 0 || ms > 999)
        return Refusal{InfoField::Date, "Bad Start Time Information"};
    v.start = *start;
    v.start.nanoseconds = ms * 1'000'000;
    if (!optionalNumber(f.offset, 0, v.offset, [](double x) { return std::fabs(x) <= 86400; }))
        return Refusal{InfoField::Offset, "Bad Start Time Offset Information"};
    const char* code = kTimeRefCodes[std::clamp(f.timeRef, 0, 6)];
    std::memset(v.timeRef, 0, sizeof v.timeRef);
    std::memcpy(v.timeRef, code, std::strlen(code));
    static const char kLocks[] = {0, '?', 'L'};
    v.lock = kLocks[std::clamp(f.lock, 0, 2)];
    return std::nullopt;
}

// --- applying the sheet ---------------------------------------------------------------------

namespace {

// 1 when the field changed. A macro, not a function taking a reference: the header's fields are
// packed and may not be bound to references; an int so that several combine with "|", all assigned.
#define TLX_ASSIGN(field, value) ((field) == (value) ? 0 : ((field) = (value), 1))

int assignText(char* field, std::size_t capacity, const std::string& value) {
    if (fieldText(field, capacity) == value) return 0;
    copyToField(field, capacity, value);
    return 1;
}

} // namespace

InfoApplied applyRecordInfo(CEqDoc& doc, int selected, const InfoEdits& edits) {
    InfoApplied applied;
    for (int i = 0; i < doc.recordCount(); ++i) {
        EventRecord& r = doc.editRecord(i);
        ChannelHeader& h = r.header;
        bool changed = false;
        if (const auto& e = edits.event) {
            bool eventChanged = TLX_ASSIGN(r.info.comment, e->comment);
            if (!sameEntries(r.info.events, e->events)) {
                r.info.events = e->events;
                eventChanged = true;
            }
            eventChanged |= TLX_ASSIGN(r.info.currentEvent, std::int32_t{e->currentEvent});
            applied.event |= eventChanged;
            changed |= eventChanged;
        }
        if (const auto& s = edits.sensor) {
            bool calibration = false;
            changed |= TLX_ASSIGN(h.latitude, s->latitude.value_or(double{h.latitude})) |
                       TLX_ASSIGN(h.longitude, s->longitude.value_or(double{h.longitude})) |
                       TLX_ASSIGN(h.elevation, s->elevation) |
                       assignText(h.network, sizeof h.network, s->network) |
                       TLX_ASSIGN(r.info.sensorLocation, s->sensorLocation) |
                       TLX_ASSIGN(r.info.sensorDescription, s->sensorDescription);
            calibration |= TLX_ASSIGN(h.sensorType, static_cast<std::uint8_t>(s->sensorType)) |
                           TLX_ASSIGN(h.adBits, static_cast<std::int16_t>(s->adBits));
            if (i == selected) {
                changed |= TLX_ASSIGN(h.orientation, s->orientation) | TLX_ASSIGN(h.incident, s->incident) |
                           TLX_ASSIGN(h.azimuth, s->azimuth) | TLX_ASSIGN(h.magCorrection, s->correction) |
                           assignText(h.sensorId, sizeof h.sensorId, s->sensorId) |
                           assignText(h.componentName, sizeof h.componentName, s->componentName) |
                           assignText(r.info.seedLocation, sizeof r.info.seedLocation, s->seedLocation);
                calibration |= TLX_ASSIGN(h.sensitivity, s->sensitivity) |
                               TLX_ASSIGN(r.info.sensorOutput, s->outputVoltage) |
                               TLX_ASSIGN(r.info.ampGain, s->ampGain) |
                               TLX_ASSIGN(r.info.adVolts, s->adVolts);
            }
            applied.calibration |= calibration;
            changed |= calibration;
        }
        if (const auto& t = edits.time) {
            EventTime start = t->start;
            // The page shows milliseconds: finer digits of an unchanged time stay.
            if (start.nanoseconds / 1'000'000 == h.startTime.nanoseconds / 1'000'000)
                start.nanoseconds = h.startTime.nanoseconds;
            bool timeChanged = std::memcmp(&start, &h.startTime, sizeof start) != 0;
            h.startTime = start;
            timeChanged |= TLX_ASSIGN(h.startTimeOffset, t->offset);
            changed |= std::memcmp(h.timeRefType, t->timeRef, sizeof h.timeRefType) != 0 ||
                       h.lockIndicator != t->lock;
            std::memcpy(h.timeRefType, t->timeRef, sizeof h.timeRefType);
            h.lockIndicator = t->lock;
            applied.time |= timeChanged;
            changed |= timeChanged;
        }
        if (changed) {
            doc.setRecordModified(i);
            applied.any = true;
        }
    }
    if (applied.any) {
        doc.setModified(true);
        doc.refresh();
    }
    return applied;
}

// --- writing a file back ---------------------------------------------------------------------

std::optional<SaveChoice> writeBackChoice(const CEqDoc& doc, std::string& refusal) {
    if (doc.recordCount() == 0) {
        refusal = "no records";
        return std::nullopt;
    }
    SaveChoice c;
    c.askOverwrite = false;
    for (int i = 0; i < doc.recordCount(); ++i)
        c.names.push_back(doc.fileName(i));
    switch (doc.fileKind()) {
    case kKindSvx4:
        c.format = doc.subKind() == SubKind::Text    ? kSaveSvxText
                   : doc.subKind() == SubKind::Type3 ? kSaveSvx3
                                                     : kSaveSvx4;
        if (c.format == kSaveSvx4) c.sampleType = doc.record(0).header.sampleType;
        return c;
    case kKindSvxVolume:
        c.format = kSaveSvx4;
        c.volume = true;
        c.sampleType = doc.record(0).header.sampleType;
        return c;
    case kKindSac: {
        c.format = kSaveSac;
        // The file keeps its byte order.
        std::vector<std::uint8_t> bytes;
        if (readWholeFile(doc.fileName(0), bytes))
            c.sacByteOrder = sacFileByteOrder(bytes).value_or(SacByteOrder::Little);
        return c;
    }
    default:
        refusal = format("%s files cannot be written back; save the records as SVX Type 4, SVX ASCII or SAC",
                         fileKindName(doc.fileKind(), doc.subKind()));
        return std::nullopt;
    }
}

int addMiniSeedInformation(CEqDoc& doc, const std::filesystem::path& file, std::string& message) {
    int changed = 0;
    for (int i = 0; i < doc.recordCount(); ++i) {
        std::string note;
        if (CSeed::addMiniSeedInformation(file, {&doc.editRecord(i)}, note) > 0) {
            doc.setRecordModified(i);
            ++changed;
        } else if (note.rfind("Dataless", 0) == 0) {
            message = note; // the file itself is unusable: no need to try the other records
            return 0;
        }
    }
    message =
        changed ? std::string() : format("No Channel Information Found in File %s", file.string().c_str());
    if (changed) doc.refresh();
    return changed;
}

} // namespace tlx
