#include "record/station_gs2.h"

#include "core/file_io.h"
#include "core/text.h"

#include <cstdlib>
#include <sstream>

namespace tlx {
namespace {

constexpr std::size_t kMaxLine = 78;
constexpr std::uint64_t kMaxFileBytes = 16u << 20;

bool parseNumber(const std::string& word, double& value) {
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end != word.c_str() && *end == '\0';
}

} // namespace

void StationTable::parse(std::string_view text) {
    stations_.clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, std::min(end - pos, kMaxLine));
        pos = end + 1;
        if (line.empty() || line.front() == '/') continue;
        std::istringstream words{std::string(line)};
        std::string code, lat, lon, elev;
        StationCoordinates s;
        if (!(words >> code >> lat >> lon >> elev)) continue;
        if (!parseNumber(lat, s.latitude) || !parseNumber(lon, s.longitude) || !parseNumber(elev, s.elevation))
            continue;
        s.code = code;
        stations_.push_back(std::move(s));
    }
}

bool StationTable::load(const LoaderSettings& settings) {
    const std::filesystem::path local =
        settings.localDirectory.empty() ? settings.programDirectory : settings.localDirectory;
    const std::filesystem::path path = findDataFile({local, settings.programDirectory}, "station.gs2");
    std::string text;
    if (path.empty() || !readTextFile(path, text, kMaxFileBytes)) {
        stations_.clear();
        return false;
    }
    parse(text);
    return true;
}

std::optional<StationCoordinates> StationTable::find(std::string_view code) const {
    for (auto it = stations_.rbegin(); it != stations_.rend(); ++it)
        if (it->code == code) return *it;
    return std::nullopt;
}

} // namespace tlx
