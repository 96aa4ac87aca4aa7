// "Phase Control" from the View menu: IASP91 phases added and removed as a user picks them; OK
// writes phases.dat and the kind, Cancel after changes brings back the list phases.dat holds.
#include "app/phase_control_dialog.h"
#include "core/file_io.h"
#include "core/ini_profile.h"
#include "program_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

std::vector<std::string> items(QWidget* d, const char* list) {
    std::vector<std::string> out;
    auto* w = d->findChild<QListWidget*>(list);
    for (int i = 0; i < w->count(); ++i)
        out.push_back(w->item(i)->text().toStdString());
    return out;
}

TEST(GuiPhaseControl, AddedIasp91PhasesAreSavedAndCancelRestoresTheFile) {
    Program p;
    p.open({p.writeEvent("a.svx")});
    const std::size_t mainSlots = p.ctx.seismo.travel.slots().size();
    std::vector<std::string> added;
    auto drive = [&](auto body) {
        EXPECT_TRUE(answerDialog<CPhaseControlDialog>(*p.frame, Cmd::PhaseControl, body));
    };
    drive([&](QDialog* d) {
        EXPECT_TRUE(items(d, "selected").empty());
        buttonOf(d, "&IASP91 Phases")->click();
        auto* candidates = d->findChild<QListWidget*>("candidates");
        ASSERT_GT(candidates->count(), 3);
        const std::size_t before = static_cast<std::size_t>(candidates->count());
        for (int row : {1, 3}) {
            candidates->item(row)->setSelected(true);
            added.push_back(candidates->item(row)->text().toStdString());
        }
        buttonOf(d, "&Add")->click();
        EXPECT_EQ(items(d, "selected").size(), 2u);
        EXPECT_EQ(items(d, "candidates").size(), before - 2);
        d->findChild<QListWidget*>("selected")->item(0)->setSelected(true);
        bool iasp91File = false;
        for (QLabel* l : d->findChildren<QLabel*>())
            iasp91File |= l->text() == "IASP91.DAT";
        EXPECT_TRUE(iasp91File);
        buttonOf(d, "&Ok")->click();
    });
    std::string saved;
    ASSERT_TRUE(readTextFile(p.dir / "phases.dat", saved, 1 << 16));
    for (const std::string& name : added)
        EXPECT_NE(saved.find(name + " I91\n"), std::string::npos) << saved;
    EXPECT_EQ(IniProfile(p.dir / "TELLURIX.INI").getString("Tables", "I91Phases"), "1");
    EXPECT_EQ(p.ctx.seismo.settings.i91Phases, 1);

    // Removing one and cancelling leaves the two phases of the file.
    drive([&](QDialog* d) {
        EXPECT_EQ(items(d, "selected").size(), 2u);
        d->findChild<QListWidget*>("selected")->item(0)->setSelected(true);
        buttonOf(d, "&Remove")->click();
        EXPECT_EQ(items(d, "selected").size(), 1u);
        buttonOf(d, "&Cancel")->click();
    });
    std::size_t extra = 0;
    for (std::size_t k = mainSlots; k < p.ctx.seismo.travel.slots().size(); ++k)
        extra += p.ctx.seismo.travel.slots()[k].empty() ? 0 : 1;
    EXPECT_EQ(extra, 2u);
}

} // namespace
} // namespace tlx::app
