#include "dsp/time_filter.h"

#include "core/messages.h"
#include "fake_window.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tlx {
namespace {

TEST(TimeFilterSetting, ParsesTheSettingsLine) {
    const TimeFilterSettings def = parseTimeSetting(kDefaultTimeSetting);
    EXPECT_TRUE(def.lowPass);
    EXPECT_FALSE(def.highPass);
    EXPECT_EQ(def.highCutoff, 1.0);
    EXPECT_TRUE(def.backwardHighPass);
    EXPECT_EQ(formatTimeSetting(def), "1 1 2 1 2 0 1 0.707 0.1 1");

    // Five fields: the extended part takes its fallback; zero cut-offs and poles are replaced.
    const TimeFilterSettings five = parseTimeSetting("3 0 0 0 4");
    EXPECT_EQ(five.lowCutoff, 1);
    EXPECT_EQ(five.highCutoff, 0.1);
    EXPECT_EQ(five.lowPoles, 2);
    EXPECT_EQ(five.highPoles, 4);
    EXPECT_EQ(five.extendedHighPass, 1.0);
    EXPECT_TRUE(five.backwardHighPass);

    // Any other count keeps the built-in values.
    for (const char* bad : {"", "3 1 2", "x 1 2 3 4 5 6 7 8 9", "1 2 3 4 5 6 7"}) {
        const TimeFilterSettings s = parseTimeSetting(bad);
        EXPECT_EQ(s.flags(), 3) << bad;
        EXPECT_EQ(s.highCutoff, 0.1) << bad;
        EXPECT_FALSE(s.backwardHighPass) << bad;
    }
    // Only the first 128 characters count: the tenth field is cut away.
    const TimeFilterSettings cut = parseTimeSetting("1 1 2 1 2 1 1 0.7 0." + std::string(120, '1') + " 1");
    EXPECT_EQ(cut.flags(), 3);
}

TEST(TimeFilterEdits, PeriodAndFrequencyMarkers) {
    EXPECT_EQ(normaliseFrequencyEdit("10s"), "0.1");
    EXPECT_EQ(normaliseFrequencyEdit("20 Sec"), "0.05");
    EXPECT_EQ(normaliseFrequencyEdit("2.5"), "2.5");
    EXPECT_EQ(normaliseFrequencyEdit("0s"), "0");
    EXPECT_EQ(normalisePeriodEdit("2Hz"), "0.5");
    EXPECT_EQ(normalisePeriodEdit("4"), "4");
    EXPECT_EQ(parsePoles("32"), 32);
    EXPECT_EQ(parsePoles("3x"), 0);
    EXPECT_EQ(parsePoles(""), 0);
}

TEST(FilterPresets, LineRules) {
    struct Case {
        const char* line;
        bool kept;
        FilterPreset want;
    };
    const Case cases[] = {
        {"\"Teleseismic\" 1 4 1 2 0.5 0.02 1 1 0.707 0.05 0",
         true,
         {"Teleseismic", 1, 4, 1, 2, 1, 0, 0.5, 0.02, 1, 0.707, 0.05}},
        // Six fields: extended period off with its fallback values.
        {"\"Local\" 1 2 1 2 5 1", true, {"Local", 1, 2, 1, 2, 0, 1, 5, 1, 1, 0.707, 0.1}},
        // Bad cut-off or poles switch that filter off.
        {"\"Odd\" 1 200 1 2 5 0", true, {"Odd", 0, 200, 0, 2, 0, 1, 5, 0, 1, 0.707, 0.1}},
        // Another count keeps only the name.
        {"\"Broken\" 1 2 x", true, {"Broken", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"\"Bare\"", true, {"Bare", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"no quotes 1 2 3", false, {}},
        {"\"one quote 1 2", false, {}},
    };
    for (const Case& c : cases) {
        FilterPreset p;
        ASSERT_EQ(parsePresetLine(c.line, p), c.kept) << c.line;
        if (!c.kept) continue;
        EXPECT_EQ(p.name, c.want.name);
        EXPECT_EQ(p.lowOn, c.want.lowOn) << c.line;
        EXPECT_EQ(p.highOn, c.want.highOn) << c.line;
        EXPECT_EQ(p.lowPoles, c.want.lowPoles) << c.line;
        EXPECT_EQ(p.lowCutoff, c.want.lowCutoff) << c.line;
        EXPECT_EQ(p.highCutoff, c.want.highCutoff) << c.line;
        EXPECT_EQ(p.extendedOn, c.want.extendedOn) << c.line;
        EXPECT_EQ(p.backwardOn, c.want.backwardOn) << c.line;
        EXPECT_EQ(p.sensorQ, c.want.sensorQ) << c.line;
        EXPECT_EQ(p.extendedHighPass, c.want.extendedHighPass) << c.line;
    }
    FilterPreset p;
    ASSERT_TRUE(parsePresetLine(std::string("\"") + std::string(60, 'n') + "\" 1 2 1 2 5 1", p));
    EXPECT_EQ(p.name.size(), 40u);
}

TEST(FilterPresets, DialogButtonsRewriteTheFile) {
    test::TempDir dir;
    RecordingMessages messages(Answer::Yes);
    CTimeFilter dialog(dir / "filter.dat", messages);
    IniProfile profile;
    dialog.start({}, profile);
    EXPECT_FALSE(dialog.presetButtonsEnabled());
    dialog.settings().lowCutoff = 2.5;
    ASSERT_TRUE(dialog.add("Regional \"wide\""));
    dialog.settings().lowCutoff = 7;
    ASSERT_TRUE(dialog.add("Local"));
    dialog.settings().lowCutoff = 8;
    ASSERT_TRUE(dialog.save(1));

    CTimeFilter reopened(dir / "filter.dat", messages);
    reopened.start({}, profile);
    ASSERT_EQ(reopened.presets().size(), 2u);
    EXPECT_EQ(reopened.presets()[0].name, "Regional wide");
    reopened.update(1);
    EXPECT_EQ(reopened.settings().lowCutoff, 8);

    messages.queueAnswer(Answer::No);
    EXPECT_FALSE(reopened.remove(0));
    ASSERT_TRUE(reopened.remove(0));
    EXPECT_TRUE(messages.contains("Remove Filter Regional wide?"));
    EXPECT_EQ(loadPresets(dir / "filter.dat").size(), 1u);

    CTimeFilter nowhere(dir / "missing" / "filter.dat", messages);
    nowhere.start({}, profile);
    EXPECT_FALSE(nowhere.add("x"));
    EXPECT_TRUE(messages.contains("Can't Create Filter File"));
}

TEST(FilterDialog, StartAndCloseKeepTheValues) {
    test::TempDir dir;
    RecordingMessages messages;
    IniProfile profile(dir / "TELLURIX.INI");
    CTimeFilter dialog(dir / "filter.dat", messages);
    dialog.start({}, profile); // no setting yet: the default line
    EXPECT_TRUE(dialog.settings().lowPass);
    EXPECT_FALSE(dialog.settings().highPass);
    EXPECT_FALSE(dialog.undoEnabled());
    dialog.settings().highPass = true;
    dialog.settings().highCutoff = 0.2;
    TimeFilterSettings window;
    dialog.close(window, profile, true);
    EXPECT_EQ(IniProfile(dir / "TELLURIX.INI").getString("Filter", "Time"), "3 1 2 0.2 2 0 1 0.707 0.1 1");
    CTimeFilter again(dir / "filter.dat", messages);
    window.highCutoff = 0.3; // the window's held values win over the settings file
    again.start(window, profile);
    EXPECT_EQ(again.settings().highCutoff, 0.3);
}

std::vector<double> ramp(int n) {
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = 100 * std::sin(i * 0.3) + i;
    return x;
}

TEST(FilterApply, StepsLabelsHistoryAndUndo) {
    struct Case {
        const char* name;
        TimeFilterSettings s;
        std::string label;
        std::vector<std::string> history;
        std::string message;
    };
    TimeFilterSettings both;
    both.lowPass = both.highPass = true, both.lowCutoff = 5, both.highCutoff = 0.5, both.highPoles = 4;
    TimeFilterSettings low = both;
    low.highPass = false;
    TimeFilterSettings extended = both;
    extended.lowPass = extended.highPass = false;
    extended.extendedOn = true, extended.backwardHighPass = true, extended.extendedHighPass = 0.05;
    TimeFilterSettings extendedOff = low; // checkbox on, values unusable: the low-pass takes the copy
    extendedOff.extendedOn = true, extendedOff.sensorQ = 0;
    TimeFilterSettings badLowPoles = both;
    badLowPoles.lowPoles = 33;
    TimeFilterSettings badHigh = both;
    badHigh.highCutoff = 60; // above Nyquist: after the low-pass has run
    TimeFilterSettings tooHighLow = both;
    tooHighLow.lowCutoff = 26;

    const Case cases[] = {
        {"both",
         both,
         "High-Pass and Low-Pass Filter",
         {"IIR Filter BW LP Freq: 5 Hz  Poles: 2", "IIR Filter BW HP Freq: 0.5 Hz  Poles: 4"},
         ""},
        {"low", low, "Low-Pass Filter", {"IIR Filter BW LP Freq: 5 Hz  Poles: 2"}, ""},
        {"extended",
         extended,
         "Sensor Period",
         {"Sensor Period: 1 s Sensor Q: 0.707 HP Filter: 0.05 Hz",
          "Backward IIR Filter BW HP Freq: 0.05 Hz  Poles: 2"},
         ""},
        {"extended off", extendedOff, "Low-Pass Filter", {"IIR Filter BW LP Freq: 5 Hz  Poles: 2"}, ""},
        {"low poles", badLowPoles, "", {}, "Invalid Lowpass Pole Number"},
        {"high cutoff",
         badHigh,
         "High-Pass and Low-Pass Filter",
         {"IIR Filter BW LP Freq: 5 Hz  Poles: 2"},
         "Error calculating filter data"},
        {"low cutoff", tooHighLow, "", {}, "Error calculating lowpass filter data"},
    };
    for (const Case& c : cases) {
        test::FakeWindow window(100, {ramp(300), ramp(300)});
        const std::vector<double> before = window.record(1).samples;
        RecordingMessages messages;
        const bool applied = applyTimeFilter(c.s, window, messages);
        EXPECT_EQ(applied, !c.label.empty()) << c.name;
        EXPECT_EQ(window.undoLabel, c.label) << c.name;
        EXPECT_EQ(window.filterCount, c.label.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(window.record(1).history, c.history) << c.name;
        if (c.message.empty()) {
            EXPECT_TRUE(messages.messages().empty()) << c.name;
        } else {
            EXPECT_TRUE(messages.contains(c.message)) << c.name;
        }
        if (applied) {
            EXPECT_NE(window.record(1).samples, before) << c.name;
        }
        for (double v : window.record(1).samples)
            ASSERT_TRUE(std::isfinite(v)) << c.name;
        window.undo();
        EXPECT_EQ(window.record(1).samples, before) << c.name;
    }
}

TEST(FilterApply, EmptyAndShortRecords) {
    TimeFilterSettings s;
    s.lowPass = s.highPass = true, s.lowCutoff = 5, s.highCutoff = 0.5;
    test::FakeWindow window(100, {{}, ramp(51), {42.0}});
    RecordingMessages messages;
    EXPECT_TRUE(applyTimeFilter(s, window, messages));
    EXPECT_TRUE(window.record(0).samples.empty());
    for (double v : window.record(1).samples)
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_TRUE(std::isfinite(window.record(2).samples[0]));
}

} // namespace
} // namespace tlx
