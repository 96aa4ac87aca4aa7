// Report lists: REPORT.DAT with every keyword, the built-in parsers on lines in their layouts,
// type detection, sorting, the event match and the event entry stored from a row.
#include "seismo/regions.h"
#include "services/report_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace tlx {
namespace {

// Every keyword: fixed columns (REPORT_ID, AGENCY_NAME, EVENT_TYPE, INVERT fixed), month names,
// degrees:minutes and fixed magnitude types in the second type.
constexpr const char* kReportDat = R"(! test types
"Columns"   	
REPORT_TYPE, 0, 0, "== columns =="
REPORT_ID,  0, 0, "ID123456"
DATE, 0, 10, "YYYY/MM/DD"
TIME, 11, 12, "HH:MM:SS.TTT"
LATITUDE_SOUTH, 24, 6, "DD.DDH"
LONGITUDE_WEST, 31, 7, "DDD.DDH"
DEPTH, 39, 5, "DDDDD"
MAGNITUDE, 45, 6, "M.M TT"
QUALITY_CHAR, 52, 1, ""
COMMENT, 54, 30, ""
AGENCY_NAME, 0, 0, "AGENCY99"
EVENT_TYPE, 0, 0, "Quarry"
INVERT, 0, 0, ""
"Names"
DATE, 0, 9, "DD MMM YY"
TIME, 10, 6, "HHMMSS"
LATITUDE, 17, 8, "DDDDDDDD"
LONGITUDE_EAST, 26, 8, "DDDDD  H"
LATITUDE_NORTH, 35, 5, "DDDDD"
LONGITUDE, 41, 7, "DDDDDDD"
MAG_TYPE, 0, 0, "Mblg5"
)";

std::string columns(const char* date, const char* time, const char* lat, const char* lon, const char* depth,
                    const char* mag, const char* quality, const char* comment) {
    std::string line(54, ' ');
    const auto put = [&](std::size_t at, const char* text) { line.replace(at, std::strlen(text), text); };
    put(0, date), put(11, time), put(24, lat), put(31, lon), put(39, depth), put(45, mag), put(52, quality);
    return line + comment;
}

struct Expected {
    int year, month, day, hour, minute, second, tenths;
    double lat, lon, depth, mag;
    const char* type;
    char quality;
    const char* comment;
};

