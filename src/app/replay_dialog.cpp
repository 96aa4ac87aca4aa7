#include "app/replay_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/replay_setup_dialog.h"
#include "app/replay_status_dialog.h"
#include "app/report_dialog.h"
#include "app/setting_keys.h"
#include "core/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <chrono>

namespace tlx::app {

namespace {

CivilTime utcNow() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return civilFromEpoch(std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

QSpinBox* spin(int low, int high) {
    auto* box = new QSpinBox;
    box->setRange(low, high);
    return box;
}

} // namespace

void showReplay(CMainFrame& frame, AppContext& ctx) {
    CCorvidReplay dialog(ctx, &frame);
    dialog.openFile = [&frame](const std::string& file) { frame.openFiles({file}); };
    dialog.chooseReportTime = [&ctx, &dialog]() -> std::optional<double> {
        if (CReport(ctx, nullptr, &dialog).exec() != QDialog::Accepted || !ctx.reports.selectedRow())
            return std::nullopt;
        return static_cast<double>(ctx.reports.selectedRow()->epochSeconds());
    };
    dialog.exec();
}

CCorvidReplay::CCorvidReplay(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setWindowTitle("WinCorvid / Corvid Replay");
    month_ = spin(1, 12);
    day_ = spin(1, 31);
    year_ = spin(0, 99);
    hour_ = spin(0, 23);
    minute_ = spin(0, 59);
    zone_ = new QComboBox;
    zone_->addItems({" UTC", "Local"});
    reportTime_ = new QLabel;
    channels_ = new QListWidget;
    channels_->setSelectionMode(QAbstractItemView::MultiSelection);
    minutes_ = spin(1, 1440);
    saveNth_ = spin(1, 100);
    mode_ = new QCheckBox("Corvid 2.x &Mode");
    report_ = new QPushButton("&Event Report...");
    auto* eventTime = new QPushButton("Event &Time");
    auto* defaults = new QPushButton("Save as &Default");
    auto* settings = new QPushButton("&Settings...");
    auto* replayButton = new QPushButton("&Replay");
    for (QPushButton* b : {report_, eventTime, defaults, settings})
        b->setAutoDefault(false);
    auto* startRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{month_, day_, year_, hour_, minute_, zone_})
        startRow->addWidget(w);
    auto* form = new QFormLayout;
    form->addRow("Start Time (mm dd yy hh mm):", startRow);
    form->addRow("Report Time:", reportTime_);
    form->addRow("Minutes:", minutes_);
    form->addRow("Save Nth:", saveNth_);
    form->addRow(mode_);
    auto* side = new QHBoxLayout;
    for (QPushButton* b : {report_, eventTime, defaults, settings})
        side->addWidget(b);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(replayButton, QDialogButtonBox::AcceptRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(channels_, 1);
    layout->addLayout(side);
    layout->addWidget(buttons);

    connect(report_, &QPushButton::clicked, this, [this] {
        const std::optional<double> origin = chooseReportTime();
        if (!origin) return;
        const CivilTime t = civilFromEpoch(static_cast<std::int64_t>(*origin));
        reportTime_->setText(QString::fromStdString(
            format("%02d/%02d/%04d %02d:%02d:%02d UTC", t.month, t.day, t.year, t.hour, t.minute, t.second)));
        zone_->setCurrentIndex(0);
        setStart(civilFromEpoch(static_cast<std::int64_t>(*origin) - 120));
    });
    // The time of the active event window's current event, two minutes before its origin.
    connect(eventTime, &QPushButton::clicked, this, [this] {
        auto* frame = qobject_cast<CMainFrame*>(parentWidget());
        EventWindow* window = frame ? frame->activeEventWindow() : nullptr;
        if (!window) return;
        const EventRecord& record = window->doc().record(window->doc().currentRecord());
        const std::size_t current = static_cast<std::size_t>(std::max(0, record.info.currentEvent));
        if (current >= record.info.events.size()) return;
        zone_->setCurrentIndex(0);
        setStart(addSeconds(toCivil(record.info.events[current].originTime), -120));
    });
    connect(defaults, &QPushButton::clicked, this, &CCorvidReplay::saveDefaults);
    connect(settings, &QPushButton::clicked, this, [this] {
        CReplaySetup dialog(setup_, replayFolders(ctx_.settings).front() / "REPLAY.DAT", ctx_.messages, this);
        if (dialog.exec() == QDialog::Accepted) loadSetup();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CCorvidReplay::replay);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCorvidReplay::reject);

    // The last request of this run, else the stored defaults and today at 00:00 UTC.
    minutes_->setValue(readSetting(ctx.ini, keys::kReplayLength));
    saveNth_->setValue(readSetting(ctx.ini, keys::kReplaySaveNth));
    mode_->setChecked(readSetting(ctx.ini, keys::kReplayMode) != 0);
    CivilTime start = utcNow();
    start.hour = start.minute = start.second = 0;
    setStart(start);
    if (ctx.lastReplay) {
        setStart(ctx.lastReplay->request.start);
        zone_->setCurrentIndex(ctx.lastReplay->request.utc ? 0 : 1);
        minutes_->setValue(ctx.lastReplay->request.minutes);
        saveNth_->setValue(ctx.lastReplay->request.saveNth);
    }
    loadSetup();
}

void CCorvidReplay::showEvent(QShowEvent* event) {
    report_->setEnabled(static_cast<bool>(chooseReportTime));
    QDialog::showEvent(event);
}

std::vector<std::filesystem::path> replayFolders(const AppSettings& settings) {
    std::vector<std::filesystem::path> folders;
    if (!settings.localDirectory.empty()) folders.push_back(settings.localDirectory);
    folders.push_back(settings.programDirectory);
    return folders;
}

void editReplaySetup(AppContext& ctx, QWidget* parent) {
    const std::vector<std::filesystem::path> folders = replayFolders(ctx.settings);
    CReplaySetup(readReplayDat(folders).value_or(ReplaySetup{}), folders.front() / "REPLAY.DAT", ctx.messages,
                 parent)
        .exec();
}

void CCorvidReplay::loadSetup() {
    setup_ = readReplayDat(replayFolders(ctx_.settings)).value_or(ReplaySetup{});
    std::vector<std::string> names =
        ctx_.lastReplay ? ctx_.lastReplay->names : split(readSetting(ctx_.ini, keys::kReplayNames), ',');
    channels_->clear();
    for (const ReplayChannel& channel : setup_.channels) {
        channels_->addItem(QString::fromStdString(replayChannelListText(channel)));
        if (std::find(names.begin(), names.end(), channel.name) != names.end())
            channels_->item(channels_->count() - 1)->setSelected(true);
    }
}

void CCorvidReplay::setStart(const CivilTime& start) {
    month_->setValue(start.month);
    day_->setValue(start.day);
    year_->setValue(start.year % 100);
    hour_->setValue(start.hour);
    minute_->setValue(start.minute);
}

ReplayRequest CCorvidReplay::request() const {
    ReplayRequest r;
    const int yy = year_->value();
    r.start = CivilTime{yy < 70 ? 2000 + yy : 1900 + yy,
                        month_->value(),
                        day_->value(),
                        hour_->value(),
                        minute_->value(),
                        0,
                        0};
    r.utc = zone_->currentIndex() == 0;
    r.minutes = minutes_->value();
    r.saveNth = saveNth_->value();
    return r;
}

std::vector<std::string> CCorvidReplay::selectedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < channels_->count(); ++i)
        if (channels_->item(i)->isSelected())
            names.push_back(setup_.channels[static_cast<std::size_t>(i)].name);
    return names;
}

