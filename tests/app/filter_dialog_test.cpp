// "Time Domain Filtering" driven as a user drives it, checked against the filter library run on
// the same samples.
#include "app/filter_dialog.h"
#include "dsp/filter.h"
#include "program_fixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tlx::app {
namespace {

template <class T> T* named(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(name);
}
void type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return); // as focus leaving the edit
}
std::vector<std::vector<double>> samplesOf(const CEqDoc& doc) {
    std::vector<std::vector<double>> out;
    for (int i = 0; i < doc.recordCount(); ++i)
        out.emplace_back(doc.samples(i).begin(), doc.samples(i).end());
    return out;
}

TEST(GuiFilterDialog, ApplyUndoCloseAndPresets) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx"), p.writeEvent("b.svx", "TST2", 400)});
    ASSERT_NE(w, nullptr);
    CEqDoc& doc = w->doc();
    const auto raw = samplesOf(doc);
    const auto rawHistory = doc.record(1).info.history;

    // Typed values and Close without applying change nothing but what the window remembers.
    p.frame->run(Cmd::TimeFilter);
    auto* d = w->findChild<CFilterDialog*>();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->isVisible());
    buttonOf(d, "&Low-Pass")->setChecked(true);
    buttonOf(d, "&High-Pass")->setChecked(true);
    type(named<QLineEdit>(d, "lowCutoff"), "5");
    named<QComboBox>(d, "lowPoles")->setCurrentText("4");
    type(named<QLineEdit>(d, "highCutoff"), "10s"); // a period: 0.1 Hz
    EXPECT_EQ(named<QLineEdit>(d, "highCutoff")->text(), "0.1");
    buttonOf(d, "&Close")->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(samplesOf(doc), raw);
    EXPECT_FALSE(doc.canUndoFiltering());
    EXPECT_EQ(p.ctx.ini.getString("Filter", "Time", "none"), "none");

    // Reopened on the same window it shows the last values; Apply equals the library's filters.
    p.frame->run(Cmd::FilterData);
    EXPECT_EQ(named<QLineEdit>(d, "lowCutoff")->text(), "5");
    EXPECT_FALSE(buttonOf(d, "U&ndo Filter")->isEnabled());
    buttonOf(d, "&Apply Filter")->click();
    auto expected = raw;
    IirDesign low, high;
    ASSERT_EQ(designIir('L', 5, 4, doc.sps(), low), IirStatus::Ok);
    ASSERT_EQ(designIir('H', 0.1, 2, doc.sps(), high), IirStatus::Ok);
    for (auto& x : expected) {
        CIirFilter(low, Direction::Forward).process(x);
        CIirFilter(high, Direction::Forward).process(x);
    }
    EXPECT_EQ(samplesOf(doc), expected);
    EXPECT_TRUE(buttonOf(d, "U&ndo Filter")->isEnabled());
    EXPECT_EQ(doc.undoMenuText(), "Undo - High-Pass and Low-Pass Filter");
    const auto& history = doc.record(1).info.history;
    ASSERT_EQ(history.size(), rawHistory.size() + 2);
    EXPECT_EQ(history.back(), "IIR Filter BW HP Freq: 0.1 Hz  Poles: 2");

    // The window's Undo Filtering restores every record byte for byte.
    p.frame->run(Cmd::UndoFiltering);
    EXPECT_EQ(samplesOf(doc), raw);
    EXPECT_EQ(doc.record(1).info.history, rawHistory);
    EXPECT_EQ(doc.filterCount(), 0);
    EXPECT_FALSE(buttonOf(d, "U&ndo Filter")->isEnabled());

    // A preset named in the "Filter Name" prompt lands in filter.dat; "Save as default" keeps the line.
    QTimer::singleShot(0, [] {
        auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->labelText(), "New Filter Name:");
        prompt->setTextValue("Teleseismic");
        prompt->accept();
    });
    buttonOf(d, "A&dd")->click();
    std::ifstream in(p.ctx.settings.programDirectory / "filter.dat");
    std::stringstream file;
    file << in.rdbuf();
    EXPECT_EQ(file.str(), "\"Teleseismic\" 1 4 1 2 5 0.1 0 1 0.707 0.1 1\n");
    EXPECT_EQ(named<QComboBox>(d, "presets")->currentText(), "Teleseismic");
    buttonOf(d, "&Save as default")->setChecked(true);
    buttonOf(d, "&Close")->click();
    EXPECT_EQ(p.ctx.ini.getString("Filter", "Time"), "3 5 4 0.1 2 0 1 0.707 0.1 1");
}

} // namespace
} // namespace tlx::app