TEST(ReportTypes, EveryKeywordOfReportDat) {
    const std::vector<ReportType> types = parseReportDat(kReportDat);
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].name, "Columns");
    EXPECT_EQ(types[0].detect, "== columns ==");
    const struct {
        int type;
        std::string line;
        bool ok;
        Expected e;
    } cases[] = {
        {0,
         columns("2003/12/22", "19:15:56.3", "33.50 ", "121.10 ", "  7.6", "6.5 Mw", "B",
                 " CENTRAL   CA </b>x"),
         true,
         {103, 12, 22, 19, 15, 56, 3, -33.5, -121.1, 7.6, 6.5, "Mw", 'B', "CENTRAL CA"}},
        {0,
         columns("2003/12/22", "19:15:56.56", "33.50N", "121.10E", "  7.6", "NO MAG", "F", "x"),
         true,
         {103, 12, 22, 19, 15, 56, 6, 33.5, 121.1, 7.6, 0, "", 0, "x"}},
        {0,
         columns("2003/12/22", "19:15:56.567", "33.50S", "121.10W", " 10", "4.0 ML", "A", ""),
         true,
         {103, 12, 22, 19, 15, 56, 6, -33.5, -121.1, 10, 4.0, "ML", 'A', ""}},
        {0,
         columns("1999/01/02", "00:00:00", "00.00 ", "000.00 ", "0", "", "", ""),
         true,
         {99, 1, 2, 0, 0, 0, 0, -0.0, -0.0, 0, 0, "", 0, ""}},
        {0, columns("2003/12/22", "19:15:56.3", "90.00 ", "121.10 ", "7", "", "", ""), false, {}},
        {0, columns("2003/12/22", "19:15:56.3", "33.50 ", "180.00 ", "7", "", "", ""), false, {}},
        {0, columns("2003/12/22", "19:15:56.3", "33.5X ", "121.10 ", "7", "", "", ""), false, {}},
        {0, columns("2101/12/22", "19:15:56.3", "33.50 ", "121.10 ", "7", "", "", ""), false, {}},
        {0, columns("1001/12/22", "19:15:56.3", "33.50 ", "121.10 ", "7", "", "", ""), false, {}},
        {0, columns("2003/13/22", "19:15:56.3", "33.50 ", "121.10 ", "7", "", "", ""), false, {}},
        {0, columns("2003/12/22", "24:15:56.3", "33.50 ", "121.10 ", "7", "", "", ""), false, {}},
        {0, columns("2003/12/2x", "19:15:56.3", "33.50 ", "121.10 ", "7", "", "", ""), false, {}},
        {1,
         "22 DEC 03 191556 -33:30.0 121.1  W 12.5  -120.5",
         true,
         {103, 12, 22, 19, 15, 56, 0, 12.5, -120.5, 0, 0, "Mblg", 0, ""}},
        {1,
         "22 DEC 99 191556 -33:30.0 121.1  E 45.0  100.25",
         true,
         {99, 12, 22, 19, 15, 56, 0, 45.0, 100.25, 0, 0, "Mblg", 0, ""}},
        {1, "22 Dec 49 191556 -33:30.0 121.1  W 12.5  -120.5", false, {}},
        {1, "22 DEC 49 191556 -33:75.0 121.1  W 12.5  -120.5", false, {}},
    };
    for (const auto& c : cases) {
        ReportRow row;
        ASSERT_EQ(parseReportLine(types[static_cast<std::size_t>(c.type)], c.line, row), c.ok) << c.line;
        if (!c.ok) continue;
        const Expected& e = c.e;
        EXPECT_EQ(
            std::vector<int>({row.year, row.month, row.day, row.hour, row.minute, row.second, row.tenths}),
            std::vector<int>({e.year, e.month, e.day, e.hour, e.minute, e.second, e.tenths}))
            << c.line;
        if (c.type == 1) { // LATITUDE_NORTH and LONGITUDE come after LATITUDE and LONGITUDE_EAST
            EXPECT_DOUBLE_EQ(row.latitude, e.lat) << c.line;
            EXPECT_DOUBLE_EQ(row.longitude, e.lon) << c.line;
        } else {
            EXPECT_DOUBLE_EQ(row.latitude, e.lat) << c.line;
            EXPECT_DOUBLE_EQ(row.longitude, e.lon) << c.line;
            EXPECT_EQ(row.id, "ID123");
            EXPECT_EQ(row.agency, "AGENCY");
            EXPECT_EQ(row.eventType, 'Q');
        }
        EXPECT_DOUBLE_EQ(row.depth, e.depth) << c.line;
        EXPECT_DOUBLE_EQ(row.magnitude, e.mag) << c.line;
        EXPECT_EQ(row.magType, e.type) << c.line;
        EXPECT_EQ(row.quality, e.quality) << c.line;
        EXPECT_EQ(row.comment, e.comment) << c.line;
    }
}

TEST(ReportTypes, DegreesMinutesAndTheFirstCoordinateOfATypeAreKept) {
    // The "Names" type sets latitude twice; the second field (LATITUDE_NORTH) wins, but the
    // first must still accept "-33:30.0" as degrees and minutes.
    const std::vector<ReportType> types = parseReportDat(kReportDat);
    ReportType first = types[1];
    first.fields.resize(4);
    ReportRow row;
    ASSERT_TRUE(parseReportLine(first, "22 DEC 03 191556 -33:30.0 121.1  W", row));
    EXPECT_DOUBLE_EQ(row.latitude, -33.5);
    EXPECT_DOUBLE_EQ(row.longitude, -121.1);
}

TEST(ReportTypes, ReadingStopsAtAnUnknownKeywordOrThe28thField) {
    std::string text = "\"A\"\nREPORT_3, 0, 0, \"\"\n\"B\"\n";
    for (int i = 0; i < 30; ++i)
        text += "DEPTH, 1, 2, \"DD\"\n";
    text += "\"C\"\nREPORT_4,0,0,\"\"\n";
    std::vector<ReportType> types = parseReportDat(text);
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[1].fields.size(), kMaxReportFields);

    types = parseReportDat("\"A\"\nDEPTH, 1, 2, \"DD\"\nDEPTHS, 1, 2, \"\"\nDATE, 0, 8, \"\"\n\"B\"\n");
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(types[0].fields.size(), 1u);
    EXPECT_EQ(types[0].fields[0].format, "DD");
}

