#include "app/ew_picks_dialog.h"

#include "app/dialog_placement.h"
#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/setting_keys.h"
#include "core/data_paths.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/process.h"
#include "seismo/geodesy.h"
#include "services/ew_record_pick.h"
#include "views/eq_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {

namespace {

QPushButton* button(const char* text, QLayout* into) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    into->addWidget(b);
    return b;
}

} // namespace

CEwPicksDlg::CEwPicksDlg(CMainFrame& frame, AppContext& ctx)
    : QDialog(&frame, Qt::Dialog), frame_(frame), ctx_(ctx) {
    setWindowTitle("Earthworm Picks");
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    list_ = new QListWidget;
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    weight_ = new QComboBox;
    weight_->addItems({"0 - Full", "1 - 3/4", "2 - 1/2", "3 - 1/4", "4 - None", "Disabled"});
    includeReport_ = new QCheckBox("Include Event Report");
    getFirst_ = new QCheckBox("Get Picks First");
    clearFirst_ = new QCheckBox("Clear Summary");
    debug_ = new QCheckBox("Debug");
    range_ = new QLineEdit;
    eventTime_ = new QLabel;
    depth_ = new QLabel;
    locationError_ = new QLabel;
    for (QLabel* l : {eventTime_, depth_, locationError_})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    includeReport_->setChecked(readSetting(ctx.ini, keys::kEwIncludeReport));
    getFirst_->setChecked(readSetting(ctx.ini, keys::kEwGetPhasesFirst));
    clearFirst_->setChecked(readSetting(ctx.ini, keys::kEwClearFirst));
    range_->setText(QString::number(readSetting(ctx.ini, keys::kEwRange)));
    commandFile_ = readSetting(ctx.ini, keys::kEwCmdFile);
    summaryFile_ = readSetting(ctx.ini, keys::kEwSumFile);

    auto* weightRow = new QHBoxLayout;
    weightRow->addWidget(new QLabel("Weight:"));
    weightRow->addWidget(weight_, 1);
    QPushButton* all = button("All", weightRow);
    auto* fileButtons = new QGridLayout;
    const char* fileTexts[] = {"&Reload File", "&Update Picks", "&Get Picks",
                               "&Load",        "Sa&ve",         "Edit...",
                               "&Set...",      "Clea&r",        "Redisplay Summary File"};
    QPushButton* fileButton[9];
    for (int i = 0; i < 9; ++i) {
        fileButton[i] = new QPushButton(fileTexts[i]);
        fileButton[i]->setAutoDefault(false);
        fileButtons->addWidget(fileButton[i], i / 3, i % 3);
    }
    auto* location = new QGroupBox("Location");
    auto* locationLayout = new QFormLayout(location);
    auto* display = new QPushButton("&Display On Google Earth");
    display->setAutoDefault(false);
    locationLayout->addRow(display);
    locationLayout->addRow(includeReport_);
    locationLayout->addRow(getFirst_);
    locationLayout->addRow(clearFirst_);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(range_);
    rangeRow->addWidget(new QLabel("Meters"));
    locationLayout->addRow("Range:", rangeRow);
    locationLayout->addRow("Event Time:", eventTime_);
    locationLayout->addRow("Depth:", depth_);
    locationLayout->addRow("Location Error:", locationError_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(weightRow);
    layout->addLayout(fileButtons);
    layout->addWidget(location);
    layout->addWidget(debug_);

    connect(weight_, &QComboBox::activated, this, [this] { applyWeight(false); });
    connect(all, &QPushButton::clicked, this, [this] { applyWeight(true); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= static_cast<int>(phases_.picks().size())) return;
        const EwPick& pick = phases_.picks()[static_cast<std::size_t>(row)];
        weight_->setCurrentIndex(pick.disabled ? 5 : std::clamp(pick.weight - '0', 0, 4));
    });
    connect(fileButton[0], &QPushButton::clicked, this, [this] { loadPhaseFile(phaseFile_); });
    connect(fileButton[1], &QPushButton::clicked, this, &CEwPicksDlg::updatePicks);
    connect(fileButton[2], &QPushButton::clicked, this, &CEwPicksDlg::getPicks);
    connect(fileButton[3], &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, "Open ARC File", QString::fromStdString(phaseFile_), "ARC Files (*.arc);;All Files (*)");
        if (!path.isEmpty()) loadPhaseFile(path.toStdString());
    });
    connect(fileButton[4], &QPushButton::clicked, this, &CEwPicksDlg::save);
    connect(fileButton[5], &QPushButton::clicked, this, &CEwPicksDlg::edit);
    connect(fileButton[6], &QPushButton::clicked, this, &CEwPicksDlg::chooseCommandFile);
    connect(fileButton[7], &QPushButton::clicked, this, &CEwPicksDlg::clearSummary);
    connect(fileButton[8], &QPushButton::clicked, this, [this] {
        std::string text;
        if (!readTextFile(summaryFile_, text)) {
            ctx_.messages.error(format("Summary File %s Not Found", summaryFile_.c_str()));
            return;
        }
        showLocations(parseSummary(text));
    });
    connect(display, &QPushButton::clicked, this, &CEwPicksDlg::displayOnGoogleEarth);
    resize(520, 560);
    restorePlacement(this, ctx.ini, keys::kEwPicksPos.key.data(), keys::kEwPicksPos.section.data());
    debug("EwPicks OnInitDialog");
    const std::string stored = readSetting(ctx.ini, keys::kEwPicksFile);
    if (!stored.empty()) loadPhaseFile(stored);
}

