#include "app/remote_request_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/remote_station_dialog.h"
#include "app/report_dialog.h"
#include "app/send_status_dialog.h"
#include "app/smtp_auth_dialog.h"
#include "core/file_io.h"
#include "core/text.h"
#include "services/mail_message.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

namespace tlx::app {

namespace {

QSpinBox* spin(int low, int high, int value) {
    auto* s = new QSpinBox;
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

std::filesystem::path remoteDat(const MailContext& ctx) {
    const std::filesystem::path found = findFileAnyCase(ctx.programDirectory, "REMOTE.DAT");
    return found.empty() ? ctx.programDirectory / "REMOTE.DAT" : found;
}

} // namespace

CRemoteReq::CRemoteReq(const MailContext& context, RemoteRequestForm& form,
                       std::optional<CivilTime> eventStart, QWidget* parent)
    : QDialog(parent), ctx_(context), form_(form) {
    setWindowTitle("Remote Event File Request");
    readRemoteDat(remoteDat(ctx_), settings_);
    loadedText_ = remoteDatText(settings_);
    transport_ = CAuth::readTransport(ctx_.ini);

    auto* grid = new QGridLayout(this);
    auto* time = new QHBoxLayout;
    month_ = spin(1, 12, form.month);
    day_ = spin(1, 31, form.day);
    year_ = spin(0, 99, form.year2);
    hour_ = spin(0, 23, form.hour);
    minute_ = spin(0, 59, form.minute);
    zone_ = new QComboBox;
    zone_->addItems({" UTC", "Local"});
    zone_->setCurrentIndex(form.localTime ? 1 : 0);
    for (QWidget* w :
         std::initializer_list<QWidget*>{month_, new QLabel("/"), day_, new QLabel("/"), year_,
                                         new QLabel(" "), hour_, new QLabel(":"), minute_, zone_})
        time->addWidget(w);
    auto* report = new QPushButton("&Event Report...");
    connect(report, &QPushButton::clicked, this, [this] {
        const std::optional<CivilTime> origin = chooseReportTime ? chooseReportTime() : std::nullopt;
        if (!origin) return;
        month_->setValue(origin->month);
        day_->setValue(origin->day);
        year_->setValue(origin->year % 100);
        hour_->setValue(origin->hour);
        minute_->setValue(origin->minute);
        zone_->setCurrentIndex(0);
    });
    auto* eventTime = new QPushButton("Event &Time");
    eventTime->setEnabled(eventStart.has_value());
    time->addWidget(report);
    time->addWidget(eventTime);
    connect(eventTime, &QPushButton::clicked, this, [this, eventStart] {
        month_->setValue(eventStart->month);
        day_->setValue(eventStart->day);
        year_->setValue(eventStart->year % 100);
        hour_->setValue(eventStart->hour);
        minute_->setValue(eventStart->minute);
        zone_->setCurrentIndex(0);
    });

    auto* fields = new QFormLayout;
    auto field = [](const std::string& text) { return new QLineEdit(QString::fromStdString(text)); };
    sendTo_ = field(settings_.toAddress);
    userName_ = field(settings_.userName);
    popAccount_ = field(settings_.popAccount);
    server_ = field(settings_.server);
    auto* auth = new QPushButton("SMTP Authentication...");
    fields->addRow("Report Time:", time);
    fields->addRow("Se&nd To:", sendTo_);
    fields->addRow("&Your Real Name", userName_);
    fields->addRow("Email Address or &Pop Account:", popAccount_);
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(server_, 1);
    serverRow->addWidget(auth);
    fields->addRow("S&MTP Host:", serverRow);
    grid->addLayout(fields, 0, 0, 1, 2);

    stations_ = new QListWidget;
    channels_ = new QListWidget;
    auto* stationButtons = new QHBoxLayout;
    auto* add = new QPushButton("Add");
    auto* edit = new QPushButton("Edit");
    auto* del = new QPushButton("Del");
    auto* load = new QPushButton("Load Station File...");
    for (QPushButton* b : {add, edit, del, load})
        stationButtons->addWidget(b);
    grid->addWidget(new QLabel("Stations:"), 1, 0);
    grid->addWidget(new QLabel("Channels:"), 1, 1);
    grid->addWidget(stations_, 2, 0);
    grid->addWidget(channels_, 2, 1);
    grid->addLayout(stationButtons, 3, 0);

    auto* options = new QFormLayout;
    length_ = spin(1, 1440, form.lengthMinutes);
    rate_ = new QComboBox;
    for (int r : kRemoteSampleRates)
        rate_->addItem(QString::number(r));
    rate_->setCurrentIndex(sampleRateIndex(settings_.sampleRate));
    stationInfo_ = new QCheckBox("&Get Station Information");
    stationInfo_->setChecked(form.stationInfo);
    options->addRow("File &Length:", length_);
    options->addRow("Sample &Rate", rate_);
    options->addRow(stationInfo_);
    grid->addLayout(options, 3, 1);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton("&Send Request", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Close", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 4, 0, 1, 2);

    connect(auth, &QPushButton::clicked, this, [this] { editAuthentication(); });
    connect(stations_, &QListWidget::currentRowChanged, this, [this] { showChannels(); });
    connect(stations_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = stations_->row(item);
        if (row >= 0 && row < static_cast<int>(settings_.stations.size()))
            settings_.stations[static_cast<std::size_t>(row)].selected = item->checkState() == Qt::Checked;
    });
    connect(channels_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int s = stations_->currentRow(), row = channels_->row(item);
        if (s < 0 || s >= static_cast<int>(settings_.stations.size())) return;
        auto& list = settings_.stations[static_cast<std::size_t>(s)].channels;
        if (row >= 0 && row < static_cast<int>(list.size()))
            list[static_cast<std::size_t>(row)].selected = item->checkState() == Qt::Checked;
    });
    connect(add, &QPushButton::clicked, this, [this] { editStation(-1); });
    connect(edit, &QPushButton::clicked, this, [this] { editStation(stations_->currentRow()); });
    connect(stations_, &QListWidget::itemDoubleClicked, this,
            [this] { editStation(stations_->currentRow()); });
    connect(del, &QPushButton::clicked, this, [this] {
        const int row = stations_->currentRow();
        if (row < 0) return;
        const std::string& name = settings_.stations[static_cast<std::size_t>(row)].name;
        if (ctx_.messages.ask(format("Delete Station %s?", name.c_str()), Buttons::YesNo) != Answer::Yes)
            return;
        settings_.stations.erase(settings_.stations.begin() + row);
        showStations();
    });
    connect(load, &QPushButton::clicked, this, [this] { loadStationFile(); });
    showStations();
    resize(640, 520);
}

void CRemoteReq::showStations() {
    const QSignalBlocker block(stations_);
    const int keep = stations_->currentRow();
    stations_->clear();
    for (const RemoteStation& s : settings_.stations) {
        auto* item = new QListWidgetItem(QString::fromStdString(s.name + "  <" + s.address + ">"));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(s.selected ? Qt::Checked : Qt::Unchecked);
        stations_->addItem(item);
    }
    stations_->setCurrentRow(std::min(keep < 0 ? 0 : keep, stations_->count() - 1));
    showChannels();
}

void CRemoteReq::showChannels() {
    const QSignalBlocker block(channels_);
    channels_->clear();
    const int row = stations_->currentRow();
    if (row < 0 || row >= static_cast<int>(settings_.stations.size())) return;
    for (const RemoteChannel& c : settings_.stations[static_cast<std::size_t>(row)].channels) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(c.id + "  " + c.component + "  " + c.location));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c.selected ? Qt::Checked : Qt::Unchecked);
        channels_->addItem(item);
    }
}

