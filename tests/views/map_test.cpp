// The location map without Qt: projection and inverse against the textbook trigonometric form,
// the limb and deep-zoom line breaking, zoom snapping, fitting, panel texts, and the shipped map
// files read back against their sources.
#include "views/map_doc.h"

#include "core/file_io.h"
#include "core/text.h"
#include "core/units.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tlx::views {
namespace {

constexpr double kRad = std::numbers::pi / 180;
const MapRect kArea{100, 0, 800, 600};

// The orthographic projection written the textbook way (angles, not unit vectors).
std::optional<ScreenPoint> textbook(double lat0, double lon0, double kmPerPixel, double lat, double lon) {
    const double p0 = lat0 * kRad, p = lat * kRad, dl = (lon - lon0) * kRad;
    if (std::sin(p0) * std::sin(p) + std::cos(p0) * std::cos(p) * std::cos(dl) <= 0) return std::nullopt;
    const double x = kEarthRadiusKm * std::cos(p) * std::sin(dl);
    const double y =
        kEarthRadiusKm * (std::cos(p0) * std::sin(p) - std::sin(p0) * std::cos(p) * std::cos(dl));
    return ScreenPoint{kArea.left + kArea.width / 2 + x / kmPerPixel,
                       kArea.top + kArea.height / 2 - y / kmPerPixel};
}

TEST(MapProjection, AgreesWithTheTrigonometricFormAndInvertsWithinAPixel) {
    for (const double scale : {15000.0, 2000.0, 50.0}) {
        const MapProjection proj(47.4, 8.5, scale, kArea);
        for (int i = 0; i < 400; ++i) {
            const double lat = -89 + std::fmod(i * 37.3, 178), lon = -180 + std::fmod(i * 91.7, 360);
            // Near the centre at deep zoom, so that points land on screen.
            const double la = scale < 100 ? 47.4 + (lat / 89) * 0.2 : lat;
            const double lo = scale < 100 ? 8.5 + (lon / 180) * 0.3 : lon;
            const auto want = textbook(47.4, 8.5, proj.kmPerPixel(), la, lo);
            const auto got = proj.project(la, lo);
            ASSERT_EQ(got.has_value(), want.has_value()) << la << " " << lo;
            if (!got) continue;
            EXPECT_NEAR(got->x, want->x, 0.05) << la << " " << lo << " at " << scale;
            EXPECT_NEAR(got->y, want->y, 0.05);
            if (!kArea.contains(got->x, got->y)) continue;
            const auto back = proj.inverse(got->x, got->y);
            ASSERT_TRUE(back);
            const auto again = proj.project(back->lat, back->lon);
            ASSERT_TRUE(again);
            EXPECT_LT(std::hypot(again->x - got->x, again->y - got->y), 1.0);
        }
    }
}

TEST(MapProjection, CentrePixelReadsZeroAndOffGlobeReadsUnknown) {
    const MapProjection proj(10.02, 20.01, 15000, kArea);
    const auto centre = proj.inverse(kArea.left + kArea.width / 2, kArea.top + kArea.height / 2);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->lat, 10.02, 1e-9);
    // 0.05 is added before the one-decimal form.
    EXPECT_EQ(cursorLines(centre, 15000),
              (std::vector<std::string>{"Lat: 10.1", "Long: 20.1", "Dist: 0km", "Az: 0.0"}));
    // Due east at the top of the area is 90 degrees away from north-up.
    const auto east = proj.inverse(kArea.left + kArea.width / 2 + 100, kArea.height / 2);
    EXPECT_NEAR(east->azimuth, 90, 1e-9);
    EXPECT_NEAR(east->distanceKm, std::asin(100 * proj.kmPerPixel() / kEarthRadiusKm) * kEarthRadiusKm, 1e-6);
    EXPECT_FALSE(proj.inverse(kArea.left + kArea.width - 1, 0)); // a corner beyond the limb at 15000 km
    EXPECT_EQ(cursorLines(std::nullopt, 15000)[2], "Dist: ???");
}

