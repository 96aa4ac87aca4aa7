#include "views/eq_view_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

namespace tlx::views {
namespace {

struct Channel {
    EventRecord record;
    std::vector<double> samples;
    MinMaxPyramid pyramid;
};

std::unique_ptr<Channel> makeChannel(std::vector<double> samples, double sps = 100, int second = 0,
                                     int nanos = 0) {
    auto c = std::make_unique<Channel>();
    c->record.header.startTime = {2024, 3, 1, 12, 0, static_cast<std::uint8_t>(second), 0, nanos};
    c->record.header.sps = sps;
    c->samples = std::move(samples);
    const auto [lo, hi] = std::minmax_element(c->samples.begin(), c->samples.end());
    c->record.header.dataMin = *lo;
    c->record.header.dataMax = *hi;
    c->record.header.dataMean = 0;
    c->pyramid.rebuild(c->samples);
    return c;
}

TraceSource source(const Channel& c) {
    return {&c.record, c.samples, &c.pyramid, 0, "STA"};
}

TextMetrics fixedMetrics() {
    TextMetrics m;
    m.lineHeight = 14;
    m.width = [](std::string_view s, FontRole) { return static_cast<int>(s.size()) * 7; };
    return m;
}

std::vector<double> sine(std::size_t n, double amplitude) {
    std::vector<double> s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = amplitude * std::sin(static_cast<double>(i) * 0.05);
    return s;
}

TEST(EqViewModel, StripsForOneTwoAndThreeRecords) {
    auto a = makeChannel(sine(1000, 100)), b = makeChannel(sine(1000, 100)), c = makeChannel(sine(1000, 100));
    EqViewModel m;
    m.options().xGrid = false;
    m.options().yGrid = false;
    const Rect client{0, 0, 600, 400};
    // Graph top = half a line + 3 = 10; bottom 400; h = 14.
    m.setSources({source(*a)});
    m.layout(client, fixedMetrics(), Output::Screen);
    EXPECT_EQ(m.strip(0).top, 10);
    EXPECT_EQ(m.strip(0).bottom, 400);
    EXPECT_EQ(m.baseline(0), 205);
    m.setSources({source(*a), source(*b)});
    m.layout(client, fixedMetrics(), Output::Screen);
    EXPECT_EQ(m.strip(0).bottom, 10 + 195 - 7);
    EXPECT_EQ(m.strip(1).top, 10 + 195 + 7);
    m.setSources({source(*a), source(*b), source(*c)});
    m.layout(client, fixedMetrics(), Output::Screen);
    const int F = (400 - 10 - 7) / 3;
    EXPECT_EQ(m.strip(0).bottom, 10 + F - 7);
    EXPECT_EQ(m.strip(1).top, 10 + 7 + F);
    EXPECT_EQ(m.strip(1).bottom, 10 + 2 * F);
    EXPECT_EQ(m.strip(2).top, 10 + 2 * F + 14);
    m.showAlone(1);
    m.layout(client, fixedMetrics(), Output::Screen);
    EXPECT_EQ(m.strip(1).top, 10);
    EXPECT_EQ(m.strip(1).bottom, 400);
}

TEST(EqViewModel, AutomaticScaleAndEqualExcursions) {
    auto a = makeChannel({-500, 500, 0, 250});
    a->record.header.dataMean = 0;
    EqViewModel m;
    m.setSources({source(*a)});
    // a = b: the amplitude is taken as at least 1 beside 500 -> 500 counts -> full scale 500.
    EXPECT_DOUBLE_EQ(m.scale(0).fullScale, 500);
    EXPECT_EQ(m.scale(0).mode, kModeCounts);
    auto flat = makeChannel(std::vector<double>(100, 7.0));
    flat->record.header.dataMean = 7;
    m.setSources({source(*flat)});
    EXPECT_DOUBLE_EQ(m.scale(0).fullScale, 1); // zero excursion drawn as if it were 1 count
    auto cal = makeChannel(sine(1000, 23400));
    cal->record.header.sensorType = 2;
    cal->record.header.sensitivity = 1e-5; // cm/s per count -> 1e-7 m/s per count
    m.setSources({source(*cal)});
    EXPECT_EQ(m.scale(0).mode, kModeSensor);
    // 23400 counts x 1e-7 = 2.34e-3 m/s = 2.34 mm/s -> 2.5 Millimeters.
    EXPECT_DOUBLE_EQ(m.scale(0).fullScale, 2.5);
    EXPECT_EQ(unitName(m.scale(0).mode, m.scale(0).multiplier), "Millimeters");
}

TEST(EqViewModel, TimeAxisStartsOnTheNextWholeSecond) {
    auto a = makeChannel(sine(3000, 10), 100, 5, 250'000'000);
    EqViewModel m;
    m.setSources({source(*a)});
    EXPECT_EQ(m.axisStartMs(), (12 * 3600 + 6) * 1000);
    EXPECT_EQ(m.wholeSecondOffset(), 75);
    EXPECT_EQ(m.durationSeconds(), 29);
    EXPECT_DOUBLE_EQ(m.spanSeconds(), 29);
}

TEST(EqViewModel, DenseTraceKeepsEveryPeak) {
    // A spike train: one sample of 1000 every 997 samples in 200,000; the picture is 300 px wide,
    // so hundreds of samples share a column and only the min/max keeps the spikes.
    std::vector<double> s(200'000, 0.0);
    std::vector<std::size_t> spikes;
    for (std::size_t i = 500; i < s.size(); i += 997) {
        s[i] = 1000;
        spikes.push_back(i);
    }
    auto a = makeChannel(s);
    a->record.header.dataMean = 0;
    EqViewModel m;
    m.options().yGrid = false;
    m.options().xGrid = false;
    m.options().distance = false;
    m.setSources({source(*a)});
    m.layout({0, 0, 300, 200}, fixedMetrics(), Output::Screen);
    const Scene scene = m.scene();
    ASSERT_EQ(scene.traces.size(), 1u);
    const TraceDraw& t = scene.traces[0];
    ASSERT_FALSE(t.columns.empty());
    const int spikeY = m.sampleY(0, 1000);
    const double pps = 300.0 / (m.spanSeconds() * 100);
    for (std::size_t i : spikes) {
        const int col = static_cast<int>(std::floor(i * pps));
        if (col > 300) continue;
        const auto it =
            std::find_if(t.columns.begin(), t.columns.end(), [&](const Segment& c) { return c.x1 == col; });
        ASSERT_NE(it, t.columns.end()) << "column " << col;
        EXPECT_EQ(std::min(it->y1, it->y2), spikeY) << "spike at sample " << i << " lost";
    }
}

TEST(EqViewModel, ZoomedInTraceIsAPolylineThroughEverySample) {
    auto a = makeChannel(sine(10'000, 100));
    EqViewModel m;
    m.setSources({source(*a)});
    m.setSpan(2); // 200 samples on 600 px
    m.layout({0, 0, 600, 300}, fixedMetrics(), Output::Screen);
    const Scene scene = m.scene();
    EXPECT_TRUE(scene.traces[0].columns.empty());
    EXPECT_GE(scene.traces[0].polyline.size(), 200u);
    EXPECT_LE(scene.traces[0].polyline.size(), 202u);
}

TEST(EqViewModel, ScrollAndSpanStayInsideTheRecord) {
    auto a = makeChannel(sine(6000, 10)); // 60 s
    EqViewModel m;
    m.setSources({source(*a)});
    m.setSpan(10.7);
    EXPECT_DOUBLE_EQ(m.spanSeconds(), 10);
    m.scrollSeconds(100);
    EXPECT_EQ(m.leftMs() - m.axisStartMs(), 50'000);
    m.scrollSeconds(-1000);
    EXPECT_EQ(m.leftMs(), m.axisStartMs());
    m.setSpan(500);
    EXPECT_DOUBLE_EQ(m.spanSeconds(), 60);
    m.setSpan(-3);
    EXPECT_DOUBLE_EQ(m.spanSeconds(), 1);
    m.zoomBy(-100);
    EXPECT_EQ(m.zoomIndex(), -47);
    m.zoomBy(-1);
    EXPECT_EQ(m.zoomIndex(), -47);
}

TEST(EqViewModel, MarkerTimesDragsAndMidnight) {
    auto a = makeChannel(sine(6000, 10)); // 60 s from 12:00:00
    EqViewModel m;
    m.options().yGrid = false;
    m.setSources({source(*a)});
    m.layout({0, 0, 624, 400}, fixedMetrics(), Output::Screen);
    m.resetMarkers();
    // P box at graph left + 20; time = span / width x (12 + 20) x 1000 + left.
    EXPECT_EQ(m.marker(kMarkerP).timeMs,
              43'200'000 + static_cast<std::int64_t>(60.0 / 624 * 32 * 1000 + 0.5));
    const Marker s = m.marker(kMarkerS);
    // Dragging P onto S's box is refused; P stays where it was.
    const Marker p = m.marker(kMarkerP);
    EXPECT_FALSE(m.setMarkerBox(kMarkerP, s.x + 5, s.y));
    EXPECT_EQ(m.marker(kMarkerP).x, p.x);
    EXPECT_FALSE(m.setMarkerBox(kMarkerP, 620, p.y)); // would leave the graph
    EXPECT_TRUE(m.setMarkerBox(kMarkerP, 300, p.y));
    EXPECT_GT(*m.spMs(), -60'000);
    // An S pick just after midnight after a P pick just before it.
    auto late = makeChannel(sine(6000, 10), 100, 0);
    late->record.header.startTime = {2024, 3, 1, 23, 59, 30, 0, 0};
    m.setSources({source(*late)});
    m.layout({0, 0, 624, 400}, fixedMetrics(), Output::Screen);
    m.placeMarker(kMarkerP, kMsPerDay - 2000, 100);
    m.placeMarker(kMarkerS, 3000, 100); // 00:00:03 of the next day
    EXPECT_EQ(*m.spMs(), 5000);
}

// A 60 s record from 12:00:00 laid out 624 px wide with the P marker at 12:00:10.
void layoutWithP(EqViewModel& m, const Channel& c) {
    m.setSources({source(c)});
    m.layout({0, 0, 624, 400}, fixedMetrics(), Output::Screen);
    m.placeMarker(kMarkerP, 43'210'000, 200);
}

TEST(EqViewModel, LockedMarkersFollowTheirTimes) {
    auto a = makeChannel(sine(6000, 10));
    EqViewModel m;
    layoutWithP(m, *a);
    m.setLocked(true);
    m.setSpan(20);
    m.layout({0, 0, 624, 400}, fixedMetrics(), Output::Screen);
    EXPECT_NEAR(static_cast<double>(m.columnTimeMs(m.marker(kMarkerP).x + m.boxWidth() / 2.0)), 43'210'000,
                40);
}

TEST(EqViewModel, DistanceLineWithAndWithoutTables) {
    auto a = makeChannel(sine(6000, 10));
    EqViewModel m;
    layoutWithP(m, *a);
    m.placeMarker(kMarkerS, 43'219'440, 200);
    EXPECT_EQ(m.distanceLine(), "Org: *** P: 12:00:10.0 S: 12:00:19.4 Diff: 09.44sec  Dist: *** Mag: ***");
    m.setDistanceProvider([](double sp) -> std::optional<DistanceResult> {
        if (sp > 100) return std::nullopt;
        return DistanceResult{sp / 10, sp / 2, 5, "Reg: "};
    });
    const std::string line = m.distanceLine();
    EXPECT_NE(line.find("Org: 12:00:05.2 "), std::string::npos) << line; // P - 4.72 s
    EXPECT_NE(line.find("Dist: 105.0km 65.2mi 0.944deg Mag: *** Reg: "), std::string::npos) << line;
    m.placeMarker(kMarkerS, 43'320'000, 200);
    EXPECT_NE(m.distanceLine().find("  Table Out Of Range  "), std::string::npos);
}

// 60 s at 100 sps from 12:00:00 on a DC level of 500: uniform noise of RMS 10, and from 12:00:10 a
// 5 Hz wave of amplitude 1000 decaying with the time constant tau. Its coda falls to twice the
// noise tau x ln(1000 / (sqrt(6) x 10)) s after P (the wave's one-second RMS reaching sqrt(3) x 10).
std::unique_ptr<Channel> codaChannel(double tau) {
    std::mt19937 random(11);
    std::vector<double> x(6000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / 100;
        x[i] = 500 + (static_cast<double>(random()) / 4294967295.0 * 2 - 1) * 10 * std::sqrt(3.0);
        if (t >= 10) x[i] += 1000 * std::exp(-(t - 10) / tau) * std::sin(2 * M_PI * 5 * (t - 10));
    }
    auto c = makeChannel(std::move(x));
    c->record.header.dataMean = 500;
    return c;
}

TEST(EqViewModel, MagnitudeMarkerCommandsAndTheMdCoda) {
    auto ringing = codaChannel(200), decaying = codaChannel(8);
    EqViewModel m;
    layoutWithP(m, *ringing);
    m.setMagMode(kMagMd); // the coda never ends: the menu's place stays
    EXPECT_EQ(m.marker(kMarkerMag).x, 100);
    EXPECT_EQ(m.marker(kMarkerMag).y, 100);
    m.setMagMode(kMagMd);
    EXPECT_EQ(m.magMode(), kMagNone);
    EXPECT_FALSE(m.marker(kMarkerMag).placed());
    struct Step {
        const char* name;
        int mode;
        std::optional<Point> at;
        Point expected;
    };
    const Step steps[] = {
        {"Md from the context menu, no place yet: the click", kMagMd, Point{300, 150}, {300, 150}},
        {"Ml from the context menu: the click", kMagMlMs, Point{200, 120}, {200, 120}},
        {"Md from the context menu, placed: stays", kMagMd, Point{400, 130}, {200, 120}},
        {"Mb from the menu, placed: stays", kMagMb, std::nullopt, {200, 120}},
    };
    for (const Step& s : steps) {
        m.setMagMode(s.mode, s.at);
        EXPECT_EQ(m.magMode(), s.mode) << s.name;
        EXPECT_EQ(m.marker(kMarkerMag).x, s.expected.x) << s.name;
        EXPECT_EQ(m.marker(kMarkerMag).y, s.expected.y) << s.name;
    }
    layoutWithP(m, *decaying);
    m.setMagMode(kMagMd, Point{50, 50});
    const double expectedMs = 43'210'000 + 8000 * std::log(1000 / (std::sqrt(6.0) * 10));
    EXPECT_NEAR(static_cast<double>(m.marker(kMarkerMag).timeMs), expectedMs, 1500);
    EXPECT_EQ(m.marker(kMarkerMag).y, m.baseline(0) + 10);
}

TEST(EqViewModel, DistanceToggleKeepsTheMagnitudeModeAside) {
    auto a = makeChannel(sine(6000, 10));
    EqViewModel m;
    layoutWithP(m, *a);
    m.setMagMode(kMagMb, Point{300, 150});
    m.setActiveMarker(kMarkerMag);
    const auto expectResetPs = [&](const char* when) {
        EXPECT_EQ(m.marker(kMarkerP).x, m.graph().left + 20) << when;
        EXPECT_EQ(m.marker(kMarkerS).x, m.graph().left + 80) << when;
        EXPECT_EQ(m.marker(kMarkerP).y, m.graph().bottom - 50) << when;
    };
    m.toggleDistanceDisplay();
    EXPECT_FALSE(m.options().distance);
    EXPECT_EQ(m.magMode(), kMagNone);
    EXPECT_FALSE(m.marker(kMarkerMag).placed());
    EXPECT_EQ(m.activeMarker(), kMarkerP);
    expectResetPs("off");
    m.toggleDistanceDisplay();
    EXPECT_TRUE(m.options().distance);
    EXPECT_EQ(m.magMode(), kMagMb);
    EXPECT_EQ(m.marker(kMarkerMag).x, 100);
    EXPECT_EQ(m.marker(kMarkerMag).y, 100);
    expectResetPs("on");
}

TEST(EqViewModel, StatusPanes) {
    auto a = makeChannel(sine(6000, 1000));
    a->record.header.sensorType = 1;
    a->record.header.sensitivity = 0.01;
    EqViewModel m;
    m.options().yGrid = false;
    m.setSources({source(*a)});
    m.layout({0, 0, 600, 400}, fixedMetrics(), Output::Screen);
    EXPECT_EQ(m.leftEdgeText(), "12:00:00.0");
    EXPECT_EQ(m.spanText(), "X: 60 Sec");
    EXPECT_EQ(m.cursorText(-5, 10), "Cursor: ???  Y: ???");
    const std::string c = m.cursorText(300, m.baseline(0) - 20);
    EXPECT_EQ(c.rfind("Cursor: 03/01 12:00:30.0  Y: ", 0), 0u) << c;
    EXPECT_NE(c.find("m/sec"), std::string::npos) << c;
    EXPECT_NE(c.find("g"), std::string::npos) << c;
    EXPECT_EQ(m.markerLetterText(), "P");
    m.options().distance = false;
    EXPECT_EQ(m.markerLetterText(), "M");
}

TEST(EqViewModel, PictureReservesRoomForTheTextLines) {
    auto a = makeChannel(sine(6000, 10));
    EqViewModel m;
    m.setSources({source(*a)});
    m.layout({0, 0, 600, 400}, fixedMetrics(), Output::Screen);
    const int screenTop = m.graph().top;
    m.layout({0, 0, 600, 400}, fixedMetrics(), Output::Picture);
    EXPECT_EQ(m.graph().top, screenTop + 3 * 14); // two header lines and the distance line
    a->record.info.events.push_back(EventEntry{});
    m.layout({0, 0, 600, 400}, fixedMetrics(), Output::Print);
    EXPECT_EQ(m.graph().top, screenTop + 5 * 14); // three header lines, comment, distance
}

TEST(TextPanel, LinesOfARecord) {
    auto a = makeChannel(sine(6000, 2000));
    std::memcpy(a->record.header.sensorId, "TLX01\0", 6);
    std::memcpy(a->record.header.componentName, "HHZ", 3);
    a->record.header.lockIndicator = 'L';
    a->record.fileName = "/data/event.svx";
    EqViewModel m;
    m.setSources({source(*a)});
    m.layout({0, 0, 600, 400}, fixedMetrics(), Output::Screen);
    const TextPanel p = buildTextPanel(m, false);
    EXPECT_EQ(p.fileText, "File: event.svx");
    std::string first;
    for (const TextPiece& piece : p.lines.at(0))
        first += piece.text;
    EXPECT_EQ(first, "Start: 2024/03/01 12:00:00 UTC (L) Station: STA TLX01 HHZ Samples: 6000  SPS: 100");
    std::string second;
    for (const TextPiece& piece : p.lines.at(1))
        second += piece.text;
    EXPECT_EQ(second.rfind("Max/Min: 2000/-2000 X: 1:00.0 Y: 2.1 Kilo Counts", 0), 0u) << second;
    m.setSpan(10);
    std::string narrowed;
    const TextPanel after = buildTextPanel(m, false);
    for (const TextPiece& piece : after.lines.at(0))
        narrowed += piece.text;
    EXPECT_NE(narrowed.find("View Samples: 1001"), std::string::npos) << narrowed;
}

} // namespace
} // namespace tlx::views

namespace tlx::views {
namespace {

TEST(EqViewModel, InvertedDataMirrorAroundTheOffset) {
    auto a = makeChannel({100, 300, -100, 100});
    a->record.header.dataMean = 100;
    EqViewModel m;
    m.setSources({source(*a)});
    m.layout({0, 0, 400, 300}, fixedMetrics(), Output::Screen);
    const int base = m.baseline(0);
    const int up = m.sampleY(0, 250);
    EXPECT_LT(up, base);
    // The document inverts by negating the statistics and keeping the samples.
    a->record.header.dataMean = -100;
    a->record.header.dataMin = -300;
    a->record.header.dataMax = 100;
    m.options().invert = true;
    m.updateSources({source(*a)});
    m.layout({0, 0, 400, 300}, fixedMetrics(), Output::Screen);
    EXPECT_EQ(m.sampleY(0, 250) - base, base - up);
    EXPECT_EQ(m.sampleY(0, 100), base);
}

} // namespace
} // namespace tlx::views