void CRemoteReq::editStation(int row) {
    RemoteStation station;
    const bool isNew = row < 0 || row >= static_cast<int>(settings_.stations.size());
    if (!isNew) station = settings_.stations[static_cast<std::size_t>(row)];
    if (CStation(station, ctx_.messages, this).exec() != QDialog::Accepted) return;
    if (isNew) {
        station.selected = true;
        settings_.stations.push_back(station);
        row = static_cast<int>(settings_.stations.size()) - 1;
    } else {
        settings_.stations[static_cast<std::size_t>(row)] = station;
    }
    showStations();
    stations_->setCurrentRow(row);
}

void CRemoteReq::loadStationFile() {
    const QString file = QFileDialog::getOpenFileName(this, "Load Station Information", QString(), "*.txt");
    if (file.isEmpty()) return;
    std::string text;
    if (!readTextFile(file.toStdString(), text, 1u << 20)) {
        ctx_.messages.error("Can't Open File");
        return;
    }
    addStationList(text, settings_.stations);
    showStations();
}

void CRemoteReq::editAuthentication() {
    MailRecord r;
    r.authType = settings_.authType;
    r.account = settings_.account;
    r.password = settings_.password;
    r.port = settings_.port;
    CAuth dialog(r, transport_, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.changed()) return;
    settings_.authType = r.authType;
    settings_.account = r.account;
    settings_.password = r.password;
    settings_.port = r.port;
    CAuth::writeTransport(ctx_.ini, transport_);
    readFields();
    if (writeRemoteDat(remoteDat(ctx_), settings_)) loadedText_ = remoteDatText(settings_);
}

