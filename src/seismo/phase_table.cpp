#include "seismo/phase_table.h"

#include "core/file_io.h"
#include "core/text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace tlx {
namespace {

constexpr std::size_t kLineLimit = 127;

bool isNumberStart(char c) {
    return (c >= '0' && c <= '9') || c == '-';
}
bool isNumberChar(char c) {
    return isNumberStart(c) || c == '.';
}

// Takes the next number from line (advancing past it): the run of digits, '.' and '-' that starts
// at the first digit or '-'. Stored as -1 when negative, else trunc(value * scale + 0.5).
bool takeNumber(std::string_view& line, double scale, int& out) {
    std::size_t i = 0;
    while (i < line.size() && !isNumberStart(line[i]))
        ++i;
    if (i == line.size()) {
        line = {};
        return false;
    }
    std::size_t j = i;
    while (j < line.size() && isNumberChar(line[j]))
        ++j;
    const std::string run(line.substr(i, j - i));
    line.remove_prefix(j);
    const float value = static_cast<float>(leadingDouble(run));
    if (!std::isfinite(value)) return false;
    if (value < 0) {
        out = -1;
        return true;
    }
    const double scaled = std::trunc(static_cast<double>(value) * scale + 0.5);
    if (scaled > std::numeric_limits<int>::max()) return false;
    out = static_cast<int>(scaled);
    return true;
}

// Reads count numbers spread over as many lines as needed.
bool readNumbers(TextLines& lines, int count, double scale, std::vector<int>& out) {
    out.clear();
    std::string_view line;
    while (static_cast<int>(out.size()) < count) {
        if (!lines.next(line)) return false;
        int value = 0;
        while (static_cast<int>(out.size()) < count && takeNumber(line, scale, value))
            out.push_back(value);
        if (!line.empty() && static_cast<int>(out.size()) < count) return false; // an unreadable number
    }
    return true;
}

bool readCount(TextLines& lines, int below, int& count) {
    std::string_view line;
    if (!lines.next(line) || !takeNumber(line, 1.0, count)) return false;
    return count >= 3 && count < below;
}

bool parse(std::string_view text, PhaseTable& t) {
    // as a C reader with a 128-byte buffer: the rest of a longer line comes as the next one
    TextLines lines(text, kLineLimit, 0, LongLines::Continue);
    std::string_view line;
    bool titled = false;
    for (int i = 0; i < 3 && !titled; ++i) {
        if (!lines.next(line)) return false;
        if (!line.empty() && (line[0] == 'n' || line[0] == '#')) titled = true;
    }
    if (!titled) return false;
    t.phaseName = phaseNameFromTitle(line);
    if (t.phaseName.empty() && line.find("IASPEI") == std::string_view::npos &&
        line.find("travel-time") == std::string_view::npos)
        return false;
    if (!readCount(lines, kMaxTableDepths, t.depthCount) ||
        !readNumbers(lines, t.depthCount, 100.0, t.depths))
        return false;
    if (!readCount(lines, kMaxTableDistances, t.distanceCount) ||
        !readNumbers(lines, t.distanceCount, 100.0, t.distances))
        return false;
    t.times.reserve(static_cast<std::size_t>(t.depthCount) * static_cast<std::size_t>(t.distanceCount));
    for (int row = 0; row < t.depthCount; ++row) {
        if (!lines.next(line) || line.empty() || line[0] != '#') return false;
        for (int col = 0; col < t.distanceCount; ++col) {
            int value = 0;
            if (!lines.next(line) || !takeNumber(line, 1000.0, value)) return false;
            t.times.push_back(value);
        }
    }
    t.largestDistance = t.distances.back();
    t.largestDepth = t.depths.back() / 100;
    return true;
}

// One row's time at distance x, column j being the first whose distance reaches x.
double rowTime(const PhaseTable& t, int row, int j, double x, bool upper, double lower) {
    const double none = upper ? lower : -1.0;
    if (j == 0) {
        const int t0 = t.time(row, 0);
        if (t0 == -1) return none;
        if (t.distances[0] == 0) return t0 / 1000.0;
        return x * (t0 / 1000.0) / (t.distances[0] / 100.0);
    }
    const int ta = t.time(row, j - 1), tb = t.time(row, j);
    if (ta == -1 && tb == -1) return none;
    if (ta == -1) return tb / 1000.0;
    if (tb == -1) return ta / 1000.0;
    const double xa = t.distances[static_cast<std::size_t>(j) - 1] / 100.0;
    const double xb = t.distances[static_cast<std::size_t>(j)] / 100.0;
    if ((ta == 0 && tb == 0) || xa == xb || ta == tb) return ta / 1000.0;
    return ta / 1000.0 + (x - xa) * (tb - ta) / 1000.0 / (xb - xa);
}

} // namespace

std::string phaseNameFromTitle(std::string_view title) {
    if (const std::size_t iaspei = title.find("IASPEI"); iaspei != std::string_view::npos) {
        const std::size_t colon = title.find(':');
        if (colon == std::string_view::npos) return {};
        std::size_t i = colon + 1;
        while (i < title.size() && (title[i] == ' ' || title[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < title.size() && title[j] != ' ' && title[j] != '\t' && title[j] != '\r')
            ++j;
        if (j == i) return {};
        return std::string(title.substr(i, j - i)) + "-(IASP91)";
    }
    const std::size_t tt = title.find("travel-time");
    if (tt == std::string_view::npos) return {};
    std::string name;
    for (std::size_t i = 4; i < tt && name.size() < 19; ++i)
        if (title[i] != ' ' && title[i] != '\t') name += title[i];
    return name;
}

bool parsePhaseTable(std::string_view text, PhaseTable& table) {
    table.clear();
    PhaseTable t;
    if (!parse(text, t)) return false;
    table = std::move(t);
    return true;
}

bool readPhaseTable(const std::filesystem::path& path, PhaseTable& table) {
    std::string text;
    table.clear();
    // 200 depths x 1000 distances of short lines stay far below this
    if (!readTextFile(path, text, 16u << 20) || !parsePhaseTable(text, table)) return false;
    table.fileName = path.filename().string().substr(0, 31);
    return true;
}

double travelTime(double depthKm, const PhaseTable& t, double x) {
    if (t.empty() || !std::isfinite(depthKm) || !std::isfinite(x) || depthKm < -1e6 || depthKm > 1e6 ||
        x < -1e6 || x > 1e6)
        return -1;
    const int hd = static_cast<int>(depthKm * 100.0);
    int i = 0;
    while (i < t.depthCount && t.depths[static_cast<std::size_t>(i)] < hd)
        ++i;
    if (i == t.depthCount) return -1;
    const int xd = static_cast<int>(x * 100.0);
    if (xd < t.distances[0]) return -1;
    int j = 0;
    while (j < t.distanceCount && t.distances[static_cast<std::size_t>(j)] < xd)
        ++j;
    if (j == t.distanceCount) return -1;
    if (i == 0) return rowTime(t, 0, j, x, false, -1);
    const double lo = rowTime(t, i - 1, j, x, false, -1);
    const double hi = rowTime(t, i, j, x, true, lo);
    // a row without a value leaves the other row's time
    if (lo < 0) return hi;
    if (hi < 0) return lo;
    const double dlo = t.depths[static_cast<std::size_t>(i) - 1] / 100.0;
    const double dhi = t.depths[static_cast<std::size_t>(i)] / 100.0;
    if ((dlo == 0 && dhi == 0) || (lo == 0 && hi == 0) || dlo == dhi || lo == hi) return lo;
    return lo + (hi - lo) * (depthKm - dlo) / (dhi - dlo);
}

} // namespace tlx
