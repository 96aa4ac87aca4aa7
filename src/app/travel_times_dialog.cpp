#include "app/travel_times_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "core/text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tlx::app {

CTravelTimesDialog::CTravelTimesDialog(TravelTimeTablesDialog& logic, Messages& messages, QWidget* parent)
    : QDialog(parent), logic_(logic), messages_(messages) {
    setWindowTitle("Travel-Time Tables");
    auto* top = new QVBoxLayout(this);
    // Regional first, as slots 2 and 3; teleseismic slots 0 and 1.
    const std::pair<const char*, int> groups[] = {{"Regional:", CTravelTm::kRegP},
                                                  {"Teleseismic:", CTravelTm::kTeleP}};
    for (const auto& [title, first] : groups) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        for (int k = 0; k < 2; ++k) {
            const int slot = first + k;
            files_[slot] = new QLabel;
            files_[slot]->setObjectName(QString("file%1").arg(slot));
            ranges_[slot] = new QLabel;
            auto* button = new QPushButton("Change...");
            button->setObjectName(QString("change%1").arg(slot));
            connect(button, &QPushButton::clicked, this, [this, slot] { change(slot); });
            grid->addWidget(new QLabel(k == 0 ? "P Wave File:" : "S Wave File:"), k, 0);
            grid->addWidget(files_[slot], k, 1);
            grid->addWidget(ranges_[slot], k, 2);
            grid->addWidget(button, k, 3);
        }
        top->addWidget(box);
    }
    auto* depthRow = new QHBoxLayout;
    depth_ = new QLineEdit;
    depth_->setObjectName("depth");
    depth_->setMaximumWidth(80);
    depthBar_ = new QScrollBar(Qt::Horizontal);
    depthBar_->setMinimumWidth(160);
    auto* depthLabel = new QLabel("&Depth:");
    depthLabel->setBuddy(depth_);
    depthRow->addWidget(depthLabel);
    depthRow->addWidget(depth_);
    depthRow->addWidget(new QLabel("km"));
    depthRow->addWidget(depthBar_);
    depthRow->addStretch();
    top->addLayout(depthRow);
    auto* modeBox = new QGroupBox("Current Table:");
    auto* modeRow = new QHBoxLayout(modeBox);
    const char* modeNames[3] = {"&Regional", "&Teleseismic", "&IASP91"};
    for (int m = kRegional; m <= kIasp91; ++m) {
        modes_[m] = new QRadioButton(modeNames[m]);
        modeRow->addWidget(modes_[m]);
        connect(modes_[m], &QRadioButton::toggled, this, [this, m](bool on) {
            if (!on) return;
            logic_.setMode(m);
            showDepth();
        });
    }
    modes_[kIasp91]->setEnabled(logic.iasp91Enabled());
    top->addWidget(modeBox);
    allWindows_ = new QCheckBox("&All Event Windows");
    updateLocation_ = new QCheckBox("&Update P && S Location");
    saveAsDefault_ = new QCheckBox("&Save as Default");
    for (QCheckBox* c : {allWindows_, updateLocation_, saveAsDefault_})
        top->addWidget(c);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);

    connect(depthBar_, &QScrollBar::valueChanged, this, [this](int km) {
        logic_.setDepth(km);
        depth_->setText(QString::number(logic_.depth()));
    });
    connect(depth_, &QLineEdit::textEdited, this, [this](const QString& text) {
        int km = 0;
        if (!parseInt(text.trimmed().toStdString(), km)) return;
        logic_.setDepth(km);
        const QSignalBlocker block(depthBar_);
        depthBar_->setValue(logic_.depth());
    });
    modes_[logic.mode()]->setChecked(true);
    showTables();
    showDepth();
}

void CTravelTimesDialog::showTables() {
    for (int slot = 0; slot < 4; ++slot) {
        files_[slot]->setText(QString::fromStdString(logic_.fileName(slot)));
        ranges_[slot]->setText(
            logic_.table(slot).empty()
                ? QString()
                : QString::fromStdString(logic_.distanceText(slot) + "  " + logic_.depthText(slot)));
    }
}

void CTravelTimesDialog::showDepth() {
    const DepthRange r = logic_.depthRange();
    const QSignalBlocker block(depthBar_);
    depthBar_->setRange(r.minimum, r.maximum);
    depthBar_->setSingleStep(r.lineStep);
    depthBar_->setPageStep(r.pageStep);
    depthBar_->setValue(logic_.depth());
    depth_->setText(QString::number(logic_.depth()));
}

void CTravelTimesDialog::change(int slot) {
    const bool pWave = slot == CTravelTm::kTeleP || slot == CTravelTm::kRegP;
    const QString patterns = QString(TravelTimeTablesDialog::browsePattern(pWave)).replace(',', ' ');
    const QString file = QFileDialog::getOpenFileName(this, TravelTimeTablesDialog::browseTitle(pWave),
                                                      QString::fromStdString(logic_.directory().string()),
                                                      QString("Tables (%1)").arg(patterns));
    if (file.isEmpty()) return;
    if (logic_.changeTable(slot, file.toStdString(), messages_)) {
        showTables();
        showDepth();
    }
}

void CTravelTimesDialog::accept() {
    int km = 0;
    if (parseInt(depth_->text().trimmed().toStdString(), km)) logic_.setDepth(km);
    logic_.allWindows = allWindows_->isChecked();
    logic_.updateLocation = updateLocation_->isChecked();
    logic_.saveAsDefault = saveAsDefault_->isChecked();
    QDialog::accept();
}

void editTravelTimeTables(EventWindow& active, const std::vector<EventWindow*>& all, AppContext& ctx,
                          QWidget* parent) {
    TravelTimeTablesDialog logic(ctx.seismo.travel, active.session().travelTimes(), ctx.seismo.settings,
                                 ctx.settings.phaseDirectory);
    CTravelTimesDialog dialog(logic, ctx.messages, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    logic.accept(active.session().travelTimes(), ctx.seismo.settings,
                 logic.saveAsDefault ? &ctx.ini : nullptr);
    for (EventWindow* w : all) {
        if (w != &active && logic.allWindows) logic.applyTo(w->session().travelTimes());
        if (w != &active && !logic.allWindows) continue;
        if (logic.updateLocation) w->session().locateMarkers(true);
        w->refresh();
    }
}

void switchTables(EventWindow& window) {
    const int mode = window.session().travelTimes().useTable == kRegional ? kTeleseismic : kRegional;
    if (window.session().useTable(mode)) window.refresh();
}

} // namespace tlx::app
