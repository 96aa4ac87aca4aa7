#include "seismo/regions.h"

#include "core/file_io.h"
#include "core/text.h"

#include <algorithm>
#include <cmath>

namespace tlx {
namespace {

constexpr std::size_t kMaxRegions = 10000;
constexpr std::size_t kMaxPoints = 100000;
constexpr std::size_t kNameWidth = 52;

// Reads whitespace-separated integers; false when the line holds anything else.
template <std::size_t N> bool readInts(std::string_view line, std::array<long, N>& out) {
    const std::vector<std::string_view> w = words(line);
    if (w.size() != N) return false;
    for (std::size_t i = 0; i < N; ++i) {
        long long v = 0;
        if (!parseInt(w[i], v)) return false;
        out[i] = static_cast<long>(v);
    }
    return true;
}

bool keywordLine(std::string_view line, std::string_view keyword, std::string_view& rest) {
    if (line.substr(0, keyword.size()) != keyword) return false;
    rest = line.substr(keyword.size());
    return true;
}

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

RegionTable& mutableTable() {
    static RegionTable table;
    return table;
}

} // namespace

const std::string& noRegionName() {
    static const std::string blanks(kNameWidth, ' ');
    return blanks;
}

bool RegionTable::parse(std::string_view text, std::string* error) {
    names_.clear();
    for (auto& q : quadrants_)
        q.clear();
    rowStart_ = {};
    std::vector<std::string> names;
    std::array<std::vector<Point>, 4> quads;
    std::array<bool, 4> seen{};
    TextLines reader(text, std::string_view::npos, '#');
    std::string_view line, rest;
    std::array<long, 1> one{};
    std::array<long, 2> two{};
    std::array<long, 3> three{};
    if (!reader.next(line) || trim(line) != "TLXFE 1") return fail(error, "not a region file");
    if (!reader.next(line) || !keywordLine(line, "NAMES", rest) || !readInts(rest, one) || one[0] < 1 ||
        static_cast<std::size_t>(one[0]) > kMaxRegions)
        return fail(error, "bad NAMES line");
    names.reserve(static_cast<std::size_t>(one[0]));
    for (long i = 0; i < one[0]; ++i) {
        if (!reader.next(line)) return fail(error, "names cut short");
        names.emplace_back(trim(line.substr(0, kNameWidth)));
    }
    while (true) {
        if (!reader.next(line)) return fail(error, "missing END");
        if (trim(line) == "END") break;
        if (!keywordLine(line, "QUAD", rest) || !readInts(rest, two) || two[0] < 1 || two[0] > 4 ||
            two[1] < 0 || static_cast<std::size_t>(two[1]) > kMaxPoints)
            return fail(error, "bad QUAD line");
        const std::size_t q = static_cast<std::size_t>(two[0] - 1);
        if (seen[q]) return fail(error, "quadrant given twice");
        seen[q] = true;
        std::vector<Point>& points = quads[q];
        points.reserve(static_cast<std::size_t>(two[1]));
        for (long i = 0; i < two[1]; ++i) {
            if (!reader.next(line) || !readInts(line, three)) return fail(error, "bad boundary point");
            if (three[0] < 0 || three[0] > 90 || three[1] < 0 || three[1] > 180 || three[2] < 0 ||
                three[2] > static_cast<long>(names.size()))
                return fail(error, "boundary point out of range");
            const Point p{static_cast<std::int16_t>(three[0]), static_cast<std::int16_t>(three[1]),
                          static_cast<std::int16_t>(three[2])};
            // the look-up relies on the order: latitude, then longitude
            if (!points.empty() &&
                (p.lat < points.back().lat || (p.lat == points.back().lat && p.lon <= points.back().lon)))
                return fail(error, "boundary points out of order");
            points.push_back(p);
        }
    }
    if (!std::all_of(seen.begin(), seen.end(), [](bool b) { return b; }))
        return fail(error, "quadrant missing");
    names_ = std::move(names);
    quadrants_ = std::move(quads);
    for (std::size_t q = 0; q < 4; ++q) {
        const std::vector<Point>& points = quadrants_[q];
        std::size_t i = 0;
        for (int a = 0; a < 92; ++a) {
            while (i < points.size() && points[i].lat < a)
                ++i;
            rowStart_[q][static_cast<std::size_t>(a)] = static_cast<std::uint32_t>(i);
        }
    }
    return true;
}

bool RegionTable::load(const std::filesystem::path& file, std::string* error) {
    std::string text;
    if (!readTextFile(file, text, 4u << 20)) {
        names_.clear();
        for (auto& q : quadrants_)
            q.clear();
        return fail(error, "cannot read " + file.string());
    }
    return parse(text, error);
}

int RegionTable::regionNumber(double lat, double lon) const {
    if (!loaded() || !(lat >= -90.0 && lat <= 90.0) || !std::isfinite(lon)) return 0;
    // longitudes beyond the date line count from the other side; the date line itself is 180 E
    lon = std::fmod(lon, 360.0);
    if (lon > 180.0) lon -= 360.0;
    if (lon <= -180.0) lon += 360.0;
    const int quadrant = lat >= 0 ? (lon >= 0 ? 0 : 1) : (lon < 0 ? 2 : 3);
    const std::size_t q = static_cast<std::size_t>(quadrant);
    const std::vector<Point>& points = quadrants_[q];
    const int a = static_cast<int>(std::fabs(lat));
    const int o = static_cast<int>(std::fabs(lon));
    // the first point of row a, then past every point of that row that begins at or before o
    const auto rowBegin = points.begin() + rowStart_[q][static_cast<std::size_t>(a)];
    const auto rowEnd = points.begin() + rowStart_[q][static_cast<std::size_t>(a) + 1];
    const auto it = std::upper_bound(rowBegin, rowEnd, o, [](int v, const Point& p) { return v < p.lon; });
    if (it == points.begin()) return 0;
    const int region = std::prev(it)->region;
    return region > 0 ? region : 0;
}

const std::string& RegionTable::name(int number) const {
    if (number <= 0 || static_cast<std::size_t>(number) > names_.size()) return noRegionName();
    return names_[static_cast<std::size_t>(number) - 1];
}

const RegionTable& regionTable() {
    return mutableTable();
}

bool loadRegionTable(const std::filesystem::path& file, std::string* error) {
    return mutableTable().load(file, error);
}

const std::string& regionName(double lat, double lon) {
    return regionTable().regionName(lat, lon);
}

} // namespace tlx
