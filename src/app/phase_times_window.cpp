#include "app/phase_times_window.h"

#include "app/app_settings.h"
#include "app/event_window.h"
#include "app/main_frame.h"

#include <QHeaderView>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tlx::app {
namespace {

const char* const kSection = "Settings";
const char* const kKey = "PhaseTimePos";

int timeOfDay(std::int64_t ms) {
    return static_cast<int>(((ms % kDayMs) + kDayMs) % kDayMs);
}

} // namespace

CPhaseTimes::CPhaseTimes(IniProfile& ini, QWidget* parent) : QDialog(parent), ini_(ini) {
    setWindowTitle("Phase Times");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, 3);
    table_->setHorizontalHeaderLabels({"Phase", "Time", "After Origin"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table_);
    resize(320, 360);
    // The normal rectangle of the saved placement: left, top, right, bottom.
    if (const auto pos = parseFramePos(ini.getString(kSection, kKey)))
        if ((*pos)[6] > (*pos)[4] && (*pos)[7] > (*pos)[5])
            setGeometry((*pos)[4], (*pos)[5], (*pos)[6] - (*pos)[4], (*pos)[7] - (*pos)[5]);
}

void CPhaseTimes::showRows(const std::vector<PhaseTimeRow>& rows) {
    table_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i);
        table_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(rows[i].name)));
        table_->setItem(r, 1,
                        new QTableWidgetItem(QString::fromStdString(timeOfDayText(rows[i].timeOfDayMs))));
        table_->setItem(r, 2, new QTableWidgetItem(QString::fromStdString(rows[i].afterOrigin)));
    }
}

void CPhaseTimes::hideEvent(QHideEvent* event) {
    const QRect g = geometry();
    const FramePos pos{-1, -1, -1, -1, g.left(), g.top(), g.right() + 1, g.bottom() + 1};
    ini_.setString(kSection, kKey, framePosText(pos));
    QDialog::hideEvent(event);
}

std::vector<PhaseTimeRow> phaseTimesOf(EventWindow& window, const AppContext& ctx) {
    const views::EventSession& session = window.session();
    const views::Readout r = session.readout();
    if (!r.found || !r.pMs || !r.sMs) return {};
    return phaseTimeRows(ctx.seismo.travel, session.travelTimes(), timeOfDay(r.originMs), r.degrees,
                         timeOfDay(*r.pMs), timeOfDay(*r.sMs), ctx.seismo.settings.i91Phases != 0);
}

CPhaseTimes* showPhaseTimes(EventWindow& window, AppContext& ctx, QPointer<CPhaseTimes>& shown,
                            QWidget* frame) {
    if (!shown) shown = new CPhaseTimes(ctx.ini, frame);
    shown->showRows(phaseTimesOf(window, ctx));
    shown->show();
    shown->raise();
    return shown;
}

} // namespace tlx::app