void CCorvidReplay::saveDefaults() {
    std::string names;
    for (const std::string& name : selectedNames())
        names += (names.empty() ? "" : ",") + name;
    writeSetting(ctx_.ini, keys::kReplayNames, names);
    writeSetting(ctx_.ini, keys::kReplayLength, minutes_->value());
    writeSetting(ctx_.ini, keys::kReplaySaveNth, saveNth_->value());
    writeSetting(ctx_.ini, keys::kReplayMode, mode_->isChecked() ? 1 : 0);
}

void CCorvidReplay::replay() {
    const std::vector<std::string> names = selectedNames();
    if (names.empty()) {
        ctx_.messages.error("No Corvid Channels Selected");
        return;
    }
    const ReplayRequest r = request();
    ctx_.lastReplay = ReplayChoice{r, names};
    accept();
    for (const ReplayChannel& channel : setup_.channels) {
        if (std::find(names.begin(), names.end(), channel.name) == names.end()) continue;
        ReplaySent sent;
        std::string error;
        if (!sendReplayRequest(setup_, channel, r, utcNow(), sent, error)) {
            ctx_.messages.error(error);
            continue;
        }
        CReplayStat status(sent, parentWidget());
        status.exec();
        const ReplayWait& wait = status.result();
        if (wait.outcome == ReplayOutcome::Cancelled) break;
        if (wait.outcome == ReplayOutcome::Arrived && openFile)
            openFile(sent.expectedFile.string());
        else if (!wait.message.empty())
            ctx_.messages.error(wait.message);
    }
}

} // namespace tlx::app
