#include "record/crc16.h"
#include "record/event_record.h"
#include "support/svx4_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tlx {
namespace {

TEST(EventRecord, ClearedRecordHasUnknownAnglesAndNothingElse) {
    EventRecord r;
    r.header.sps = 50;
    r.info.history.push_back("x");
    r.clear();
    EXPECT_EQ(+r.header.incident, kUnknownValue);
    EXPECT_EQ(+r.header.azimuth, kUnknownValue);
    EXPECT_EQ(+r.header.elevation, kUnknownValue);
    ChannelHeader expected;
    std::memset(&expected, 0, sizeof expected);
    expected.incident = expected.azimuth = expected.elevation = kUnknownValue;
    EXPECT_EQ(std::memcmp(&expected, &r.header, sizeof expected), 0);
    EXPECT_TRUE(r.info.history.empty());
}

TEST(EventRecord, SixCharacterStationFillsTheFieldWithoutTerminator) {
    EventRecord r;
    std::memcpy(r.header.sensorId, "ABCDEF", 6);
    std::memcpy(r.header.componentName, "BHZ", 3);
    EXPECT_EQ(r.stationName(), "ABCDEF");
    EXPECT_EQ(r.component(), "BHZ");
}

TEST(EventRecord, MagnitudesAreStoredByTypeName) {
    struct Case {
        const char* name;
        double m;
        const char* type;
        std::int16_t EventEntry::*field;
        std::int16_t stored;
    };
    const Case cases[] = {
        {"ML upper case rounds up", 4.996, "ML", &EventEntry::magMl, 500},
        {"ms", 6.1, "ms", &EventEntry::magMs, 610},
        {"Mb mixed case", 5.25, "Mb", &EventEntry::magMb, 525},
        {"mw", 7.0, "MW", &EventEntry::magMw, 700},
        {"md", 2.34, "md", &EventEntry::magMd, 234},
        {"other type", 3.5, "Mwp", &EventEntry::magOther, 350},
    };
    for (const auto& c : cases) {
        EventEntry e{};
        setMagnitude(e, c.m, c.type);
        EXPECT_EQ(e.*(c.field), c.stored) << c.name;
    }
    EventEntry e{};
    setMagnitude(e, 0.0, "Mx");
    EXPECT_EQ(e.magOther, 0);
    EXPECT_EQ(e.magOtherType[0], 0) << "a zero magnitude of another type stores nothing";
}

TEST(EventRecord, ShownMagnitudeTakesTheFirstInOrder) {
    EventEntry e{};
    EXPECT_FALSE(shownMagnitude(e).present);
    e.magOther = 350;
    ShownMagnitude m = shownMagnitude(e);
    EXPECT_EQ(m.label, "M");
    EXPECT_DOUBLE_EQ(m.value, 3.5);
    e.magMl = 420;
    e.magMb = 510;
    m = shownMagnitude(e);
    EXPECT_EQ(m.label, "Mb");
    EXPECT_DOUBLE_EQ(m.value, 5.1);
}

TEST(EventRecord, TimeTexts) {
    const EventTime t{2024, 3, 1, 7, 5, 9, 0, 45'600'000};
    EXPECT_EQ(formatStartTime(t), "03/01/2024 07:05:09.045");
    EXPECT_EQ(formatIsoTime(t), "2024-03-01T07:05:09.045Z");
    const EventTime later = addSeconds(t, 86400.5);
    EXPECT_EQ(formatIsoTime(later), "2024-03-02T07:05:09.545Z");
    EXPECT_DOUBLE_EQ(secondsBetween(t, later), 86400.5);
}

TEST(Crc16, CheckValueAndFastPathAgreeWithBitwise) {
    const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc16Xmodem(check), 0x31C3);
    EXPECT_EQ(crc16XmodemBytewise(check), 0x31C3);
    std::mt19937 random(7);
    for (std::size_t size : {0u, 1u, 7u, 8u, 9u, 63u, 1000u, 4099u}) {
        std::vector<std::uint8_t> data(size);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random());
        EXPECT_EQ(crc16Xmodem(data), test::bitwiseCrc16(data.data(), data.size())) << size;
        // continuing over a split gives the same result
        const std::size_t half = size / 2;
        EXPECT_EQ(crc16Xmodem(std::span(data).subspan(half), crc16Xmodem(std::span(data).first(half))),
                  crc16Xmodem(data));
    }
}

} // namespace
} // namespace tlx
