#include "seismo/attenuation_table.h"

#include "core/file_io.h"
#include "core/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tlx {
namespace {

constexpr std::size_t kMaxValuesPerRange = 100000; // bounds the allocation a damaged file can ask for

bool startsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

bool parseRange(TextLines& lines, AttenuationRange& range) {
    std::string_view line;
    if (!lines.next(line) || !startsWith(line, "Range:")) return false;
    const std::vector<std::string_view> w = words(line.substr(0, 99));
    int start = 0, end = 0, step = 0;
    if (w.size() < 6 || !parseInt(w[1], start) || !parseInt(w[3], end) || !parseInt(w[5], step)) return false;
    if (w[4] != "Step:" || step <= 0 || end < start) return false;
    const long count = (static_cast<long>(end) - start) / step + 1;
    if (count <= 0 || count % 10 != 0 || static_cast<std::size_t>(count) > kMaxValuesPerRange) return false;
    range.start = start;
    range.step = step;
    range.endPlusStep = end + step;
    range.values.clear();
    for (long row = 0; row < count / 10; ++row) {
        int v[10];
        if (!lines.next(line) || scanInts(line, v, 10) != 10) return false;
        range.values.insert(range.values.end(), v, v + 10);
    }
    return true;
}

} // namespace

bool parseAttenuationTables(std::string_view text, AttenuationTables& tables) {
    tables = {};
    TextLines lines(text, 255, '!');
    std::string_view line;
    if (!lines.next(line) || !startsWith(line, "Tables:")) return false;
    const int n = leadingInt(line.substr(7));
    if (n < 1 || n > 9) return false;
    AttenuationTables parsed;
    for (int i = 0; i < n; ++i) {
        AttenuationRange range;
        if (!parseRange(lines, range)) return false;
        parsed.ranges.push_back(std::move(range));
    }
    parsed.limit = parsed.ranges.back().endPlusStep;
    tables = std::move(parsed);
    return true;
}

bool loadAttenuationTables(const std::filesystem::path& path, AttenuationTables& tables) {
    std::string text;
    if (!readTextFile(path, text, 4u << 20)) {
        tables = {};
        return false;
    }
    return parseAttenuationTables(text, tables);
}

bool AttenuationTableSet::loadGlobal() {
    const std::filesystem::path path = findDataFile(folders_, "magtbl.dat");
    if (path.empty() || !loadAttenuationTables(path, global_)) global_ = {};
    return !global_.empty();
}

const AttenuationTables* AttenuationTableSet::tableFor(std::string_view sensorId) {
    const std::string id = toUpper(trim(sensorId));
    // The id becomes part of a file name: nothing that could leave the folder.
    const bool usable = !id.empty() && id.find_first_of("/\\") == std::string::npos;
    if (!usable) return global();
    auto it = stations_.find(id);
    if (it == stations_.end()) {
        AttenuationTables own;
        const std::filesystem::path path = findDataFile(folders_, "MAGTBL." + id);
        if (path.empty() || !loadAttenuationTables(path, own)) own = {};
        it = stations_.emplace(id, std::move(own)).first;
    }
    return it->second.empty() ? global() : &it->second;
}

double minusLogA0(const AttenuationTables& tables, int x) {
    if (x == 0 || x >= tables.limit) return 0;
    for (std::size_t r = 0; r < tables.ranges.size(); ++r) {
        const AttenuationRange& range = tables.ranges[r];
        if (x < range.start || x > range.endPlusStep - 1) continue;
        const std::size_t k = static_cast<std::size_t>((x - range.start) / range.step);
        if (k >= range.values.size()) return 0;
        const int v = range.values[k];
        if ((x - range.start) % range.step == 0) return v / 100.0;
        int next;
        if (k + 1 < range.values.size())
            next = range.values[k + 1];
        else if (r + 1 < tables.ranges.size() && !tables.ranges[r + 1].values.empty())
            next = tables.ranges[r + 1].values[0];
        else
            return v / 100.0;
        if (next == v) return v / 100.0;
        const double offset = x - (range.start + static_cast<double>(k) * range.step);
        return std::trunc(v + (next - v) * offset / range.step + 0.5) / 100.0;
    }
    return 0;
}

} // namespace tlx
