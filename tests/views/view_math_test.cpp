#include "views/view_math.h"

#include <gtest/gtest.h>

namespace tlx::views {
namespace {

TEST(ViewMath, TidyFullScaleRoundsUpToFriendlySteps) {
    const struct {
        double mantissa, expected;
    } cases[] = {{2.34, 2.5}, {123.4, 130}, {620, 625},    {3, 3},     {7.0, 7},
                 {10, 10},    {55.5, 60},   {999.2, 1000}, {1.01, 1.2}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(tidyFullScale(c.mantissa), c.expected) << c.mantissa;
}

TEST(ViewMath, EngineeringSplitChoosesUnitMultiplier) {
    const struct {
        double value;
        bool cm;
        double mantissa, multiplier;
    } cases[] = {
        {27659, false, 27.659, 0.001}, {1.0, false, 1.0, 1},      {0.0004, false, 400, 1e6},
        {5e-12, false, 5e-3, 1e9},     {0.025, true, 2.5, 100},   {0.025, false, 25, 1e3},
        {0.005, true, 5, 1e3},         {2.5e6, false, 2.5, 1e-6},
    };
    for (const auto& c : cases) {
        const Engineering e = engineeringSplit(c.value, c.cm);
        EXPECT_NEAR(e.mantissa, c.mantissa, 1e-9 * std::max(1.0, c.mantissa)) << c.value;
        EXPECT_DOUBLE_EQ(e.multiplier, c.multiplier) << c.value;
    }
}

TEST(ViewMath, UnitNamesFollowModeAndMultiplier) {
    EXPECT_EQ(unitName(kModeCounts, 1), "Counts");
    EXPECT_EQ(unitName(kModeCounts, 0.001), "Kilo Counts");
    EXPECT_EQ(unitName(kModeSensor, 100), "Centimeters");
    EXPECT_EQ(unitName(kModeSensor, 1e6), "Micrometers");
    EXPECT_EQ(unitName(kModeVoltsAmp, 1e3), "Millivolts");
    EXPECT_EQ(unitName(kModeVoltsAd, 100), ""); // no centivolts
}

TEST(ViewMath, ZoomIndexClampsAndMapsToTable) {
    EXPECT_DOUBLE_EQ(yZoomFactor(0), 1);
    EXPECT_DOUBLE_EQ(yZoomFactor(-1), 1.5);
    EXPECT_DOUBLE_EQ(yZoomFactor(-13), 10);
    EXPECT_DOUBLE_EQ(yZoomFactor(-47), 5000);
    EXPECT_DOUBLE_EQ(yZoomFactor(2), 0.5);
    EXPECT_DOUBLE_EQ(yZoomFactor(47), 1.0 / 5000);
    EXPECT_EQ(clampZoomIndex(-48), -47);
    EXPECT_EQ(clampZoomIndex(45 + 4), 47);
}

TEST(ViewMath, TimeGridSteps) {
    const struct {
        double span;
        int width, base, step;
    } cases[] = {{30, 1200, 1, 2},  {20, 1200, 1, 1},   {31, 1200, 5, 5},     {31, 100, 5, 20},
                 {120, 1000, 5, 5}, {480, 400, 10, 50}, {3600, 1200, 30, 150}};
    for (const auto& c : cases) {
        EXPECT_EQ(timeGridBaseStep(c.span), c.base) << c.span;
        EXPECT_EQ(timeGridStep(c.span, c.width), c.step) << c.span << " " << c.width;
    }
}

TEST(ViewMath, ReadoutTexts) {
    EXPECT_EQ(spDiffText(9440), "09.44sec");
    EXPECT_EQ(spDiffText(75'250), "1:15.25min");
    EXPECT_EQ(timeOfDayText(43'214'100), "12:00:14.1");
    EXPECT_EQ(timeOfDayText(kMsPerDay + 1000), "00:00:01.0");
    EXPECT_EQ(countText(27659.4), "27659");
    EXPECT_EQ(countText(12.5), "12.5");
}

} // namespace
} // namespace tlx::views
