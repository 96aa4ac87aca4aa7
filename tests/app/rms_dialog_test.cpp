// "RMS/Max/Min": the read-out of the visible samples, measured again when the view changes.
#include "app/rms_dialog.h"
#include "core/text.h"
#include "program_fixture.h"

#include <QRadioButton>
#include <gtest/gtest.h>

#include <cmath>

namespace tlx::app {
namespace {

TEST(GuiRmsDialog, ReadsTheVisibleSamplesInEachUnit) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    p.frame->run(Cmd::Rms);
    auto* d = w->findChild<CRmsDialog*>();
    ASSERT_NE(d, nullptr);
    views::EqViewModel& m = w->view()->model();
    auto expected = [&] {
        const auto x = w->doc().samples(0);
        const long first = m.visibleSamples(0).first;
        const long n =
            std::min<long>(static_cast<long>(100 * m.spanSeconds()), static_cast<long>(x.size()) - first);
        double squares = 0;
        for (long i = first; i < first + n; ++i)
            squares += (x[i] - m.offset(0)) * (x[i] - m.offset(0));
        return format("RMS: %6.3f\n", std::sqrt(squares / n)) + "%" + format("Sample Points: %ld", n);
    };
    auto check = [&] {
        const std::string want = expected();
        const std::string got = d->readout().toStdString();
        const std::size_t cut = want.find('%');
        EXPECT_EQ(got.substr(0, cut), want.substr(0, cut));
        EXPECT_TRUE(got.ends_with(want.substr(cut + 1))) << got;
    };
    check();
    const QString whole = d->readout();
    m.setSpan(10); // as the X-Scale dialog does
    w->refresh();
    EXPECT_NE(d->readout(), whole);
    check();
    p.frame->run(Cmd::Reset);
    EXPECT_EQ(d->readout(), whole);

    // Inverted data are measured as drawn: the largest swing down becomes the largest swing up.
    p.frame->run(Cmd::Invert);
    const QString minimum = whole.section('\n', 2, 2);
    ASSERT_TRUE(minimum.startsWith("Minimum: -"));
    EXPECT_EQ(d->readout().section('\n', 1, 1).toStdString(), ("Maximum: " + minimum.mid(10)).toStdString());

    for (QRadioButton* r : d->findChildren<QRadioButton*>())
        if (r->text() == "A/D &Volts") r->click();
    EXPECT_TRUE(d->readout().contains("Volts")) << d->readout().toStdString();
}

} // namespace
} // namespace tlx::app
