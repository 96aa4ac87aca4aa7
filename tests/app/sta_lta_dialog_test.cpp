// "STA / LTA Ratio" on a generated record: the list, a refused LTA, and the list following the samples.
#include "app/sta_lta_dialog.h"
#include "program_fixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

TEST(GuiStaLtaDialog, ListsRatiosAndFollowsTheSamples) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")}); // 60 s at 100 sps from 12:00:05, burst at 20 s
    ASSERT_NE(w, nullptr);
    p.frame->run(Cmd::StaLta);
    auto* d = w->findChild<CStaLtaDialog*>();
    ASSERT_NE(d, nullptr);
    auto* list = d->findChild<QListWidget*>();
    // STA 1 s, LTA 20 s: the first ratio at sample 2000, then one every 100 samples.
    ASSERT_EQ(list->count(), 41);
    EXPECT_TRUE(list->item(0)->text().startsWith("12:00:25.000 = "));
    EXPECT_TRUE(list->item(40)->text().startsWith("12:01:05.000 = "));
    // The burst is the largest ratio; its line is selected and repeated below the edits.
    const StaLtaEntry& top = d->result().entries.at(d->result().maxEntry);
    EXPECT_GE(top.index, 2000);
    EXPECT_LT(top.index, 2600);
    EXPECT_EQ(list->currentRow(), d->result().maxEntry);

    // An LTA equal to the STA is refused and the list stays.
    QList<QLineEdit*> edits = d->findChildren<QLineEdit*>();
    ASSERT_EQ(edits.size(), 3);
    edits[1]->setText("1.0");
    EXPECT_FALSE(d->calculate(true));
    EXPECT_EQ(list->count(), 41);
    edits[1]->setText("20.0");
    ASSERT_TRUE(d->calculate(true));

    // Crop to the first 30 s: the list follows without a press.
    w->view()->model().setSpan(30);
    w->refresh();
    p.frame->run(Cmd::Crop);
    ASSERT_EQ(w->doc().commonCount(), 3000);
    ASSERT_EQ(list->count(), 11);
    EXPECT_TRUE(list->item(10)->text().startsWith("12:00:35.000 = "));
    edits[2]->setText("5");

    // Zeroed samples: the list is made again without a press; every ratio is 0, so none passes 5.
    DataOperation zero;
    zero.undoLabel = "Low-Pass Filter";
    w->doc().applyDataOperation(zero, [](int, const EventRecord&, std::span<double> x) {
        std::fill(x.begin(), x.end(), 0.0);
        return true;
    });
    EXPECT_EQ(list->count(), 0);
    for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) {
        if (b->text() == "Save &File") {
            EXPECT_FALSE(b->isEnabled());
        }
    }

    d->accept();
    EXPECT_EQ(p.ctx.ini.getString("Settings", "StaLta"), "1.0 20.0 5");
}

} // namespace
} // namespace tlx::app