TEST(ReportParsers, BuiltinLayouts) {
    const struct {
        int parser;
        const char* line;
        bool ok;
        Expected e;
        const char* agency;
    } cases[] = {
        // Pacific standard time in December, daylight time in September: each by its own date.
        {1,
         "<A HREF=\"m1.html\">map</A>  4.3  2003/12/22 11:15:56  35.700N 121.100W   7.6   "
         "<A HREF=\"e1.html\">CENTRAL CALIFORNIA</A>",
         true,
         {103, 12, 22, 19, 15, 56, 0, 35.7, -121.1, 7.6, 4.3, "M", 0, "CENTRAL CALIFORNIA"},
         "NCSN"},
        {1,
         "<a href=\"m2.html\">MAP</A>  6.0  2004/09/28 10:15:24  35.810N 120.370W  7.9<a>PARKFIELD</a>",
         true,
         {104, 9, 28, 17, 15, 24, 0, 35.81, -120.37, 7.9, 6.0, "M", 0, "PARKFIELD"},
         "NCSN"},
        {1,
         "<A HREF=\"m1.html\">map</A>  4.3  2003/12/22 11:15:56  35.700S 121.100W 7.6 <a>X</a>",
         false,
         {},
         ""},
        {2,
         "<a href=\"ev.html\">2003 12 22 19:15:56.3  35.700N 121.100W  7.6 6.5 6.2 CENTRAL  CALIFORNIA</a>",
         true,
         {103, 12, 22, 19, 15, 56, 3, 35.7, -121.1, 7.6, 6.5, "Mb", 0, "CENTRAL CALIFORNIA"},
         ""},
        {2,
         "<a href=\"ev.html\">2004 09 28 17:15:24.0   5.810S 120.370E 10km  - 4.1 NEAR COAST</A>",
         true,
         {104, 9, 28, 17, 15, 24, 0, -5.81, 120.37, 10, 4.1, "Ml", 0, "NEAR COAST"},
         ""},
        {2, "<p>2003 12 22 19:15:56.3  35.700N 121.100W  7.6 6.5</p>", false, {}, ""},
        {3,
         "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC\r",
         true,
         {103, 12, 22, 19, 15, 56, 3, 35.7, -121.1, 7.6, 6.5, "Mw", 0, ""},
         "NC"},
        {3, "2003/13/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC", false, {}, ""},
        {3, "2003/12/22,19:15:56.3,135.7,-121.1,7.6", false, {}, ""},
        {4,
         "2023/11/14 22:13:20  35.600 -117.750  M4.5   7.6 10 km SW of Ridgecrest, CA\r",
         true,
         {123, 11, 14, 22, 13, 20, 0, 35.6, -117.75, 7.6, 4.5, "M", 0, "10 km SW of Ridgecrest, CA"},
         "USGS"},
        {4, "       TIME          LAT     LONG   MAG    DEP          LOCATION", false, {}, ""},
    };
    for (const auto& c : cases) {
        ReportRow row;
        ASSERT_EQ(parseBuiltinReport(c.parser, c.line, row), c.ok) << c.line;
        if (!c.ok) continue;
        const Expected& e = c.e;
        EXPECT_EQ(
            std::vector<int>({row.year, row.month, row.day, row.hour, row.minute, row.second, row.tenths}),
            std::vector<int>({e.year, e.month, e.day, e.hour, e.minute, e.second, e.tenths}))
            << c.line;
        EXPECT_DOUBLE_EQ(row.latitude, e.lat) << c.line;
        EXPECT_DOUBLE_EQ(row.longitude, e.lon) << c.line;
        EXPECT_DOUBLE_EQ(row.depth, e.depth) << c.line;
        EXPECT_DOUBLE_EQ(row.magnitude, e.mag) << c.line;
        EXPECT_EQ(row.magType, e.type) << c.line;
        EXPECT_EQ(row.comment, e.comment) << c.line;
        EXPECT_EQ(row.agency, c.agency) << c.line;
    }
    ReportRow two;
    ASSERT_TRUE(parseBuiltinReport(2, cases[3].line, two));
    EXPECT_DOUBLE_EQ(two.magnitude2, 6.2);
    EXPECT_EQ(two.magType2, "Ml");
}