// Runs a line of (lat, lon) points through the projector.
std::vector<Polyline> projectLine(const MapProjection& proj,
                                  const std::vector<std::pair<double, double>>& pts) {
    LineProjector projector(proj);
    for (const auto& [lat, lon] : pts)
        projector.add(unitPoint(lat, lon));
    return projector.finish();
}

TEST(MapProjection, LineAcrossTheLimbBreaksAndResumesWhereVisibleAgain) {
    // Along the equator from 60E eastwards round to 60W, seen from 0N 0E: hidden beyond 90E and 90W.
    const MapProjection proj(0, 0, 15000, kArea);
    std::vector<std::pair<double, double>> pts;
    for (int lon = 60; lon <= 300; lon += 2)
        pts.push_back({0, lon > 180 ? lon - 360 : lon});
    const std::vector<Polyline> lines = projectLine(proj, pts);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines[0].back().x, textbook(0, 0, proj.kmPerPixel(), 0, 90)->x, 1e-3);
    EXPECT_NEAR(lines[1].front().x, textbook(0, 0, proj.kmPerPixel(), 0, -90)->x, 1e-3);
    EXPECT_NEAR(lines[1].back().x, textbook(0, 0, proj.kmPerPixel(), 0, -60)->x, 1e-3);
}

TEST(MapProjection, DeepZoomClipsStepsInsteadOfBendingThem) {
    // At 100 m a step between two points 5 km and 7 km from the centre is thousands of pixels
    // long; the part drawn must lie on the straight projected step (clamping each end to the
    // screen would bend it).
    const MapProjection proj(47.4, 8.5, 0.1, kArea);
    const MapPosition a = pointAtDistance(47.4, 8.5, 5, 269.9), b = pointAtDistance(47.4, 8.5, 7, 90);
    const ScreenPoint pa = *proj.project(a.lat, a.lon), pb = *proj.project(b.lat, b.lon);
    const std::vector<Polyline> lines = projectLine(proj, {{a.lat, a.lon}, {b.lat, b.lon}});
    ASSERT_EQ(lines.size(), 1u);
    for (const ScreenPoint& s : lines[0]) {
        EXPECT_GT(s.x, kArea.left - 17);
        EXPECT_LT(s.x, kArea.left + kArea.width + 17);
        const double cross = (pb.x - pa.x) * (s.y - pa.y) - (pb.y - pa.y) * (s.x - pa.x);
        EXPECT_LT(std::abs(cross) / std::hypot(pb.x - pa.x, pb.y - pa.y), 0.01);
    }
    // A step wholly off the area is not drawn at all.
    const MapPosition c = pointAtDistance(47.4, 8.5, 5, 0), d = pointAtDistance(47.4, 8.5, 6, 10);
    EXPECT_TRUE(projectLine(proj, {{c.lat, c.lon}, {d.lat, d.lon}}).empty());
}

TEST(MapZoom, FactorsSnapUpToTheTableAndStopAtItsEnds) {
    const struct {
        double fromKm, factor;
        bool in;
        std::optional<double> toKm;
    } cases[] = {{10000, 3, true, 5000}, {15000, 2, true, 10000},  {1, 20, true, 0.1},    {0.1, 2, true, {}},
                 {15000, 2, false, {}},  {10000, 3, false, 15000}, {500, 4, false, 2000}, {200, 5, true, 50}};
    for (const auto& c : cases) {
        const std::optional<int> level = zoomLevel(snapScaleLevel(c.fromKm), c.factor, c.in);
        ASSERT_EQ(level.has_value(), c.toKm.has_value()) << c.fromKm << " " << c.factor;
        if (level) {
            EXPECT_EQ(kMapScales[*level], *c.toKm) << c.fromKm << " " << c.factor;
        }
    }
    EXPECT_EQ(kMapScales[snapScaleLevel(10000)], 10000);
    EXPECT_EQ(mapTitle(0.5), "Location Map - Y-Scale: 500m");
    EXPECT_EQ(mapTitle(2000), "Location Map - Y-Scale: 2000km");
}

