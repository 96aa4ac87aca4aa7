#include "views/event_slots.h"

#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx::views {
namespace {

// The pyramids follow the document: after an integration the view's extremes are the new data's.
TEST(EventSlots, PyramidsFollowTheDocumentsSamples) {
    test::TempDir dir;
    test::Svx4Spec spec;
    spec.samples.assign(4000, 0.0);
    for (std::size_t i = 0; i < spec.samples.size(); ++i)
        spec.samples[i] = (i / 100) % 2 ? 50 : -50;
    test::writeBytes(dir / "a.svx", test::buildSvx4(spec));
    RecordingMessages messages;
    EventLoader loader(messages);
    CEqDoc doc(messages, loader);
    ASSERT_TRUE(doc.open((dir / "a.svx").string())) << ::testing::PrintToString(messages.texts());
    EventSlots traces(doc);
    int changes = 0;
    traces.onDataChanged = [&] { ++changes; };
    ASSERT_EQ(traces.sources().size(), 1u);
    EXPECT_EQ(traces.sources()[0].pyramid->range(0, 4000).max, 50);
    ASSERT_TRUE(doc.integrate());
    EXPECT_GT(changes, 0);
    const TraceSource s = traces.sources()[0];
    const MinMax mm = s.pyramid->range(0, s.samples.size());
    double lo = s.samples[0], hi = s.samples[0];
    for (double v : s.samples) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(mm.min, lo);
    EXPECT_EQ(mm.max, hi);
    EXPECT_NE(hi, 50);
}

} // namespace
} // namespace tlx::views
