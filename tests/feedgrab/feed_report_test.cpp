#include "feedgrab/feed_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tlx::feedgrab;

struct RecordingConsole : FeedConsole {
    std::string printed;
    std::vector<std::string> logged;
    void print(std::string_view text) override { printed += text; }
    void log(std::string_view message) override { logged.emplace_back(message); }
};

// The text a feed line holds after the magnitude key, as the USGS feeds write it.
std::string featureText(const std::string& mag, const std::string& place, const std::string& time,
                        const std::string& coords) {
    std::string t = mag;
    if (!place.empty()) t += ",\"place\":" + place;
    if (!time.empty()) t += ",\"time\":" + time;
    t += ",\"updated\":1700000100000,\"tz\":null,\"status\":\"reviewed\",\"magType\":\"ml\"},\"geometry\":"
         "{\"type\":\"Point\"";
    if (!coords.empty()) t += ",\"coordinates\":[" + coords + "]";
    return t + "},\"id\":\"ci1\"},";
}

TEST(FeedNumbers, PaddedToTheirColumns) {
    struct Case {
        std::string (*fn)(double);
        double value;
        const char* text;
    } cases[] = {
        {latitudeText, 5.5, "  5.500"},     {latitudeText, -5.5, " -5.500"},
        {latitudeText, 35.6, " 35.600"},    {latitudeText, -35.6, "-35.600"},
        {latitudeText, 0.0, "  0.000"},     {longitudeText, -121.25, "-121.250"},
        {longitudeText, 120.5, " 120.500"}, {longitudeText, -75.0, " -75.000"},
        {longitudeText, 75.0, "  75.000"},  {longitudeText, 5.0, "   5.000"},
        {longitudeText, -5.0, "  -5.000"},  {depthText, 7.6, "  7.6"},
        {depthText, 15.0, " 15.0"},         {depthText, 123.4, "123.4"},
        {depthText, -1.5, " -1.5"},         {depthText, -10.0, "-10.0"},
        {depthText, 1000.0, "  1000.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fn(c.value), c.text) << c.value;
}

TEST(FeedDistance, MatchesTheIndependentComputation) {
    // Golden values from a separate Python rendering of the same geocentric formula.
    struct Case {
        double lat, lon;
        double km;
    } cases[] = {{35.6, -117.75, 1352.9952917883438}, {44.0626, -125.1251, 409.21847610782373},
                 {-17.9, 178.3, 9313.321441632253},   {5.5, 5.0, 12237.121198613282},
                 {-89.9, 10.0, 15245.33498386279},    {47.25, 237.5, 0.0}};
    for (const Case& c : cases)
        EXPECT_NEAR(distanceKm(c.lat, c.lon, 47.25, -122.5), c.km, 1e-6) << c.lat;
    // Identical points: the cosine may round past 1; the distance is about 0, never undefined (NaN fails <).
    for (double lat : {47.25, 35.6, -33.3333, 0.1, 89.99})
        for (double lon : {-122.5, 0.3, 179.9})
            EXPECT_LT(distanceKm(lat, lon, lat, lon), 1e-3) << lat << " " << lon;
    // Outside the globe: 0.
    EXPECT_EQ(distanceKm(91, 0, 10, 10), 0.0);
    EXPECT_EQ(distanceKm(10, -186, 10, 10), 0.0);
    EXPECT_EQ(distanceKm(10, 10, 10, 546), 0.0);
}

struct FormatCase {
    const char* name;
    std::string text;
    bool fileDates;
    std::string line;    // empty: skipped
    std::string printed; // console messages
    std::string logged;  // log lines, joined with "|"
};

TEST(FeedFormat, LinesAndSkips) {
    const std::string coords = "-117.75,35.6,7.6";
    const std::string place = "\"10 km SW of Ridgecrest, CA\"";
    const FormatCase cases[] = {
        {"file dates", featureText("4.5", place, "1700000000999", coords), true,
         "2023/11/14 22:13:20  35.600 -117.750  M4.5   7.6 10 km SW of Ridgecrest, CA", "", ""},
        {"console dates", featureText("4.5", place, "1700000000999", coords), false,
         "11/14/23 22:13:20  35.600 -117.750  M4.5   7.6   10 km SW of Ridgecrest, CA", "", ""},
        {"milliseconds dropped", featureText("1.0", "\"x\"", "1700075756999", "0,0,0"), true,
         "2023/11/15 19:15:56   0.000    0.000  M1.0   0.0 x", "", ""},
        {"null magnitude", featureText("null", "\"x\"", "0", "-121.25,5.5,7.6"), true,
         "1970/01/01 00:00:00   5.500 -121.250  M0.0   7.6 x", "", ""},
        {"negative magnitude keeps a blank before the place",
         featureText("-0.4", "\"3 km E\"", "0", "-75,-5.5,0"), true,
         "1970/01/01 00:00:00  -5.500  -75.000 M-0.4   0.0 3 km E", "", ""},
        {"negative magnitude on the console", featureText("-0.4", "\"3 km E\"", "0", "-75,-5.5,0"), false,
         "01/01/70 00:00:00  -5.500  -75.000  M-0.4   0.0  3 km E", "", ""},
        {"null depth", featureText("2", "\"x\"", "0", "1,2,null"), true,
         "1970/01/01 00:00:00   2.000    1.000  M2.0   0.0 x", "", ""},
        {"before 1970", featureText("2", "\"x\"", "-1500", "1,2,3"), true,
         "1969/12/31 23:59:58   2.000    1.000  M2.0   3.0 x", "", ""},
        {"no place", featureText("4.5", "", "1700000000999", coords), true, "", "", "No place"},
        {"null place", featureText("4.5", "null", "1700000000999", coords), true, "", "", "No place"},
        {"no time", featureText("4.5", place, "", coords), true, "", "No Time\n", ""},
        {"null time", featureText("4.5", place, "null", coords), true, "", "No Time\n", ""},
        {"time beyond year 9999", featureText("4.5", place, "1e300", coords), true, "", "No Time\n", ""},
        {"no coordinates", featureText("4.5", place, "0", ""), true, "", "No location\n", ""},
        {"null longitude", featureText("4.5", place, "0", "null,1,1"), true, "", "No location\n", ""},
        {"longitude only", featureText("4.5", place, "0", "1.5"), true, "", "loc error 1\n", ""},
        {"no depth", featureText("4.5", place, "0", "1.5, 2.5"), true, "", "loc error 2\n", ""},
        {"absurd latitude", featureText("4.5", place, "0", "1,1e300,1"), true, "", "", "Bad numbers"},
        {"place cut at the comment width and control characters blanked",
         featureText("1", "\"a\tb\x01" + std::string(200, 'P') + "\"", "0", "0,0,0"), true,
         "1970/01/01 00:00:00   0.000    0.000  M1.0   0.0 a b " + std::string(75, 'P'), "", ""},
        {"unterminated place", "1,\"place\":\"abc", true, "", "No Time\n", ""},
    };
    for (const FormatCase& c : cases) {
        RecordingConsole console;
        FormatOptions options;
        options.fileDates = c.fileDates;
        std::string line;
        const bool ok = formatFeature(c.text, options, line, console);
        EXPECT_EQ(ok, !c.line.empty()) << c.name;
        if (ok) {
            EXPECT_EQ(line, c.line) << c.name;
        }
        EXPECT_EQ(console.printed, c.printed) << c.name;
        std::string logged;
        for (const std::string& l : console.logged)
            logged += (logged.empty() ? "" : "|") + l;
        EXPECT_EQ(logged, c.logged) << c.name;
    }
}

TEST(FeedFormat, FiltersAndDistanceText) {
    HomeFilter home;
    home.latitude = 47.25;
    home.longitude = -122.5;
    home.name = "Seattle";
    FormatOptions options;
    options.fileDates = true;
    options.home = &home;
    const std::string near = featureText("2.3", "\"near\"", "0", "-125.1251,44.0626,15");      // 409 km
    const std::string far = featureText("4.5", "\"far\"", "0", "-117.75,35.6,7.6");            // 1353 km
    const std::string unknown = featureText("null", "\"nomag\"", "0", "-125.1251,44.0626,15"); // magnitude 0
    RecordingConsole console;
    std::string line;

    // Only the home line: everything passes with its distance.
    ASSERT_TRUE(formatFeature(near, options, line, console));
    EXPECT_EQ(line, "1970/01/01 00:00:00  44.063 -125.125  M2.3  15.0 near - 409km from Seattle");
    ASSERT_TRUE(formatFeature(unknown, options, line, console));

    home.filters = {{3.0, 2000.0}, {2.0, 400.0}};
    EXPECT_TRUE(formatFeature(far, options, line, console));
    EXPECT_EQ(line, "1970/01/01 00:00:00  35.600 -117.750  M4.5   7.6 far - 1353km from Seattle");
    EXPECT_FALSE(formatFeature(near, options, line, console)); // 2.3 but 409 km > 400
    home.filters.push_back({2.3, 409.3});
    EXPECT_TRUE(formatFeature(near, options, line, console)); // bounds are inclusive
    EXPECT_FALSE(formatFeature(unknown, options, line, console));
    home.filters.push_back({0.0, 500.0});
    EXPECT_TRUE(formatFeature(unknown, options, line, console)); // magnitude 0 needs a minimum of 0 or less

    // A filter file that could not be read: no filters, home at 0/0 without a name.
    HomeFilter none;
    options.home = &none;
    ASSERT_TRUE(formatFeature(far, options, line, console));
    EXPECT_EQ(line.substr(line.find(" - ")), " - 12485km from ");
    EXPECT_TRUE(console.printed.empty());
}

TEST(FeedScanner, KeepsFeatureLinesWhateverThePieces) {
    const std::string key(kFeatureKey);
    const std::string feed = "{\"type\":\"FeatureCollection\",\"features\":[\n" +
                             ("{" + key + "1.5,rest-one}\n") +
                             "{\"type\":\"Feature\",\"id\":1}........\n" + // no magnitude key
                             ("{" + key + "2.5,rest-two}\r\n") + ("{" + key + "3.5,no line end}");
    std::vector<std::string> expected = {"1.5,rest-one}", "2.5,rest-two}\r"};
    for (std::size_t piece : {feed.size(), std::size_t{1}, std::size_t{7}, std::size_t{64}}) {
        RecordingConsole console;
        FeedScanner scanner(console);
        for (std::size_t pos = 0; pos < feed.size(); pos += piece)
            scanner.add(feed.data() + pos, std::min(piece, feed.size() - pos));
        ASSERT_EQ(scanner.features().size(), expected.size()) << piece;
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(scanner.features().at(i), expected[i]);
    }
}

TEST(FeedScanner, BoundsLinesTextsAndCount) {
    const std::string key(kFeatureKey);
    RecordingConsole console;
    FeedScanner scanner(console);
    // A key beyond the kept part of a long line is not seen; a long feature text is cut.
    const std::string lateKey = std::string(kMaxLineChars, 'x') + key + "1\n";
    const std::string longText = key + std::string(5000, 'y') + "\n";
    scanner.add(lateKey.data(), lateKey.size());
    scanner.add(longText.data(), longText.size());
    ASSERT_EQ(scanner.features().size(), 1u);
    EXPECT_EQ(scanner.features().at(0), std::string(kMaxFeatureChars, 'y'));

    const std::string line = "{" + key + "1.0,x}\n";
    std::size_t calls = 0;
    do {
        ++calls;
    } while (scanner.add(line.data(), line.size()));
    EXPECT_EQ(calls, kMaxFeatures - 1);
    EXPECT_EQ(scanner.features().size(), kMaxFeatures);
    EXPECT_FALSE(scanner.add(line.data(), line.size()));
    EXPECT_EQ(console.logged, std::vector<std::string>{"Too many lines"});
}

TEST(FilterFile, HomeLineFiltersAndComments) {
    RecordingConsole console;
    HomeFilter home;
    parseFilterText(
        "# home first\n! another comment\n\n47.25 -122.5 Seattle extra\n3.0 2000\n  \n2.5 300\n1\n", home,
        console);
    EXPECT_EQ(home.latitude, 47.25);
    EXPECT_EQ(home.longitude, -122.5);
    EXPECT_EQ(home.name, "Seattle");
    ASSERT_EQ(home.filters.size(), 2u);
    EXPECT_EQ(home.filters[1].minMagnitude, 2.5);
    EXPECT_EQ(home.filters[1].maxDistanceKm, 300.0);
    EXPECT_TRUE(console.printed.empty());

    std::string many = "1 2 Home\n";
    for (int i = 0; i < 20; ++i)
        many += std::to_string(i) + " 100\n";
    HomeFilter capped;
    parseFilterText(many, capped, console);
    EXPECT_EQ(capped.filters.size(), kMaxFilters);
    EXPECT_EQ(capped.filters.back().minMagnitude, 15.0);
    EXPECT_EQ(console.printed, "Too many filters\n");

    // Long lines are cut: the name is one word from the kept part.
    HomeFilter longName;
    parseFilterText("1 2 " + std::string(500, 'N') + "\n", longName, console);
    EXPECT_EQ(longName.name.size(), kMaxFilterLineChars - 4);
}

TEST(CommandLine, OptionsThenUrl) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::string url, outFile, filterFile;
    } cases[] = {
        {{"http://h/feed"}, true, "http://h/feed", "", ""},
        {{"-a", "-h", "-f", "out.rpt", "-l", "home.txt", "http://h/f"},
         true,
         "http://h/f",
         "out.rpt",
         "home.txt"},
        {{"-f", "out.rpt", "http://h/f", "-l", "home.txt"},
         true,
         "http://h/f",
         "out.rpt",
         ""}, // -l after the URL
        {{"localhost"}, true, "localhost/", "", ""},
        {{"-?"}, false, "", "", ""},
        {{"-?", "http://h/f"}, false, "", "", ""},
        {{"-x", "http://h/f"}, false, "", "", ""},
        {{"-", "http://h/f"}, false, "", "", ""},
        {{"-f"}, false, "", "", ""},
        {{"-f", "out.rpt"}, false, "", "", ""},
        {{}, false, "", "", ""},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parseCommandLine(c.args);
        EXPECT_EQ(cl.ok, c.ok) << (c.args.empty() ? "" : c.args[0]);
        if (!c.ok) continue;
        EXPECT_EQ(cl.url, c.url);
        EXPECT_EQ(cl.outFile, c.outFile);
        EXPECT_EQ(cl.useFilter, !c.filterFile.empty());
        EXPECT_EQ(cl.filterFile, c.filterFile);
    }
}

} // namespace