EventRecord stationRecord(double lat, double lon, const char* station) {
    EventRecord r;
    r.header.latitude = lat, r.header.longitude = lon;
    copyToField(r.header.sensorId, sizeof r.header.sensorId, station);
    r.header.startTime = {2024, 3, 1, 23, 59, 50, 0, 0};
    r.header.startTimeOffset = 20; // the name takes the date after the offset
    return r;
}

TEST(MapModel, FittingCentresOnTheEventAndScalesToFiveTimesTheDistance) {
    EventRecord a = stationRecord(47.37, 8.54, "ZUR"), b = stationRecord(kUnknownValue, 0, "NOPOS"),
                c = stationRecord(46.0, 7.0, "SION");
    EventEntry e{};
    e.latitude = 45.9, e.longitude = 6.9, e.depth = 10, e.magMl = 455;
    e.originTime = {2024, 3, 2, 0, 0, 1, 0, 300000000};
    c.addEvent(e);
    const double deg100km = 100 / (std::numbers::pi / 180 * kEarthRadiusKm);
    const MapContents m = mapContents({{&a, 0}, {&b, 0}, {&c, deg100km}});
    ASSERT_EQ(m.stations.size(), 2u);
    EXPECT_EQ(m.stations[1].window, 2); // the window without a position keeps its colour slot
    const MapFit fit = fitMap(m, 0, 0);
    EXPECT_DOUBLE_EQ(fit.lat, 45.9);
    EXPECT_EQ(kMapScales[fit.level], 500);
    EXPECT_EQ(eventLines(*m.event),
              (std::vector<std::string>{"Lat: 45.9", "Long: 6.9", "Depth: 10km", "Mag: Ml4.6",
                                        "Time: 00:00:01.3", "Date: 03/02/24"}));
    EXPECT_EQ(mapImageName("/ev", m), std::filesystem::path("/ev/240302_map.gif"));

    // Nothing open: the last centre, the globe, "eventmap.gif"; a distance above 5000 km: the globe.
    const MapFit none = fitMap(mapContents({}), 12, 34);
    EXPECT_EQ(std::make_tuple(none.lat, none.lon, none.level), std::make_tuple(12.0, 34.0, 0));
    EXPECT_EQ(mapImageName("", mapContents({})), std::filesystem::path("eventmap.gif"));
    EXPECT_EQ(fitMap(mapContents({{&a, 50}}), 0, 0).level, 0);
}

TEST(MapFiles, LineReaderEndsLinesAtMarksAndBadPairsAndIgnoresAnOddByte) {
    auto bytes = [](std::vector<std::int16_t> v, bool odd) {
        std::vector<std::uint8_t> out;
        for (std::int16_t x : v)
            out.push_back(static_cast<std::uint8_t>(x & 0xFF)),
                out.push_back(static_cast<std::uint8_t>((x >> 8) & 0xFF));
        if (odd) out.push_back(7);
        return out;
    };
    // Two lines, an end mark, a pair beyond the pole (breaks), a trailing lone value.
    const MapLines l =
        parseMapLines(bytes({60, -120, 120, -60, 10000, 0, 10000, 5, 30, 30, 9000, 0, 31, 31, 55}, true));
    EXPECT_EQ(l.ends, (std::vector<std::uint32_t>{2, 3, 4}));
    EXPECT_EQ(l.latMin[0], 60);
    EXPECT_EQ(l.lonMin[1], -60);
    EXPECT_NEAR(l.points[0].z, std::sin(1 * kRad), 1e-6);
    EXPECT_TRUE(parseMapLines({}).points.empty());
}

