#include "core/text.h"
#include "record/sensor_dat.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>

namespace tlx {
namespace {

EventRecord applied(const std::string& text, const std::string& id = "ABC", bool* found = nullptr) {
    EventRecord rec;
    const bool f = applySensorDefaultsText(text, id, rec);
    if (found) *found = f;
    return rec;
}

TEST(SensorDat, KeysAndTheirChecks) {
    const struct {
        std::string lines;
        std::function<bool(const EventRecord&)> holds;
        const char* what;
    } cases[] = {
        {"INCIDENT=95\n", [](const EventRecord& r) { return r.header.incident == kUnknownValue; },
         "incident 95 ignored"},
        {"INCIDENT = 45\n", [](const EventRecord& r) { return r.header.incident == 45; }, "incident 45"},
        {"TIMEREF=WWVB\n", [](const EventRecord& r) { return fieldText(r.header.timeRefType, 3) == "WVB"; },
         "WWVB"},
        {"TIMEREF=DCF77\n", [](const EventRecord& r) { return fieldText(r.header.timeRefType, 3) == "DCF"; },
         "DCF77"},
        {"TIMEREF=gps\n", [](const EventRecord& r) { return r.header.timeRefType[0] == 0; },
         "lower-case gps ignored"},
        {"ATODBITS=3\n", [](const EventRecord& r) { return r.header.adBits == 0; }, "3 bits ignored"},
        {"ATODBITS=24\n", [](const EventRecord& r) { return r.header.adBits == 24; }, "24 bits"},
        {"ATODVOLTS=100\n", [](const EventRecord& r) { return r.info.adVolts == 0; }, "100 V ignored"},
        {"SENSITIVITY=-1\n", [](const EventRecord& r) { return r.header.sensitivity == 0; },
         "negative sensitivity"},
        {"SENSORTYPE=disp\n", [](const EventRecord& r) { return r.header.sensorType == 3; }, "displacement"},
        {"COMPNAME=BHZE\n", [](const EventRecord& r) { return r.component() == "BHZ"; }, "component cut"},
        {"LONGNAME=ABCDEFGH\n", [](const EventRecord& r) { return r.stationName() == "ABCDEF"; },
         "long name"},
        {"LOCATION=  the cellar  \n",
         [](const EventRecord& r) { return r.info.sensorLocation == "the cellar"; }, "location"},
        {"latitude=12\n", [](const EventRecord& r) { return r.header.latitude == 0; }, "keys are upper case"},
        {"LATITUDE=north\n", [](const EventRecord& r) { return r.header.latitude == 0; }, "bad number"},
    };
    for (const auto& c : cases) {
        const EventRecord rec = applied("; defaults\nID=abc\n" + c.lines);
        EXPECT_TRUE(c.holds(rec)) << c.what;
    }
}

TEST(SensorDat, SectionBoundaries) {
    const std::string text = "! comment\n"
                             "ID = XYZ\nLATITUDE=1\n"
                             " ID = ABC\nLATITUDE=2\n" // indented: not a section start
                             "id=Abc\r\nLATITUDE=3\r\nELEVATION=10\n"
                             "IDX=whatever\nLONGITUDE=4\n";
    bool found = false;
    const EventRecord rec = applied(text, "ABC", &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(+rec.header.latitude, 3.0);
    EXPECT_EQ(+rec.header.elevation, 10.0);
    EXPECT_EQ(+rec.header.longitude, 0.0); // after the next line beginning with "ID"
    applied(text, "NONE", &found);
    EXPECT_FALSE(found);
}

TEST(SensorDat, ElectricalDescriptionOverridesSensitivity) {
    const EventRecord rec =
        applied("ID=ABC\nSENSITIVITY=5\nATODBITS=16\nATODVOLTS=2.5\nAMPGAIN=10\nSENSOROUTPUT=2\n");
    EXPECT_DOUBLE_EQ(+rec.header.sensitivity, (2.5 / (2 * 10)) / (std::pow(2.0, 16) * 0.5));
    EXPECT_EQ(+applied("ID=ABC\nSENSITIVITY=5\nATODBITS=16\n").header.sensitivity, 5.0);
}

TEST(SensorDat, ProgramDirectoryOnlyWhenNoLocalDirectoryIsSet) {
    test::TempDir local, program;
    std::ofstream(program / "SENSOR.DAT") << "ID=ABC\nLATITUDE=20\n";
    LoaderSettings settings;
    settings.localDirectory = local.path();
    settings.programDirectory = program.path();
    EventRecord rec;
    EXPECT_FALSE(applySensorDefaults(settings, "ABC", rec))
        << "a set local folder without the file is not passed by";
    std::ofstream(local / "sensor.dat") << "ID=ABC\nLATITUDE=10\n";
    EXPECT_TRUE(applySensorDefaults(settings, "ABC", rec));
    EXPECT_EQ(+rec.header.latitude, 10.0);
    settings.localDirectory.clear();
    EXPECT_TRUE(applySensorDefaults(settings, "ABC", rec));
    EXPECT_EQ(+rec.header.latitude, 20.0);
    EXPECT_FALSE(applySensorDefaults(LoaderSettings{}, "ABC", rec));
}

} // namespace
} // namespace tlx
