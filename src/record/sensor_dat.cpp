#include "record/sensor_dat.h"

#include "core/file_io.h"
#include "core/text.h"

#include <cctype>
#include <cstring>
#include <string>

namespace tlx {
namespace {

constexpr std::size_t kMaxLine = 119;
constexpr std::uint64_t kMaxFileBytes = 16u << 20;

struct KeyValue {
    std::string_view key;
    std::string_view value;
    bool valid = false;
};

KeyValue splitLine(std::string_view line) {
    KeyValue kv;
    if (line.empty() || line.front() == '!' || line.front() == '#' || line.front() == ';') return kv;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return kv;
    std::string_view left = line.substr(0, eq);
    while (!left.empty() && (left.front() == ' ' || left.front() == '\t'))
        left.remove_prefix(1);
    std::size_t wordEnd = 0;
    while (wordEnd < left.size() && !std::isspace(static_cast<unsigned char>(left[wordEnd])))
        ++wordEnd;
    kv.key = left.substr(0, wordEnd);
    std::string_view right = line.substr(eq + 1);
    while (!right.empty() && (right.front() == ' ' || right.front() == '\t'))
        right.remove_prefix(1);
    kv.value = trimTrailingBlanks(right);
    kv.valid = true;
    return kv;
}

bool number(std::string_view text, double& out) {
    return parseDouble(text, out);
}

void applyKey(std::string_view key, std::string_view value, EventRecord& record) {
    ChannelHeader& h = record.header;
    ChannelInfo& info = record.info;
    double v = 0;
    if (key == "LATITUDE") {
        if (number(value, v)) h.latitude = v;
    } else if (key == "LONGITUDE") {
        if (number(value, v)) h.longitude = v;
    } else if (key == "ELEVATION") {
        if (number(value, v)) h.elevation = v;
    } else if (key == "LOCATION") {
        info.sensorLocation = std::string(value.substr(0, kMaxInfoText));
    } else if (key == "DESCRIPTION") {
        info.sensorDescription = std::string(value.substr(0, kMaxInfoText));
    } else if (key == "DATALOGGER") {
        info.dataLogger = std::string(value.substr(0, kMaxInfoText));
    } else if (key == "TIMEREF") {
        static constexpr std::pair<std::string_view, const char*> refs[] = {
            {"GPS", "GPS"}, {"WWV", "WWV"}, {"WWVB", "WVB"}, {"DCF77", "DCF"}, {"NTP", "NTP"}};
        for (const auto& [name, stored] : refs)
            if (value == name) std::memcpy(h.timeRefType, stored, 3);
    } else if (key == "INCIDENT") {
        if (number(value, v) && v >= 0 && v <= 90) h.incident = v;
    } else if (key == "AZIMUTH") {
        if (number(value, v) && v >= 0 && v <= 90) h.azimuth = v;
    } else if (key == "SENSITIVITY") {
        if (number(value, v) && v > 0) h.sensitivity = v;
    } else if (key == "SENSORTYPE") {
        const char c =
            value.empty() ? 0 : static_cast<char>(std::toupper(static_cast<unsigned char>(value.front())));
        if (c == 'A')
            h.sensorType = 1;
        else if (c == 'V')
            h.sensorType = 2;
        else if (c == 'D')
            h.sensorType = 3;
    } else if (key == "COMPNAME") {
        copyToField(h.componentName, sizeof h.componentName, value.substr(0, 3));
    } else if (key == "LONGNAME") {
        copyToField(h.sensorId, sizeof h.sensorId, value);
    } else if (key == "NETWORK") {
        copyToField(h.network, sizeof h.network, value);
    } else if (key == "ATODBITS") {
        long long bits = 0;
        if (parseInt(value, bits) && bits >= 4 && bits <= 128) h.adBits = static_cast<std::int16_t>(bits);
    } else if (key == "ATODVOLTS") {
        if (number(value, v) && v > 0 && v < 100) info.adVolts = v;
    } else if (key == "AMPGAIN") {
        if (number(value, v)) info.ampGain = v;
    } else if (key == "SENSOROUTPUT") {
        if (number(value, v)) info.sensorOutput = v;
    }
}

} // namespace

std::filesystem::path findSensorDat(const LoaderSettings& settings) {
    // The local data folder when one is set, else the program folder; never both.
    return findDataFile(
        {settings.localDirectory.empty() ? settings.programDirectory : settings.localDirectory},
        "SENSOR.DAT");
}

bool applySensorDefaultsText(std::string_view text, std::string_view stationId, EventRecord& record) {
    const std::string_view id = trimTrailingBlanks(skipBlanks(stationId));
    if (id.empty()) return false;
    TextLines lines(text, kMaxLine);
    std::string_view line;
    bool found = false;
    while (!found && lines.next(line)) {
        if (line.empty() || line.front() == ' ' || line.front() == '\t') continue;
        const KeyValue kv = splitLine(line);
        found = kv.valid && iequals(kv.key, "ID") && iequals(kv.value, id);
    }
    if (!found) return false;
    while (lines.next(line)) {
        if (line.substr(0, 2) == "ID") break;
        const KeyValue kv = splitLine(line);
        if (kv.valid) applyKey(kv.key, kv.value, record);
    }
    const ChannelInfo& info = record.info;
    if (record.header.adBits != 0 && info.ampGain != 0 && info.sensorOutput != 0)
        record.header.sensitivity =
            sensitivityFromElectrical(info.adVolts, info.sensorOutput, info.ampGain, record.header.adBits);
    return true;
}

bool applySensorDefaults(const LoaderSettings& settings, std::string_view stationId, EventRecord& record) {
    const std::filesystem::path path = findSensorDat(settings);
    if (path.empty()) return false;
    std::string text;
    if (!readTextFile(path, text, kMaxFileBytes)) return false;
    return applySensorDefaultsText(text, stationId, record);
}

} // namespace tlx
