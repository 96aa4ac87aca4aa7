#include "app/filter_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/shell_commands.h"
#include "core/text.h"
#include "views/document_filter_target.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {
namespace {

QComboBox* poleList() {
    auto* combo = new QComboBox;
    combo->setEditable(true); // a typed count outside the list gets the pole-number message
    for (int poles : kPoleChoices)
        combo->addItem(QString::number(poles));
    return combo;
}

QString number(double value) {
    return QString::fromStdString(format("%g", value));
}

void setPoles(QComboBox* combo, int poles) {
    const int at = combo->findText(QString::number(poles), Qt::MatchExactly);
    if (at >= 0)
        combo->setCurrentIndex(at);
    else
        combo->setEditText(QString::number(poles));
}

double valueOf(const QLineEdit* edit) {
    return leadingDouble(edit->text().toStdString());
}

} // namespace

CFilterDialog::CFilterDialog(EventWindow& window, AppContext& ctx)
    : QDialog(&window, Qt::Dialog), window_(window), ctx_(ctx),
      logic_(ctx.settings.programDirectory / "filter.dat", ctx.messages) {
    setWindowTitle("Time Domain Filtering");
    setModal(false);

    auto* butterworth = new QGroupBox("Butterworth Filter");
    auto* bw = new QGridLayout(butterworth);
    lowPass_ = new QCheckBox("&Low-Pass");
    lowCutoff_ = new QLineEdit;
    lowPoles_ = poleList();
    highPass_ = new QCheckBox("&High-Pass");
    highCutoff_ = new QLineEdit;
    highPoles_ = poleList();
    auto* lowLabel = new QLabel("Cutoff &Freq (Hz):");
    lowLabel->setBuddy(lowCutoff_);
    bw->addWidget(lowPass_, 0, 0);
    bw->addWidget(lowLabel, 0, 1);
    bw->addWidget(lowCutoff_, 0, 2);
    bw->addWidget(new QLabel("Poles"), 0, 3);
    bw->addWidget(lowPoles_, 0, 4);
    bw->addWidget(highPass_, 1, 0);
    bw->addWidget(new QLabel("Cutoff Freq (Hz):"), 1, 1);
    bw->addWidget(highCutoff_, 1, 2);
    bw->addWidget(new QLabel("Poles"), 1, 3);
    bw->addWidget(highPoles_, 1, 4);

    auto* period = new QGroupBox("Extended Period Filter");
    auto* ep = new QGridLayout(period);
    extended_ = new QCheckBox("&Enable");
    sensorPeriod_ = new QLineEdit;
    sensorQ_ = new QLineEdit;
    extendedHighPass_ = new QLineEdit;
    backward_ = new QCheckBox("Backward High-Pass Filter");
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"Sensor &Period:", sensorPeriod_}, {"Sensor &Q:", sensorQ_}, {"&High-Pass:", extendedHighPass_}};
    const char* units[] = {"(Seconds)", "", "(Hz)"};
    ep->addWidget(extended_, 0, 0);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(rows[i].first);
        label->setBuddy(rows[i].second);
        ep->addWidget(label, i + 1, 0);
        ep->addWidget(rows[i].second, i + 1, 1);
        ep->addWidget(new QLabel(units[i]), i + 1, 2);
    }
    ep->addWidget(backward_, 4, 0, 1, 3);

    auto* predefined = new QGroupBox("Predefined Filters");
    auto* pd = new QHBoxLayout(predefined);
    presets_ = new QComboBox;
    presets_->setMinimumContentsLength(24);
    update_ = new QPushButton("&Update");
    add_ = new QPushButton("A&dd");
    save_ = new QPushButton("&Save");
    remove_ = new QPushButton("&Remove");
    pd->addWidget(presets_, 1);
    for (QPushButton* b : {update_, add_, save_, remove_})
        pd->addWidget(b);

    saveDefault_ = new QCheckBox("&Save as default");
    apply_ = new QPushButton("&Apply Filter");
    undo_ = new QPushButton("U&ndo Filter");
    auto* close = new QPushButton("&Close");
    auto* help = new QPushButton("&Help");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveDefault_);
    buttons->addStretch();
    for (QPushButton* b : {apply_, undo_, close, help}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    for (QPushButton* b : {update_, add_, save_, remove_})
        b->setAutoDefault(false);

    // Names for the window tests.
    const std::pair<QWidget*, const char*> names[] = {{lowCutoff_, "lowCutoff"},
                                                      {lowPoles_, "lowPoles"},
                                                      {highCutoff_, "highCutoff"},
                                                      {highPoles_, "highPoles"},
                                                      {presets_, "presets"},
                                                      {sensorPeriod_, "sensorPeriod"},
                                                      {extendedHighPass_, "extendedHighPass"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(name);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(butterworth);
    layout->addWidget(period);
    layout->addWidget(predefined);
    layout->addLayout(buttons);

    // Leaving an edit: "10s" in a frequency edit is a period, "2hz" in the period edit a frequency.
    for (QLineEdit* e : {lowCutoff_, highCutoff_, extendedHighPass_})
        connect(e, &QLineEdit::editingFinished, this, [this, e] {
            e->setText(QString::fromStdString(normaliseFrequencyEdit(e->text().toStdString())));
            updateStates();
        });
    connect(sensorPeriod_, &QLineEdit::editingFinished, this, [this] {
        sensorPeriod_->setText(
            QString::fromStdString(normalisePeriodEdit(sensorPeriod_->text().toStdString())));
    });
    for (QCheckBox* c : {lowPass_, highPass_, extended_})
        connect(c, &QCheckBox::toggled, this, &CFilterDialog::updateStates);
    for (QLineEdit* e : {lowCutoff_, highCutoff_})
        connect(e, &QLineEdit::textChanged, this, &CFilterDialog::updateStates);
    connect(presets_, &QComboBox::currentIndexChanged, this,
            [this](int index) { logic_.settings().presetIndex = index; });
    connect(window.view(), &views::CEqView::readoutsChanged, this, [this] {
        if (isVisible()) updateStates();
    });
    connect(apply_, &QPushButton::clicked, this, &CFilterDialog::applyFilter);
    connect(undo_, &QPushButton::clicked, this, &CFilterDialog::undoFilter);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(ctx_, this, "analysis"); });
    connect(update_, &QPushButton::clicked, this, [this] {
        logic_.update(presets_->currentIndex());
        showSettings();
    });
    connect(add_, &QPushButton::clicked, this, &CFilterDialog::addPreset);
    connect(save_, &QPushButton::clicked, this, [this] {
        readControls();
        logic_.save(presets_->currentIndex());
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        readControls();
        logic_.remove(presets_->currentIndex());
        fillPresets(); // also when the file could not be rewritten: the list is what the dialog holds
    });
}

