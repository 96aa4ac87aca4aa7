#include "record/station_gs2.h"

#include "core/file_io.h"
#include "core/text.h"

namespace tlx {
namespace {

constexpr std::size_t kMaxLine = 78;
constexpr std::uint64_t kMaxFileBytes = 16u << 20;

} // namespace

void StationTable::parse(std::string_view text) {
    stations_.clear();
    TextLines lines(text, kMaxLine);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty() || line.front() == '/') continue;
        const std::vector<std::string_view> w = words(line);
        StationCoordinates s;
        if (w.size() < 4 || !parseDouble(w[1], s.latitude) || !parseDouble(w[2], s.longitude) ||
            !parseDouble(w[3], s.elevation))
            continue;
        s.code = std::string(w[0]);
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