CEwPicksDlg* CEwPicksDlg::showFor(CMainFrame& frame, AppContext& ctx) {
    auto* dialog = frame.findChild<CEwPicksDlg*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) dialog = new CEwPicksDlg(frame, ctx);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void CEwPicksDlg::debug(const std::string& line) const {
    if (debug_->isChecked()) logLine(line);
}

bool CEwPicksDlg::loadPhaseFile(const std::string& path) {
    debug(format("LoadPhaseFile File = %s", path.c_str()));
    std::string error;
    EwPhaseFile loaded;
    if (!loaded.read(path, error)) {
        ctx_.messages.error(error);
        return false;
    }
    phases_ = std::move(loaded);
    phaseFile_ = path;
    refreshList();
    return true;
}

void CEwPicksDlg::refreshList() {
    const int row = list_->currentRow();
    list_->clear();
    for (const EwPick& pick : phases_.picks())
        list_->addItem(QString::fromStdString(ewPickListLine(pick)));
    if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
}

void CEwPicksDlg::applyWeight(bool all) {
    const int entry = weight_->currentIndex();
    const int row = list_->currentRow();
    for (int i = 0; i < static_cast<int>(phases_.picks().size()); ++i)
        if (all || i == row) ewApplyWeightEntry(phases_.picks()[static_cast<std::size_t>(i)], entry);
    refreshList();
}

void CEwPicksDlg::addPick(EventWindow& window) {
    if (phaseFile_.empty()) return;
    const views::EqViewModel& model = window.view()->model();
    const views::Marker& p = model.marker(views::kMarkerP);
    if (!p.placed()) return;
    const EventRecord& record = window.doc().record(window.doc().currentRecord());
    std::string stationFile;
    if (!commandFile_.empty()) {
        std::string text;
        if (readTextFile(commandFile_, text)) {
            const EwCommandFile command = parseCommandFile(text);
            if (!command.stationFile.empty())
                stationFile = resolveNamed(commandFile_, command.stationFile).string();
        }
    }
    if (addRecordPick(phases_, record, ewTimeOfMarker(record, p.timeMs), stationFile, ctx_.messages))
        refreshList();
}

void CEwPicksDlg::updatePicks() {
    for (EventWindow* window : frame_.eventWindows()) {
        const EventRecord& record = window->doc().record(window->doc().currentRecord());
        for (const EwPick& pick : phases_.picks())
            if (ewPickMatches(pick, record)) {
                window->session().placeMarkers(ewMarkerOfTime(record, pick.time), std::nullopt);
                window->refresh();
            }
    }
}

void CEwPicksDlg::getPicks() {
    for (EventWindow* window : frame_.eventWindows()) {
        const EventRecord& record = window->doc().record(window->doc().currentRecord());
        const views::Marker& p = window->view()->model().marker(views::kMarkerP);
        if (!p.placed()) continue;
        for (EwPick& pick : phases_.picks())
            if (ewPickMatches(pick, record)) pick.time = ewTimeOfMarker(record, p.timeMs);
    }
    refreshList();
}

void CEwPicksDlg::save() {
    if (phaseFile_.empty() || ctx_.messages.ask("Overwrite Phase File?", Buttons::YesNo) != Answer::Yes)
        return;
    debug(format("SavePhaseFile File = %s new flag = 0 numPicks = %zu", phaseFile_.c_str(),
                 phases_.picks().size()));
    std::string error;
    if (!phases_.write(phaseFile_, error)) ctx_.messages.error(error);
}

void CEwPicksDlg::chooseCommandFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, "Open Command File", QString::fromStdString(commandFile_),
                                     "Command Files (*.hyp);;All Files (*)");
    if (path.isEmpty()) return;
    commandFile_ = path.toStdString();
    std::string text;
    if (readTextFile(commandFile_, text)) {
        const EwCommandFile command = parseCommandFile(text);
        if (!command.summaryFile.empty())
            summaryFile_ = resolveNamed(commandFile_, command.summaryFile).string();
    }
}

void CEwPicksDlg::edit() {
    for (const std::string& file : {phaseFile_, commandFile_})
        if (!file.empty()) openWithDesktop(file);
}

