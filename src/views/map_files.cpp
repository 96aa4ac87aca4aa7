#include "views/map_files.h"

#include "core/data_paths.h"
#include "core/file_io.h"
#include "core/text.h"

#include <cstring>

namespace tlx::views {
namespace {

constexpr std::int16_t kEndOfLine = 10000;
constexpr std::uint64_t kMaxLineFileBytes = 32u << 20;
constexpr std::uint64_t kMaxCityFileBytes = 16u << 20;
constexpr std::size_t kMaxCityLine = 79;
constexpr std::size_t kMaxCityName = 40;

std::int16_t valueAt(std::span<const std::uint8_t> bytes, std::size_t i) {
    return static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

// Cuts UTF-8 text to at most `max` bytes without splitting a character.
std::string cutName(std::string_view name, std::size_t max) {
    if (name.size() <= max) return std::string(name);
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
        --n;
    return std::string(name.substr(0, n));
}

} // namespace

MapLines parseMapLines(std::span<const std::uint8_t> bytes) {
    MapLines out;
    const std::size_t values = bytes.size() / 2;
    std::size_t lineStart = 0;
    auto endLine = [&] {
        if (out.points.size() > lineStart) out.ends.push_back(static_cast<std::uint32_t>(out.points.size()));
        lineStart = out.points.size();
    };
    for (std::size_t i = 0; i + 1 < values; i += 2) {
        const std::int16_t lat = valueAt(bytes, i), lon = valueAt(bytes, i + 1);
        if (lat == kEndOfLine || lat < -90 * 60 || lat > 90 * 60 || lon < -360 * 60 || lon > 360 * 60) {
            endLine();
            continue;
        }
        out.latMin.push_back(lat);
        out.lonMin.push_back(lon);
        out.points.push_back(unitPoint(lat / 60.0, lon / 60.0));
    }
    endLine();
    return out;
}

std::vector<MapCity> parseCities(std::string_view text) {
    std::vector<MapCity> out;
    TextLines lines(text, kMaxCityLine);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty() || line[0] != '"') continue;
        const std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos) continue;
        // The four fields after the commas that follow the name.
        std::string_view fields[4];
        std::size_t comma = line.find(',', close + 1);
        int found = 0;
        for (; found < 4 && comma != std::string_view::npos; ++found) {
            const std::size_t next = line.find(',', comma + 1);
            fields[found] = line.substr(comma + 1, next == std::string_view::npos ? next : next - comma - 1);
            comma = next;
        }
        if (found < 4) continue;
        MapCity city;
        city.name = cutName(line.substr(1, close - 1), kMaxCityName);
        city.lon = leadingDouble(fields[0]);
        city.lat = leadingDouble(fields[1]);
        city.flag = leadingInt(fields[2]);
        city.sizeClass = leadingInt(fields[3]);
        city.point = unitPoint(city.lat, city.lon);
        out.push_back(std::move(city));
    }
    return out;
}

MapData loadMapData(const std::filesystem::path& directory, const MapLayers& layers) {
    MapData data;
    auto lines = [&](const char* name, MapLines& into) {
        std::vector<std::uint8_t> bytes;
        const std::filesystem::path path = findFileAnyCase(directory, name);
        if (path.empty() || !readWholeFile(path, bytes, kMaxLineFileBytes)) {
            data.failed = true;
            return;
        }
        into = parseMapLines(bytes);
    };
    lines("coasts.bin", data.coasts);
    if (layers.rivers) lines("rivers.bin", data.rivers);
    if (layers.plates) lines("plates.bin", data.plates);
    if (layers.cities) {
        std::string text;
        const std::filesystem::path path = findFileAnyCase(directory, "city.dat");
        if (path.empty() || !readTextFile(path, text, kMaxCityFileBytes))
            data.failed = true;
        else
            data.cities = parseCities(text);
    }
    // A map with a file missing opens without any map data.
    if (data.failed) return MapData{{}, {}, {}, {}, true};
    return data;
}

std::filesystem::path mapDataDirectory() {
    const std::filesystem::path own = programDirectory();
    if (!findFileAnyCase(own, "coasts.bin").empty()) return own;
    return shippedDataDirectory();
}

} // namespace tlx::views
