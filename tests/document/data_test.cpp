#include "doc_fixture.h"

#include <cmath>

namespace tlx::test {
namespace {

// The running integral computed another way: long double prefix sums of the raw samples minus
// n times the mean, scaled at the end.
std::vector<double> referenceIntegral(const std::vector<double>& x, double dt) {
    long double sum = 0, mean = 0;
    for (double v : x)
        mean += v;
    mean /= static_cast<long double>(x.size());
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        sum += x[i];
        y[i] = static_cast<double>((sum - mean * static_cast<long double>(i + 1)) * dt);
    }
    return y;
}

void expectNear(std::span<const double> got, const std::vector<double>& want, const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    double scale = 1;
    for (double v : want)
        scale = std::max(scale, std::fabs(v));
    for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_NEAR(got[i], want[i], 1e-9 * scale) << what << " at " << i;
}

SampleEdit scaleBy(double factor) {
    return [factor](int, const EventRecord&, std::span<double> x) {
        for (double& v : x)
            v *= factor;
        return true;
    };
}

TEST_F(DocTest, IntegrationMatchesAnIndependentIntegral) {
    struct Case {
        const char* name;
        std::uint8_t sensorType;
        bool singleSecond; // show record 2 alone: only it is integrated
        const char* line;
        int typeAfter;
        const char* title;
    };
    const Case cases[] = {
        {"counts", 0, false, "Integrate", 0, "A.svx (Integrated)"},
        {"acceleration", 1, false, "Integrate - Acceleration to Velocity", 2, "A.svx (Velocity)"},
        {"velocity", 2, false, "Integrate - Velocity to Displacement", 3, "A.svx (Displacement)"},
        {"displacement", 3, false, "Integrate", 0, "A.svx (Integrated)"},
        {"second alone", 1, true, "Integrate - Acceleration to Velocity", 2, "B.svx (Velocity)"},
    };
    for (const Case& c : cases) {
        resetDoc();
        const std::vector<double> a = rampSignal(300, 500), b = rampSignal(300, 800);
        ASSERT_TRUE(doc->open(OpenRequest{
            {file("A.svx", "A", a, c.sensorType), file("B.svx", "B", b, c.sensorType)}, kForceNone, {}}));
        doc->selectRecord(0);
        if (c.singleSecond) doc->displayRecord(1);
        ASSERT_TRUE(doc->integrate()) << c.name;
        expectNear(doc->samples(1), referenceIntegral(b, 0.01), c.name);
        if (c.singleSecond) {
            EXPECT_TRUE(sameBytes(doc->samples(0), a)) << c.name;
            EXPECT_TRUE(doc->record(0).info.history.empty()) << c.name;
        } else {
            expectNear(doc->samples(0), referenceIntegral(a, 0.01), c.name);
        }
        EXPECT_EQ(doc->record(1).info.history, std::vector<std::string>{c.line}) << c.name;
        EXPECT_EQ(+doc->record(1).header.sensorType, c.typeAfter) << c.name;
        EXPECT_EQ(doc->title(), c.title) << c.name;
        EXPECT_TRUE(doc->isModified());
        EXPECT_TRUE(doc->slot(0).modified && doc->slot(1).modified)
            << c.name << ": every record, shown or not";
        const ChannelHeader h = doc->record(1).header;
        EXPECT_LE(+h.dataMin, +h.dataMean);
        EXPECT_LE(+h.dataMean, +h.dataMax);
        ASSERT_TRUE(doc->undoIntegrate()) << c.name;
        EXPECT_FALSE(doc->anyRecordModified()) << c.name;
    }
}

TEST_F(DocTest, TwoIntegrationsAndTwoUndosRestoreTheExactBytes) {
    const std::vector<double> raw = rampSignal(256, 700);
    ASSERT_TRUE(doc->open(file("A.svx", "A", raw, 0)));
    const ChannelHeader before = doc->record(0).header;
    ASSERT_TRUE(doc->integrate());
    ASSERT_TRUE(doc->integrate());
    EXPECT_EQ(doc->title(), "A.svx (Integrated X 2)");
    EXPECT_FALSE(doc->canIntegrate());
    EXPECT_FALSE(doc->integrate());
    EXPECT_EQ(doc->record(0).info.history.size(), 2u);
    ASSERT_TRUE(doc->undoIntegrate());
    EXPECT_EQ(doc->title(), "A.svx (Integrated)");
    ASSERT_TRUE(doc->undoIntegrate());
    EXPECT_FALSE(doc->undoIntegrate());
    EXPECT_TRUE(sameBytes(doc->samples(0), raw));
    EXPECT_EQ(std::memcmp(&doc->record(0).header, &before, sizeof before), 0);
    EXPECT_EQ(doc->title(), "A.svx");
    EXPECT_TRUE(doc->record(0).info.history.empty());
    EXPECT_FALSE(doc->anyRecordModified());
    EXPECT_FALSE(doc->isModified());
}

TEST_F(DocTest, UndoIntegrateTurnsDisplacementBackIntoVelocity) {
    ASSERT_TRUE(doc->open(file("A.svx", "A", rampSignal(100), 2)));
    ASSERT_TRUE(doc->integrate());
    EXPECT_EQ(doc->title(), "A.svx (Displacement)");
    ASSERT_TRUE(doc->undoIntegrate());
    EXPECT_EQ(doc->title(), "A.svx (Velocity)");
}

TEST_F(DocTest, FilterUndoRestoresTheStateBeforeTheLastFilter) {
    openStations(2);
    const std::vector<double> raw = copyOf(0);
    EXPECT_EQ(doc->undoMenuText(), "Undo");
    ASSERT_TRUE(doc->applyDataOperation({kLabelLowPass, {"LP"}, true, -1}, scaleBy(2)));
    const std::vector<double> afterFirst = copyOf(0);
    ASSERT_TRUE(doc->applyDataOperation({kLabelHighPass, {"HP"}, true, -1}, scaleBy(3)));
    EXPECT_EQ(doc->filterCount(), 2);
    EXPECT_EQ(doc->undoMenuText(), "Undo - High-Pass Filter");
    ASSERT_TRUE(doc->undoFiltering());
    EXPECT_TRUE(sameBytes(doc->samples(0), afterFirst));
    EXPECT_FALSE(sameBytes(doc->samples(0), raw));
    EXPECT_EQ(doc->record(1).info.history, std::vector<std::string>{"LP"});
    EXPECT_EQ(doc->filterCount(), 1);
    EXPECT_EQ(doc->undoMenuText(), "Undo");
    EXPECT_FALSE(doc->undoFiltering()); // one level only
}

TEST_F(DocTest, AFailingFilterLeavesSamplesAndUndoCopyAsTheyWere) {
    openStations(3);
    ASSERT_TRUE(doc->applyDataOperation({kLabelLowPass, {"LP"}, true, -1}, scaleBy(2)));
    const std::vector<double> undo = doc->slot(2).filterUndo, now = copyOf(2);
    const std::vector<std::string> history = doc->record(2).info.history;
    // The edit changes the first records and then fails on the third.
    const SampleEdit failsOnThird = [](int slot, const EventRecord&, std::span<double> x) {
        for (double& v : x)
            v = -1;
        return slot != 2;
    };
    EXPECT_FALSE(doc->applyDataOperation({kLabelHighPass, {"HP"}, true, -1}, failsOnThird));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(doc->record(i).info.history, history) << i;
    EXPECT_TRUE(sameBytes(doc->samples(2), now));
    EXPECT_TRUE(sameBytes(doc->slot(2).filterUndo, undo));
    EXPECT_EQ(doc->undoLabel(), kLabelLowPass);
    EXPECT_EQ(doc->filterCount(), 1);
}

TEST_F(DocTest, OneUndoCoversEveryStepOfAnApply) {
    openStations(1);
    const std::vector<double> raw = copyOf(0);
    ASSERT_TRUE(doc->applyDataOperation({kLabelHighAndLowPass, {"IIR LP"}, true, -1}, scaleBy(2)));
    ASSERT_TRUE(doc->applyDataOperation({"", {"IIR HP"}, false, -1}, scaleBy(5)));
    EXPECT_EQ(doc->dataOperationsLines(), (std::vector<std::string>{"1: IIR LP", "2: IIR HP"}));
    EXPECT_EQ(doc->dataOperationsCaption(), "Data Operations");
    ASSERT_TRUE(doc->undoFiltering());
    EXPECT_TRUE(sameBytes(doc->samples(0), raw));
    EXPECT_TRUE(doc->record(0).info.history.empty());
    EXPECT_EQ(doc->filterCount(), 0);
    EXPECT_FALSE(doc->anyRecordModified());
}

TEST_F(DocTest, IntegrationAndUndoIntegrateDropTheFilterUndo) {
    openStations(1);
    ASSERT_TRUE(doc->applyDataOperation({kLabelLowPass, {"LP"}, true, -1}, scaleBy(2)));
    ASSERT_TRUE(doc->integrate());
    EXPECT_FALSE(doc->canUndoFiltering()); // it would silently throw the integration away
    ASSERT_TRUE(doc->applyDataOperation({kLabelHighPass, {"HP"}, true, -1}, scaleBy(3)));
    ASSERT_TRUE(doc->undoIntegrate());
    EXPECT_FALSE(doc->canUndoFiltering());
    // Back to the samples before the integration, and so is the history.
    EXPECT_EQ(doc->record(0).info.history, std::vector<std::string>{"LP"});
}

TEST_F(DocTest, CropBoundaries) {
    struct Case {
        const char* name;
        CropSpan span;
        bool ok;
        int keptFirst, keptCount;
        int second;
    };
    // 400 samples at 100 sps from 12:00:05.250: the axis starts at 12:00:06 (sample 75).
    const Case cases[] = {
        {"whole axis", {75, 300, 0.0}, true, 75, 300, 6},
        {"from the second second", {175, 100, 1.0}, true, 175, 100, 7},
        {"too few left before the end", {375, 100, 3.0}, false, 0, 0, 0},
        {"the last 51", {349, 100, 2.74}, true, 349, 51, 8},
        {"from the very first sample", {0, 51, 0.0}, true, 0, 51, 6},
        {"outside", {400, 60, 4.0}, false, 0, 0, 0},
        {"negative", {-1, 60, 0.0}, false, 0, 0, 0},
    };
    const std::vector<double> raw = rampSignal(400, 900);
    for (const Case& c : cases) {
        resetDoc();
        ASSERT_TRUE(
            doc->open(OpenRequest{{file("A.svx", "A", raw), file("B.svx", "B", raw)}, kForceNone, {}}));
        doc->toggleCropMessage();
        EXPECT_EQ(doc->crop(c.span), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_EQ(doc->commonCount(), 400) << c.name;
            continue;
        }
        EXPECT_EQ(doc->commonCount(), c.keptCount) << c.name;
        for (int r = 0; r < 2; ++r) {
            const auto kept =
                std::vector<double>(raw.begin() + c.keptFirst, raw.begin() + c.keptFirst + c.keptCount);
            EXPECT_TRUE(sameBytes(doc->samples(r), kept)) << c.name;
            const ChannelHeader h = doc->record(r).header;
            EXPECT_EQ(+h.sampleCount, c.keptCount) << c.name;
            EXPECT_EQ(+h.startTime.second, c.second) << c.name;
            EXPECT_EQ(+h.startTime.nanoseconds, 0) << c.name;
            EXPECT_TRUE(doc->slot(r).modified);
        }
    }
}

TEST_F(DocTest, CropAsksFirstAndFreesEveryUndoCopy) {
    openStations(1, 300);
    ASSERT_TRUE(doc->integrate());
    ASSERT_TRUE(doc->applyDataOperation({kLabelLowPass, {"LP"}, true, -1}, scaleBy(2)));
    messages.queueAnswer(Answer::No);
    EXPECT_FALSE(doc->crop({75, 100, 0.0}));
    EXPECT_EQ(doc->commonCount(), 300);
    messages.queueAnswer(Answer::Yes);
    EXPECT_TRUE(doc->crop({75, 100, 0.0}));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Crop Event File?", "Crop Event File?"}));
    EXPECT_EQ(doc->integrationLevel(), 0);
    EXPECT_FALSE(doc->canUndoFiltering());
    EXPECT_FALSE(doc->slot(0).hasIntegrationUndo(1));
    EXPECT_EQ(doc->undoLabel(), "");
}

TEST_F(DocTest, CropCountsTheClockCorrection) {
    Svx4Spec s = stationSpec("A", rampSignal(400));
    s.start.nanoseconds = 0;
    s.startTimeOffset = 0.3; // corrected start 12:00:05.3, axis from 12:00:06 at sample 70
    ASSERT_TRUE(doc->open(file("A.svx", s)));
    doc->toggleCropMessage();
    ASSERT_TRUE(doc->crop({170, 100, 1.0}));
    const ChannelHeader h = doc->record(0).header;
    EXPECT_EQ(+h.startTime.second, 7); // the corrected time of sample 170
    EXPECT_EQ(+h.startTimeOffset, 0.0);
}

TEST_F(DocTest, InvertTwiceIsTheIdentity) {
    openStations(2);
    const ChannelHeader before = doc->record(1).header;
    const std::vector<double> raw = copyOf(1);
    doc->invert();
    EXPECT_TRUE(doc->inverted());
    EXPECT_EQ(+doc->record(1).header.dataMax, -before.dataMin);
    EXPECT_EQ(+doc->record(1).header.dataMean, -before.dataMean);
    EXPECT_EQ(doc->slot(1).peakRange, std::fabs(before.dataMax) + std::fabs(before.dataMin));
    doc->invert();
    EXPECT_TRUE(sameBytes(doc->samples(1), raw));
    EXPECT_EQ(std::memcmp(&doc->record(1).header, &before, sizeof before), 0);
}

TEST_F(DocTest, IntegrationOfInvertedDataUsesTheStoredMean) {
    std::vector<double> x(200, 7.0);
    x[3] = 9;
    ASSERT_TRUE(doc->open(file("A.svx", "A", x)));
    doc->invert();
    ASSERT_TRUE(doc->integrate());
    expectNear(doc->samples(0), referenceIntegral(x, 0.01), "inverted");
}

TEST_F(DocTest, ConstantRecordHasAPeakRangeOfOneTenth) {
    ASSERT_TRUE(doc->open(file("Z.svx", "Z", std::vector<double>(100, 0.0))));
    EXPECT_EQ(doc->slot(0).peakRange, 0.1);
}

TEST_F(DocTest, NextEventWrapsAround) {
    Svx4Spec s = stationSpec("A", rampSignal(100));
    s.blocks = {eventBlock({2024, 3, 1, 11, 0, 0, 0}, 1, 2, 3, 400),
                eventBlock({2024, 3, 1, 11, 5, 0, 0}, 1, 2, 3, 500)};
    ASSERT_TRUE(doc->open(file("A.svx", s)));
    struct Counter : DocObserver {
        int events = 0;
        void eventChanged() override { ++events; }
    } counter;
    doc->addObserver(&counter);
    doc->nextEvent();
    EXPECT_EQ(doc->record(0).info.currentEvent, 1);
    doc->nextEvent();
    EXPECT_EQ(doc->record(0).info.currentEvent, 0);
    EXPECT_EQ(counter.events, 2);
    doc->removeObserver(&counter);
}

TEST_F(DocTest, DcOffsetInUseFollowsTheSwitch) {
    openStations(1);
    doc->setManualDcOffset(12.5);
    EXPECT_EQ(doc->manualDcOffsetText(), "12.5");
    EXPECT_EQ(doc->dcOffsetInUse(0), +doc->record(0).header.dataMean);
    doc->setAutoDcOffset(false);
    EXPECT_EQ(doc->dcOffsetInUse(0), 12.5);
}

} // namespace
} // namespace tlx::test

