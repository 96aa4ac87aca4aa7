#include "doc_fixture.h"

#include "core/text.h"
#include "document/pick_store.h"
#include "document/record_info_edit.h"
#include "record/sac_writer.h"
#include "record/svx_ascii_writer.h"

#include <cmath>

namespace tlx::test {
namespace {

constexpr auto kLat = Hemisphere::Latitude;
constexpr auto kLon = Hemisphere::Longitude;

TEST(RecordInfoTexts, CoordinatesFollowTheSheetRules) {
    struct Case {
        const char* text;
        Hemisphere axis;
        std::optional<double> value;
        const char* shown;
    };
    const Case cases[] = {
        {"45:30N", kLat, 45.5, "45:30:00N"},
        {"45:30.5N", kLat, 45 + 30.5 / 60, "45:30:29N"}, // shown from six digits, truncated
        {"45.5:30N", kLat, std::nullopt, ""},            // a "." followed later by a ":"
        {"90N", kLat, 89.9, "89:54:00N"},
        {"90.1N", kLat, std::nullopt, ""},
        {"120 W", kLon, -120, "120:00:00W"},
        {"12:30:36E", kLon, 12.51, "12:30:35E"},
        {"10S", kLat, -10, "10:00:00S"},
        {"180.5E", kLon, std::nullopt, ""},
        {"45:60N", kLat, std::nullopt, ""},
        {"45:30:60N", kLat, std::nullopt, ""},
        {"45", kLat, std::nullopt, ""},    // no hemisphere letter
        {"45N", kLon, std::nullopt, ""},   // not a longitude letter
        {"-45N", kLat, std::nullopt, ""},  // only digits, blanks, ".", ":" and the letters
        {"45  N", kLat, std::nullopt, ""}, // only one blank before the letter is ignored
        {"45N 3", kLat, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const auto v = parseCoordinate(c.text, c.axis);
        ASSERT_EQ(v.has_value(), c.value.has_value()) << c.text;
        if (!v) continue;
        EXPECT_NEAR(*v, *c.value, 1e-12) << c.text;
        EXPECT_EQ(coordinateDisplay(*v, c.axis), c.shown) << c.text;
        EXPECT_NEAR(*parseCoordinate(coordinateFieldText(*v, c.axis), c.axis), *v, 1e-6) << c.text;
    }
    EXPECT_EQ(coordinateDisplay(0, kLat), "");
}

TEST(RecordInfoTexts, TimesDepthsAndMagnitudes) {
    const auto t = parseEventTime("05/27/18 22:27:23.5");
    ASSERT_TRUE(t);
    EXPECT_EQ(formatIsoTime(*t), "2018-05-27T22:27:23.500Z");
    EXPECT_EQ(formatIsoTime(*parseEventTime(eventTimeText(*t))), "2018-05-27T22:27:23.500Z")
        << eventTimeText(*t);
    for (const char* bad : {"05/27/2018", "13/01/2018 00:00:00", "05/32/2018 00:00:00", "05/27/-1 00:00:00",
                            "05/27/2018 24:00:00", "05/27/2018 10:60:00", "05/27/2018 10:00:60",
                            "05/27/2018 10:00:00.-5", "05/27/2018 10:00"})
        EXPECT_FALSE(parseEventTime(bad)) << bad;

    struct Range {
        const char* text;
        bool depth, magnitude;
    };
    const Range ranges[] = {{"1000", true, false},      {"1000.1", false, false}, {"-20000", true, false},
                            {"-20000.5", false, false}, {"11", true, true},       {"11.01", true, false},
                            {"-11", true, true},        {"", false, false},       {"4,5", false, false}};
    for (const Range& r : ranges) {
        EXPECT_EQ(parseDepth(r.text).has_value(), r.depth) << r.text;
        EXPECT_EQ(parseMagnitude(r.text).has_value(), r.magnitude) << r.text;
    }
    const auto other = parseOtherMagnitude("mblg 3.4");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->type, "mblg");
    EXPECT_DOUBLE_EQ(other->value, 3.4);
    EXPECT_EQ(parseOtherMagnitude("4.5")->type, "M");
    EXPECT_FALSE(parseOtherMagnitude("Mw 12"));
    EXPECT_FALSE(parseOtherMagnitude("Mw"));
}

EventRecord stationRecord() {
    EventRecord r;
    r.header.latitude = 34.1;
    r.header.longitude = -118.1;
    r.info.sensorLocation = "Pasadena";
    return r;
}

// Great circles of a fixed length and one region name, so that texts built from them are known.
struct FixedGeography : Geography {
    bool greatCircle(double, double, double, double, GreatCircleResult& out) const override {
        out.km = 123.6;
        return true;
    }
    std::string regionName(double, double) const override { return "SOUTHERN CALIFORNIA"; }
};

TEST(RecordInfoEventPage, MakeChoosesTheLargestMagnitudeAndReplaceRebuildsTheComment) {
    FixedGeography geography;
    const EventRecord station = stationRecord();
    EventPageLogic page(station.info, std::nullopt, {"Pasadena", 34.1, -118.1, &geography});
    EXPECT_FALSE(page.addEnabled());
    page.newEntry();
    EXPECT_FALSE(page.newEnabled());
    EXPECT_EQ(page.form.eventType, 1);
    page.form.time = "05/27/18 22:27:23.56";
    page.form.latitude = "34:30N";
    page.form.longitude = "117.5 W";
    page.form.depth = "1000.1";
    page.form.ms = "4.2";
    page.form.ml = "4.2";
    page.form.agency = "CI";
    EXPECT_FALSE(page.make()) << "depth out of range";
    page.form.depth = "10";
    ASSERT_TRUE(page.make());
    const CurrentEventReport& r = *page.report();
    EXPECT_EQ(r.magType, "Ms") << "the earlier type wins a tie";
    EXPECT_EQ(r.tenths, 6);
    EXPECT_EQ(r.comment, "SOUTHERN CALIFORNIA");
    EXPECT_EQ(page.reportLine(),
              "05/27/2018 22:27:23.6 CI\r\n34.5N 117.5W  Ms 4.2  10km  SOUTHERN CALIFORNIA  ");

    page.replace();
    EXPECT_FALSE(page.replaceEnabled());
    ASSERT_EQ(page.events().size(), 1u);
    const EventEntry& e = page.events()[0];
    EXPECT_EQ(e.magMs, 420);
    EXPECT_EQ(e.magMl, 0) << "a report carries one magnitude";
    EXPECT_EQ(e.eventType, 1);
    EXPECT_EQ(page.form.comment, "Ms4.2 124km from Pasadena, SOUTHERN CALIFORNIA ");

    // A comment that names the place gives the region to the next report; Mw beats Ms there.
    page.form.mw = "4.5";
    ASSERT_TRUE(page.make());
    EXPECT_EQ(page.report()->magType, "Mw");
    EXPECT_EQ(page.report()->comment, "SOUTHERN CALIFORNIA ");
    page.form.other = "mb 4.6";
    ASSERT_TRUE(page.make());
    EXPECT_EQ(page.report()->magType, "mb");
}

TEST(RecordInfoEventPage, LeavingChecksFieldsInOrderAndDropsEmptyEntries) {
    EventRecord station = stationRecord();
    EventEntry known{};
    known.latitude = 10;
    known.magMl = 300;
    known.codeC = 77;
    station.info.events = {known, known};
    station.info.currentEvent = 1;
    struct Case {
        const char *time, *lat, *lon, *depth, *ml, *message;
        std::size_t entries;
    };
    const Case cases[] = {
        {"01/02/2020 03:04:05", "95N", "10E", "5", "3", "Bad Event Latitude Information", 2},
        {"01/02/2020 03:04:05", "10N", "10N", "5", "3", "Bad Event Longitude Information", 2},
        {"01/02/2020", "10N", "10E", "5", "3", "Bad Event Time Information", 2},
        {"01/02/2020 03:04:05", "10N", "10E", "", "3", "Bad Event Depth Information", 2},
        {"", "", "", "", "3", "", 1},                            // nothing but a magnitude: removed
        {"01/02/2020 03:04:05", "10N", "10E", "5", "12", "", 1}, // no valid magnitude: removed
        {"01/02/2020 03:04:05", "10N", "10E", "5", "3", "", 2},
    };
    for (const Case& c : cases) {
        EventPageLogic page(station.info, std::nullopt, {});
        ASSERT_EQ(page.shown(), 1);
        page.form.time = c.time;
        page.form.latitude = c.lat;
        page.form.longitude = c.lon;
        page.form.depth = c.depth;
        page.form.ml = c.ml;
        const auto refusal = page.leave();
        EXPECT_EQ(refusal ? refusal->message : "", c.message) << c.message;
        EXPECT_EQ(page.events().size(), c.entries) << c.message;
        if (!refusal && c.entries == 2) {
            EXPECT_EQ(page.events()[1].codeC, 77);
            EXPECT_EQ(page.events()[1].originTime.second, 5);
        }
    }
    // An entry without magnitudes that the user did not touch is kept: leaving loses no data.
    station.info.events[1].magMl = 0;
    EventPageLogic untouched(station.info, std::nullopt, {});
    EXPECT_FALSE(untouched.leave());
    EXPECT_EQ(untouched.events().size(), 2u);
}

TEST(RecordInfoSensorPage, LeavingChecksFieldsInOrder) {
    struct Case {
        std::string SensorForm::*field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {&SensorForm::latitude, "95N", "Bad Latitude Information"},
        {&SensorForm::longitude, "W", "Bad Longitude Information"},
        {&SensorForm::elevation, "300001", "Bad Elevation Information"},
        {&SensorForm::incident, "91", "Bad Incident Information"},
        {&SensorForm::azimuth, "-1", "Bad Azimuth Information"},
        {&SensorForm::sensitivity, "-1e-7", "Bad Sensitivity Information"},
        {&SensorForm::outputVoltage, "-2", "Bad Sensor Output Voltage Information"},
        {&SensorForm::ampGain, "-1", "Bad Amplifier Gain Information"},
        {&SensorForm::adVolts, "ERROR", "Bad A/D Input Voltage Information"},
        {&SensorForm::correction, "-0.1", "Bad Ml & Ms Correction Information"},
        {&SensorForm::adBits, "3", "Bad A/D Bits Information"},
        {&SensorForm::adBits, "24", ""},
        {&SensorForm::elevation, "", ""},
    };
    for (const Case& c : cases) {
        SensorForm form = sensorForm(stationRecord());
        form.*c.field = c.text;
        // A/D bits come last: a field before them gives its own message first.
        if (*c.message && c.field != &SensorForm::adBits) form.adBits = "3";
        SensorValues values;
        const auto refusal = readSensorForm(form, values);
        EXPECT_EQ(refusal ? refusal->message : "", c.message) << c.text;
    }
    SensorForm form = sensorForm(stationRecord());
    form.elevation.clear();
    SensorValues values;
    ASSERT_FALSE(readSensorForm(form, values));
    EXPECT_EQ(values.elevation, kUnknownValue);
    EXPECT_DOUBLE_EQ(*values.latitude, 34.1);
}

TEST(RecordInfoSensorPage, CalcSensUsesTheConverterFormulaBothWays) {
    SensorForm f;
    f.ampGain = "10";
    f.adVolts = "2.5";
    f.adBits = "16";
    EXPECT_FALSE(calcSensEnabled(f));
    f.outputVoltage = "2";
    ASSERT_TRUE(calcSens(f));
    const double expected = sensitivityFromElectrical(2.5, 2, 10, 16);
    EXPECT_EQ(f.sensitivity, "0.0000038147") << "at most ten decimals of " << expected;
    EXPECT_TRUE(sensitivityLocked(f));
    f.outputVoltage.clear();
    ASSERT_TRUE(calcSens(f));
    EXPECT_EQ(f.outputVoltage, "2");
    chooseOrientation(f, 3);
    EXPECT_EQ(f.incident + "/" + f.azimuth, "90/90");
}

TEST_F(DocTest, ApplyingTheSheetSplitsFieldsBetweenEveryAndTheSelectedRecord) {
    openStations(2);
    EXPECT_FALSE(applyRecordInfo(*doc, 1, InfoEdits{}).any);
    InfoEdits unchanged;
    unchanged.sensor.emplace();
    ASSERT_FALSE(readSensorForm(sensorForm(doc->record(1)), *unchanged.sensor));
    EXPECT_FALSE(applyRecordInfo(*doc, 1, unchanged).any) << "the form as shown changes nothing";
    EXPECT_FALSE(doc->slot(0).modified);

    InfoEdits edits = unchanged;
    edits.sensor->latitude = 12.5;
    edits.sensor->sensorId = "NEWID";
    edits.sensor->sensitivity = 2e-7;
    edits.event = EventPageValues{"quake", {EventEntry{}}, 0};
    edits.event->events[0].magMl = 410;
    TimeValues time;
    ASSERT_FALSE(readTimeForm(TimeForm{"07/04/2021", "10:20:30", "250", "0.5", 1, 2}, time));
    edits.time = time;
    const InfoApplied applied = applyRecordInfo(*doc, 1, edits);
    EXPECT_TRUE(applied.any && applied.event && applied.calibration && applied.time);
    for (int i = 0; i < 2; ++i) {
        const EventRecord& r = doc->record(i);
        EXPECT_TRUE(doc->slot(i).modified);
        EXPECT_EQ(r.header.latitude, 12.5);
        EXPECT_EQ(r.info.comment, "quake");
        EXPECT_EQ(r.info.events.size(), 1u);
        EXPECT_EQ(formatIsoTime(r.header.startTime), "2021-07-04T10:20:30.250Z");
        EXPECT_EQ(r.header.startTimeOffset, 0.5);
        EXPECT_EQ(fieldText(r.header.timeRefType, 3) + r.header.lockIndicator, "GPSL");
    }
    EXPECT_EQ(doc->record(0).stationName(), "A") << "sensor ID goes to the selected record only";
    EXPECT_EQ(doc->record(1).stationName(), "NEWID");
    EXPECT_NE(doc->record(0).header.sensitivity, 2e-7);
    EXPECT_TRUE(doc->isModified());
}

TEST(PickStore, MarkersComeBackFromThePicks) {
    EventRecord r;
    r.header.startTime = {2024, 3, 1, 23, 59, 50, 0, 0};
    auto pick = [](const char* phase, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                   std::uint8_t second) {
        PickEntry p{};
        p.time = {2024, 3, day, hour, minute, second, 0, 0};
        copyToField(p.phase, sizeof p.phase, phase);
        p.pickFlags = 2;
        p.value = 33;
        return p;
    };
    const std::int64_t axis = timeOfDayMs(r.header.startTime);
    r.info.picks = {pick("p", 1, 23, 59, 55)};
    EXPECT_FALSE(restorePicks(r, axis)) << "a P pick alone restores nothing";
    r.info.picks = {pick("p", 1, 23, 59, 55), pick("S", 2, 0, 1, 0), pick("Md", 1, 23, 59, 56)};
    const auto restored = restorePicks(r, axis);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->p.timeMs, 86'395'000);
    EXPECT_EQ(restored->s.timeMs, 86'400'000 + 60'000) << "after midnight: 24 hours later";
    EXPECT_FALSE(restored->md) << "an Md pick before S is not a duration";
    EXPECT_EQ(restored->tableMode, 1);
    EXPECT_EQ(restored->depthKm, 33);
}

// Edited information and picks written back in each format and read again: what the format holds.
TEST_F(DocTest, EditsAndPicksSurviveWritingBackInEveryWritableFormat) {
    struct Case {
        const char* name;
        bool picks, comment, sensorId;
    };
    const Case cases[] = {{"svx4", true, true, true},
                          {"volume", true, true, true},
                          {"ascii", true, true, true},
                          {"sac", false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetDoc();
        const std::string path = (dir / (std::string(c.name) + ".dat")).string();
        Svx4Spec spec = stationSpec("STA", rampSignal(300, 500));
        if (std::string(c.name) == "volume") {
            writeBytes(path, buildSvxVolume({spec, stationSpec("STB", rampSignal(300, 200))}));
        } else if (std::string(c.name) == "svx4") {
            writeBytes(path, buildSvx4(spec));
        } else {
            ASSERT_TRUE(doc->open(file("src.svx", spec)));
            const WriteChannel ch{&doc->record(0), doc->samples(0), 0};
            ASSERT_TRUE(c.picks ? writeSvxAscii(path, ch, WriterOptions{}, TimeColumn::None, messages)
                                : writeSacFile(path, ch, WriterOptions{}, SacByteOrder::Big, messages));
            resetDoc();
        }
        ASSERT_TRUE(doc->open(path));
        InfoEdits edits;
        edits.sensor.emplace();
        ASSERT_FALSE(readSensorForm(sensorForm(doc->record(0)), *edits.sensor));
        edits.sensor->latitude = -33.25;
        edits.sensor->longitude = 151.5;
        edits.sensor->elevation = 42;
        edits.sensor->sensorId = "NEW";
        EventEntry quake{};
        quake.originTime = *parseEventTime("03/01/2024 12:00:01.5");
        quake.latitude = -30;
        quake.longitude = 150;
        quake.depth = 25;
        quake.magMl = 430;
        edits.event = EventPageValues{"edited", {quake}, 0};
        ASSERT_TRUE(applyRecordInfo(*doc, 0, edits).any);
        PicksToSave picks;
        picks.axisStartMs = timeOfDayMs(doc->record(0).header.startTime);
        picks.p = {picks.axisStartMs + 500, 300};
        picks.s = {picks.axisStartMs + 1500, 310};
        picks.graphHeight = 600;
        picks.tableMode = 0;
        picks.depthKm = 10.4;
        savePicks(*doc, picks);

        std::string refusal;
        const auto choice = writeBackChoice(*doc, refusal);
        ASSERT_TRUE(choice) << refusal;
        ASSERT_TRUE(writeRecords(*doc, *choice, -1, messages));
        resetDoc();
        ASSERT_TRUE(doc->open(path));
        const EventRecord& r = doc->record(0);
        EXPECT_NEAR(r.header.latitude, -33.25, 1e-5);
        EXPECT_NEAR(r.header.longitude, 151.5, 1e-5);
        EXPECT_NEAR(r.header.elevation, 42, 1e-5);
        EXPECT_EQ(r.stationName() == "NEW", c.sensorId);
        ASSERT_EQ(r.info.events.size(), 1u);
        EXPECT_NEAR(secondsBetween(quake.originTime, r.info.events[0].originTime), 0, 1e-3);
        EXPECT_NEAR(r.info.events[0].depth, 25, 1e-5);
        EXPECT_EQ(shownMagnitude(r.info.events[0]).value, 4.3);
        EXPECT_EQ(r.info.comment == "edited", c.comment);
        ASSERT_EQ(r.info.picks.size(), c.picks ? 2u : 0u);
        if (!c.picks) continue;
        const PickEntry& s = r.info.picks[1];
        EXPECT_EQ(fieldText(s.phase, sizeof s.phase), "S");
        EXPECT_NEAR(secondsBetween(r.header.startTime, s.time), 1.5, 1e-6);
        EXPECT_EQ(s.weight, 310 * 1024 / 600);
        EXPECT_EQ(s.pickFlags, 1);
        EXPECT_EQ(s.value, 10);
    }
}

} // namespace
} // namespace tlx::test
