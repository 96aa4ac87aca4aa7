#include "views/document_filter_target.h"

#include "core/messages.h"
#include "dsp/spectrum.h"
#include "dsp/time_filter.h"
#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace tlx {
namespace {

class DocumentFilter : public ::testing::Test {
  protected:
    DocumentFilter() : loader(messages), doc(messages, loader) {
        std::vector<std::string> files;
        for (int i = 0; i < 2; ++i) {
            test::Svx4Spec spec;
            spec.sensorId = i ? "B" : "A";
            spec.samples.resize(1000);
            for (std::size_t k = 0; k < spec.samples.size(); ++k)
                spec.samples[k] =
                    std::round(500 * std::sin(k * 0.04 * (i + 1)) + 100 * std::sin(k * 1.3) + 20 * i);
            const auto path = dir / (spec.sensorId + ".svx");
            test::writeBytes(path, test::buildSvx4(spec));
            files.push_back(path.string());
        }
        EXPECT_TRUE(doc.open(OpenRequest{files, kForceNone, {}}));
    }
    std::vector<double> copyOf(int slot) const {
        const auto s = doc.samples(slot);
        return {s.begin(), s.end()};
    }

    test::TempDir dir;
    RecordingMessages messages;
    EventLoader loader;
    CEqDoc doc;
};

TEST_F(DocumentFilter, TimeFilterApplyIsOneUndoableStep) {
    const std::vector<double> a = copyOf(0), b = copyOf(1);
    const auto historyA = doc.record(0).info.history;
    TimeFilterSettings s;
    s.lowPass = s.highPass = true, s.lowCutoff = 5, s.highCutoff = 0.5, s.lowPoles = 4;
    DocumentFilterTarget target(doc);
    ASSERT_TRUE(applyTimeFilter(s, target, messages));
    EXPECT_EQ(doc.undoMenuText(), "Undo - High-Pass and Low-Pass Filter");
    EXPECT_EQ(doc.filterCount(), 1);
    EXPECT_NE(copyOf(0), a);
    EXPECT_NE(copyOf(1), b);
    const auto& history = doc.record(1).info.history;
    ASSERT_GE(history.size(), 2u);
    EXPECT_EQ(history[history.size() - 2], "IIR Filter BW LP Freq: 5 Hz  Poles: 4");
    EXPECT_EQ(history.back(), "IIR Filter BW HP Freq: 0.5 Hz  Poles: 2");

    ASSERT_TRUE(doc.undoFiltering());
    EXPECT_EQ(copyOf(0), a);
    EXPECT_EQ(copyOf(1), b);
    EXPECT_EQ(doc.record(0).info.history, historyA);
    EXPECT_EQ(doc.filterCount(), 0);
}

TEST_F(DocumentFilter, SpectralFilterChangesOneRecordWithUndo) {
    const std::vector<double> a = copyOf(0), b = copyOf(1);
    SpectrumRequest r;
    r.kind = TransformKind::Dft, r.sampleRate = doc.sps();
    Spectrum spectrum;
    std::string error;
    ASSERT_TRUE(spectrum.compute(doc.samples(1), r, nullptr, error));
    ASSERT_TRUE(spectrum.lowPass(5, 6, messages));
    DocumentFilterTarget target(doc);
    ASSERT_TRUE(spectrum.backToTimeDomain(target, 1));
    EXPECT_EQ(doc.undoMenuText(), "Undo - DFT Filtering");
    EXPECT_EQ(copyOf(0), a);
    EXPECT_NE(copyOf(1), b);
    EXPECT_EQ(doc.record(1).info.history.back(), "DFT Filter BW LP Freq: 5 Hz  Poles: 6");
    ASSERT_TRUE(doc.undoFiltering());
    EXPECT_EQ(copyOf(1), b);
}

} // namespace
} // namespace tlx