namespace tlx::test {
namespace {

TEST_F(DocTest, UndoArraysNeverExceedThreePerRecord) {
    openStations(3, 120);
    unsigned state = 12345;
    const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int step = 0; step < 300; ++step) {
        switch (next() % 7) {
        case 0:
            doc->applyDataOperation({kLabelLowPass, {"LP"}, true, -1}, scaleBy(0.5));
            break;
        case 1:
            doc->applyDataOperation({"", {"HP"}, false, -1}, scaleBy(2));
            break;
        case 2:
            doc->undoFiltering();
            break;
        case 3:
            doc->integrate();
            break;
        case 4:
            doc->undoIntegrate();
            break;
        case 5:
            doc->displayRecord(static_cast<int>(next() % 3));
            break;
        default:
            doc->displayAll();
            break;
        }
        for (int i = 0; i < 3; ++i) {
            const RecordSlot& s = doc->slot(i);
            ASSERT_LE(s.undoArrays() + int(!s.spare.empty()), 3) << "step " << step;
            ASSERT_TRUE(s.spare.empty() || s.spare.size() == s.samples.size());
        }
    }
    while (doc->undoIntegrate()) {
    }
    EXPECT_EQ(doc->integrationLevel(), 0);
    for (int i = 0; i < 3; ++i)
        for (const std::string& line : doc->record(i).info.history)
            EXPECT_NE(line.rfind("Integrate", 0), 0u) << line;
}

TEST_F(DocTest, AFilterOnOneRecordReplacesTheUndoOfAll) {
    openStations(2);
    ASSERT_TRUE(doc->applyDataOperation({kLabelLowPass, {"LP"}, true, -1}, scaleBy(2)));
    const std::vector<double> secondAfterFirst = copyOf(1);
    doc->displayRecord(0);
    ASSERT_TRUE(doc->applyDataOperation({kLabelHighPass, {"HP"}, true, -1}, scaleBy(3)));
    ASSERT_TRUE(doc->undoFiltering());
    // Record 2 was not part of the last filter: it keeps the first filter's result.
    EXPECT_TRUE(sameBytes(doc->samples(1), secondAfterFirst));
    EXPECT_EQ(doc->record(1).info.history, std::vector<std::string>{"LP"});
}

} // namespace
} // namespace tlx::test