TEST(MapFiles, CityLinesNeedTheQuoteAndFourCommas) {
    const std::string longName(50, 'x');
    const std::string text = "header without quote\n"
                             "\"Zürich\",8.55,47.3667,1,200\r\n"
                             "\"Short\",1,2,1\n" // three commas
                             "Nowhere\",1,2,1,50\n"
                             "\"" +
                             longName +
                             "\",1,2,0,2000\n"
                             "\"Köln\",6.95,50.93,1,500" +
                             std::string(60, ' ') + ",9\n";
    const std::vector<MapCity> cities = parseCities(text);
    ASSERT_EQ(cities.size(), 3u);
    EXPECT_EQ(cities[0].name, "Zürich");
    EXPECT_DOUBLE_EQ(cities[0].lat, 47.3667);
    EXPECT_EQ(cities[0].sizeClass, 200);
    EXPECT_EQ(cities[1].name.size(), 40u);
    EXPECT_EQ(cities[1].flag, 0);
    // The 79th character ends the line: the fifth field is blanks.
    EXPECT_EQ(cities[2].sizeClass, 500);
}

// The shipped files, read back against what they were made from.
TEST(MapFiles, ShippedCoastsMatchTheGshhgPointsTheyCameFrom) {
    const auto data = test::sourceDir() / "data";
    const MapData map = loadMapData(data, {});
    ASSERT_FALSE(map.failed);
    EXPECT_GT(map.coasts.lineCount(), 1000u);
    EXPECT_GT(map.plates.lineCount(), 200u);
    std::string sample;
    ASSERT_TRUE(readTextFile(test::sourceDir() / "tests/views/data/gshhg_coast_sample.txt", sample));
    TextLines lines(sample, 200, '#');
    std::string_view line;
    int checked = 0;
    while (lines.next(line)) {
        const std::vector<std::string> w = split(line, ' ');
        const double lon = std::stod(w[0]), lat = std::stod(w[1]);
        bool near = false;
        for (std::size_t i = 0; i < map.coasts.latMin.size() && !near; ++i) {
            const double dLon = std::remainder(map.coasts.lonMin[i] / 60.0 - lon, 360.0);
            near = std::abs(map.coasts.latMin[i] / 60.0 - lat) <= 0.01 && std::abs(dLon) <= 0.01;
        }
        EXPECT_TRUE(near) << lat << " " << lon;
        ++checked;
    }
    EXPECT_GT(checked, 50);

    // Only coasts.bin where rivers are wanted too: failed, and no data at all.
    test::TempDir dir;
    std::filesystem::copy_file(data / "coasts.bin", dir / "COASTS.BIN");
    const MapData partial = loadMapData(dir.path(), MapLayers{true, false, false});
    EXPECT_TRUE(partial.failed);
    EXPECT_TRUE(partial.coasts.points.empty());
    EXPECT_FALSE(loadMapData(dir.path(), MapLayers{false, false, false}).failed); // found in any case
}

TEST(MapFiles, ShippedCityListFollowsTheFormatAndThePopulationClasses) {
    std::string text;
    ASSERT_TRUE(readTextFile(test::sourceDir() / "data/city.dat", text));
    TextLines lines(text);
    std::string_view line;
    std::size_t quoted = 0;
    while (lines.next(line)) {
        if (line.empty() || line[0] != '"') continue;
        ++quoted;
        ASSERT_LE(line.size(), 79u) << line;
        const std::size_t close = line.find('"', 1);
        ASSERT_NE(close, std::string_view::npos) << line;
        ASSERT_LE(close - 1, 40u) << line;
        ASSERT_EQ(std::count(line.begin() + close, line.end(), ','), 4) << line;
    }
    const std::vector<MapCity> cities = parseCities(text);
    EXPECT_EQ(cities.size(), quoted);
    // GeoNames populations: Tokyo above 5 million, Zürich about 340,000, Lugano about 63,000.
    for (const auto& [name, cls] : {std::pair{"Tokyo", 50}, {"Zürich", 200}, {"Lugano", 1000}}) {
        const auto it =
            std::find_if(cities.begin(), cities.end(), [&](const MapCity& c) { return c.name == name; });
        ASSERT_NE(it, cities.end()) << name;
        EXPECT_EQ(it->sizeClass, cls) << name;
        EXPECT_EQ(it->flag, 1);
    }
}

} // namespace
} // namespace tlx::views