void CRemoteReq::readFields() {
    settings_.toAddress = sendTo_->text().trimmed().toStdString();
    settings_.userName = userName_->text().trimmed().toStdString();
    settings_.popAccount = popAccount_->text().trimmed().toStdString();
    settings_.server = server_->text().trimmed().toStdString();
    settings_.sampleRate = kRemoteSampleRates[rate_->currentIndex()];
}

RemoteRequestForm CRemoteReq::formFromFields() const {
    RemoteRequestForm f;
    f.month = month_->value();
    f.day = day_->value();
    f.year2 = year_->value();
    f.hour = hour_->value();
    f.minute = minute_->value();
    f.localTime = zone_->currentIndex() == 1;
    f.lengthMinutes = length_->value();
    f.rateIndex = rate_->currentIndex();
    f.stationInfo = stationInfo_->isChecked();
    return f;
}

void CRemoteReq::accept() {
    readFields();
    const RemoteRequestForm form = formFromFields();
    const RequestCheck check = checkRemoteRequest(settings_, form);
    if (check.field != RequestField::None) {
        ctx_.messages.error(check.message);
        QWidget* focus[] = {nullptr, sendTo_, userName_, popAccount_, server_, stations_, channels_};
        focus[static_cast<int>(check.field)]->setFocus();
        return;
    }
    for (const RemoteMail& mail : buildRemoteRequests(settings_, form)) {
        const MailMessageResult message = buildMailMessage(mail.record, localMailClock());
        if (!message.ok) {
            ctx_.messages.error("Error Making Email Message: Error = " + message.error);
            continue;
        }
        std::string error;
        if (CSendStat::send(mail.record, transport_, message.text, this, error))
            ++sent_;
        else
            ctx_.messages.error(format("Error Sending Email Message to %s (%s):\nError = %s",
                                       mail.stationName.c_str(), mail.record.to.c_str(), error.c_str()));
    }
    form_ = form;
    QDialog::accept();
}

void CRemoteReq::showFor(EventWindow* window, AppContext& ctx, QWidget* parent) {
    std::optional<CivilTime> start;
    if (window && window->doc().recordCount() > 0) {
        const CEqDoc& doc = window->doc();
        start = toCivil(doc.record(doc.currentRecord()).header.startTime);
    }
    CRemoteReq dialog({ctx.ini, ctx.settings.localDirectory, ctx.settings.programDirectory, ctx.messages},
                      ctx.remoteForm, start, parent);
    dialog.chooseReportTime = [&ctx, &dialog, window]() -> std::optional<CivilTime> {
        if (CReport(ctx, window, &dialog).exec() != QDialog::Accepted || !ctx.reports.selectedRow())
            return std::nullopt;
        return civilFromEpoch(ctx.reports.selectedRow()->epochSeconds());
    };
    dialog.exec();
}

void CRemoteReq::done(int result) {
    readFields();
    if (remoteDatText(settings_) != loadedText_ && !writeRemoteDat(remoteDat(ctx_), settings_))
        ctx_.messages.error("Can't write REMOTE.DAT");
    QDialog::done(result);
}

} // namespace tlx::app