// A report file as a service leaves it: a heading line, the detection text, short lines.
TEST(ReportList, DetectsSortsMatchesAndStores) {
    ASSERT_TRUE(loadRegionTable(test::sourceDir() / "data" / kRegionFileName));
    test::TempDir dir;
    const std::filesystem::path file = dir / "list.rpt";
    std::ofstream(file) << "[127.0.0.1]\nshort\n"
                           "DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY\n"
                           "2003/12/22,19:05:57.0,35.7,-121.1,7.6,6.5,Mw,NC\n"
                           "2003/12/22,19:25:55.0,-17.9,178.3,560.7,4.1,mb,US\n"
                           "2003/12/22,19:30:00.0,44.06,-125.13,15,2.3,Ml,UW\n"
                           "1/1/1,1:1:1.1,1,1\n"; // 17 characters: parsed, too few items
    ReportList list;
    list.setTypes(parseReportDat("\"Other\"\nREPORT_4,0,0,\"\"\nREPORT_TYPE,0,0,\"TIME   \"\n"
                                 "\"CSV\"\nREPORT_3,0,0,\"\"\nREPORT_TYPE,0,0,\"DATE,TIME,LAT,LON\"\n"));
    ASSERT_TRUE(list.load(file, 0, true));
    EXPECT_EQ(list.typeIndex(), 1);
    ASSERT_EQ(list.rows().size(), 3u);
    EXPECT_EQ(list.rows()[1].comment, "Fiji Islands");
    EXPECT_FALSE(list.load(dir / "missing.rpt", 0, true));
    EXPECT_EQ(list.rows().size(), 3u);

    const auto order = [&] {
        std::string agencies;
        for (const ReportRow& r : list.rows())
            agencies += r.agency + " ";
        return agencies;
    };
    const struct {
        ReportColumn column;
        bool descending;
        const char* order;
    } sorts[] = {
        {ReportColumn::Time, true, "UW US NC "},      {ReportColumn::Latitude, false, "US NC UW "},
        {ReportColumn::Longitude, true, "US NC UW "}, {ReportColumn::Magnitude, false, "UW US NC "},
        {ReportColumn::Depth, true, "US UW NC "},     {ReportColumn::Comment, false, "NC US UW "},
    };
    list.select(0); // NC
    for (const auto& s : sorts) {
        list.sort(s.column, s.descending);
        EXPECT_EQ(order(), s.order) << static_cast<int>(s.column);
        EXPECT_EQ(list.selectedRow()->agency, "NC");
    }

    // The record starts 19:15:56: NC is 599 s before it, US 599 s after (first wins), UW 844 s after.
    list.sort(ReportColumn::Time, false);
    EventTime start{2003, 12, 22, 19, 15, 56, 0, 0};
    ASSERT_TRUE(list.search(start));
    EXPECT_EQ(list.rows()[static_cast<std::size_t>(*list.search(start))].agency, "NC");
    start.minute = 34; // 19:34:56: UW is 296 s before it
    EXPECT_EQ(list.rows()[static_cast<std::size_t>(*list.search(start))].agency, "UW");
    start.hour = 20; // more than 600 s from every row
    EXPECT_FALSE(list.search(start));
}

TEST(ReportRow, TextsAndTheStoredEventEntry) {
    ReportRow row;
    ASSERT_TRUE(parseBuiltinReport(3, "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NCSNXYZ", row));
    row.magnitude2 = 6.7, row.magType2 = "Ms", row.comment = "Central California", row.id = "ab12";
    row.quality = 'B', row.eventType = 'N';
    EXPECT_EQ(reportTimeText(row), "12/22/03 19:15:56");
    EXPECT_EQ(reportLatitudeText(row.latitude), "35.7N");
    EXPECT_EQ(reportLongitudeText(row.longitude), "121.1W");
    EXPECT_EQ(reportLongitudeText(1e-7), "0.00000010E");
    EXPECT_EQ(reportMagnitudeText(row), "Mw6.5");
    EXPECT_EQ(reportDepthText(row), "7.6km");
    EXPECT_EQ(reportClipboardText(row),
              "12/22/03  19:15:56   35.7N  121.1W\tMw 6.5\t7.6km\tCentral California");
    // Geocentric great circle x 111.1775 km, worked out independently in Python: 64.4905 km.
    EXPECT_EQ(reportDistanceText(row, 35.9, -120.43), "64.49km  40.07mi\n");
    EXPECT_EQ(reportDistanceText(row, -12345, -12345), "");

    EventRecord record;
    record.header.latitude = 35.9, record.header.longitude = -120.43;
    record.info.sensorLocation = "Parkfield";
    record.addEvent(EventEntry{});
    storeReport(record, row, false);
    ASSERT_EQ(record.info.events.size(), 2u);
    EXPECT_EQ(record.info.currentEvent, 1);
    const EventEntry& e = record.info.events[1];
    EXPECT_EQ(formatIsoTime(e.originTime), "2003-12-22T19:15:56.300Z");
    EXPECT_EQ(e.magMw, 650);
    EXPECT_EQ(e.magMs, 670);
    EXPECT_EQ(e.eventType, 2);
    EXPECT_EQ(e.quality, 'B');
    EXPECT_EQ(std::string(e.source, 6), "NCSNXY");
    EXPECT_EQ(record.info.comment, "Ms6.7 64km from Parkfield, Central California ab12");
    storeReport(record, row, true);
    EXPECT_EQ(record.info.events.size(), 1u);
    EXPECT_EQ(record.info.currentEvent, 0);
}

} // namespace
} // namespace tlx