CFilterDialog* CFilterDialog::showFor(EventWindow& window, AppContext& ctx) {
    auto* dialog = window.findChild<CFilterDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) dialog = new CFilterDialog(window, ctx);
    if (!dialog->isVisible()) dialog->start();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void CFilterDialog::start() {
    logic_.start(windowSettings_, ctx_.ini);
    showSettings();
    fillPresets();
}

void CFilterDialog::fillPresets() {
    const int at = logic_.settings().presetIndex;
    {
        const QSignalBlocker block(presets_);
        presets_->clear();
        for (const FilterPreset& p : logic_.presets())
            presets_->addItem(QString::fromStdString(p.name));
        if (at >= 0 && at < presets_->count()) presets_->setCurrentIndex(at);
    }
    logic_.settings().presetIndex = presets_->currentIndex();
    updateStates();
}

void CFilterDialog::showSettings() {
    // A copy: every control that changes reads the controls back into the settings.
    const TimeFilterSettings s = logic_.settings();
    const QSignalBlocker b1(lowPass_), b2(highPass_), b3(extended_), b4(lowCutoff_), b5(highCutoff_);
    lowPass_->setChecked(s.lowPass);
    highPass_->setChecked(s.highPass);
    lowCutoff_->setText(number(s.lowCutoff));
    highCutoff_->setText(number(s.highCutoff));
    setPoles(lowPoles_, s.lowPoles);
    setPoles(highPoles_, s.highPoles);
    extended_->setChecked(s.extendedOn);
    sensorPeriod_->setText(number(s.sensorPeriod));
    sensorQ_->setText(number(s.sensorQ));
    extendedHighPass_->setText(number(s.extendedHighPass));
    backward_->setChecked(s.backwardHighPass);
    updateStates();
}

void CFilterDialog::readControls() {
    TimeFilterSettings& s = logic_.settings();
    s.lowPass = lowPass_->isChecked();
    s.highPass = highPass_->isChecked();
    s.lowCutoff = valueOf(lowCutoff_);
    s.highCutoff = valueOf(highCutoff_);
    s.lowPoles = parsePoles(lowPoles_->currentText().toStdString());
    s.highPoles = parsePoles(highPoles_->currentText().toStdString());
    s.extendedOn = extended_->isChecked();
    s.sensorPeriod = valueOf(sensorPeriod_);
    s.sensorQ = valueOf(sensorQ_);
    s.extendedHighPass = valueOf(extendedHighPass_);
    s.backwardHighPass = backward_->isChecked();
}

void CFilterDialog::updateStates() {
    readControls();
    lowCutoff_->setEnabled(logic_.cutoffControlsEnabled(true));
    lowPoles_->setEnabled(logic_.cutoffControlsEnabled(true));
    highCutoff_->setEnabled(logic_.cutoffControlsEnabled(false));
    highPoles_->setEnabled(logic_.cutoffControlsEnabled(false));
    apply_->setEnabled(logic_.applyEnabled());
    // The window's own Undo Filtering may have used the copy already.
    undo_->setEnabled(logic_.undoEnabled() && window_.doc().canUndoFiltering());
    for (QPushButton* b : {update_, save_, remove_})
        b->setEnabled(logic_.presetButtonsEnabled());
    add_->setEnabled(logic_.addEnabled());
}

void CFilterDialog::applyFilter() {
    readControls();
    DocumentFilterTarget target(window_.doc());
    logic_.apply(target);
    updateStates();
}

void CFilterDialog::undoFilter() {
    window_.doc().undoFiltering();
    logic_.undone();
    updateStates();
}

void CFilterDialog::addPreset() {
    readControls();
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, "Filter Name", "New Filter Name:", QLineEdit::Normal, {}, &ok);
    if (!ok || name.isEmpty()) return;
    logic_.add(name.toStdString());
    fillPresets();
}

void CFilterDialog::done(int result) {
    readControls();
    logic_.close(windowSettings_, ctx_.ini, saveDefault_->isChecked());
    QDialog::done(result);
}

} // namespace tlx::app