void CEwPicksDlg::clearSummary() {
    std::error_code ec;
    if (!summaryFile_.empty()) std::filesystem::remove(summaryFile_, ec);
}

std::optional<EwKmlPoint> CEwPicksDlg::reportPoint() const {
    if (!includeReport_->isChecked()) return std::nullopt;
    if (const ReportRow* row = ctx_.reports.selectedRow())
        return EwKmlPoint{"Report", "Event Report", "#report-pushpin", row->latitude, row->longitude};
    // Without a chosen report, the event the records hold.
    EventWindow* window = frame_.activeEventWindow();
    if (!window) return std::nullopt;
    const EventRecord& record = window->doc().record(window->doc().currentRecord());
    const auto& events = record.info.events;
    const std::size_t current = static_cast<std::size_t>(std::max(0, record.info.currentEvent));
    if (current >= events.size()) return std::nullopt;
    return EwKmlPoint{"Report", "Event Report", "#report-pushpin", events[current].latitude,
                      events[current].longitude};
}

bool CEwPicksDlg::displayOnGoogleEarth() {
    if (phaseFile_.empty() || commandFile_.empty()) return false;
    std::string text;
    if (readTextFile(commandFile_, text)) {
        const EwCommandFile command = parseCommandFile(text);
        if (!command.stationFile.empty() &&
            !placeStations(phases_.picks(), resolveNamed(commandFile_, command.stationFile))) {
            logLine(format("Can't Get Station Information in file %s", command.stationFile.c_str()));
            return false;
        }
    }
    if (getFirst_->isChecked()) getPicks();
    EwRunSettings settings;
    settings.programDirectory = programDirectory();
    settings.phaseFile = phaseFile_;
    settings.commandFile = commandFile_;
    settings.clearFirst = clearFirst_->isChecked();
    debug(format("Running Hyp2000 Command = %s Command File = %s",
                 (settings.programDirectory / "runhyp2k.sh").c_str(), commandFile_.c_str()));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const EwRunResult run = runLocator(phases_, settings, [] {
        QApplication::processEvents();
        return true;
    });
    QApplication::restoreOverrideCursor();
    summaryFile_ = run.summaryFile.string();
    if (!run.error.empty()) ctx_.messages.error(run.error);
    return run.ok && showLocations(run.locations);
}

bool CEwPicksDlg::showLocations(const std::vector<EwLocation>& locations) {
    if (locations.empty()) {
        logLine("Error Parsing Summary File");
        return false;
    }
    std::vector<EwKmlPoint> stations;
    for (const EwPick& pick : phases_.picks())
        if (pick.stationKnown)
            stations.push_back({pick.name.substr(0, pick.name.find('.')), "Station", "#sta-pushpin",
                                pick.latitude, pick.longitude});
    double range = 20000;
    parseDouble(range_->text().toStdString(), range);
    const std::optional<EwKmlPoint> report = reportPoint();
    const std::filesystem::path kml = programDirectory() / "EwSummary.kml";
    std::string error;
    if (!writeSummaryKml(kml, ewSummaryKml(locations, report, stations, range), error)) {
        ctx_.messages.error(error);
        return false;
    }
    debug(format("Before ShellExecute KML file = %s", kml.c_str()));
    openWithDesktop(kml.string());
    const EwLocation& last = locations.back();
    eventTime_->setText(QString::fromStdString(ewTimeText(std::round(last.originTime * 100) / 100)));
    depth_->setText(QString::fromStdString(format("%3.1fkm", last.depth)));
    GreatCircle gc;
    if (report && greatCircle(report->latitude, report->longitude, last.latitude, last.longitude, gc))
        locationError_->setText(QString::fromStdString(
            format("%3.2fkm (%3.2f miles) Azimuth:%3.1f deg.", gc.km, gc.km * 0.621371, gc.azimuth12)));
    else
        locationError_->clear();
    return true;
}

void CEwPicksDlg::done(int result) {
    writeSetting(ctx_.ini, keys::kEwPicksFile, phaseFile_);
    writeSetting(ctx_.ini, keys::kEwCmdFile, commandFile_);
    writeSetting(ctx_.ini, keys::kEwSumFile, summaryFile_);
    writeSetting(ctx_.ini, keys::kEwIncludeReport, includeReport_->isChecked());
    writeSetting(ctx_.ini, keys::kEwClearFirst, clearFirst_->isChecked());
    writeSetting(ctx_.ini, keys::kEwGetPhasesFirst, getFirst_->isChecked());
    int range = 0;
    if (parseInt(range_->text().toStdString(), range)) writeSetting(ctx_.ini, keys::kEwRange, range);
    storePlacement(this, ctx_.ini, keys::kEwPicksPos.key.data(), keys::kEwPicksPos.section.data());
    QDialog::done(result);
}

} // namespace tlx::app
