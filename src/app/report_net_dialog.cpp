#include "app/report_net_dialog.h"

#include "app/historical_dialog.h"
#include "app/main_frame.h"
#include "core/atomic_file.h"
#include "core/data_paths.h"
#include "core/file_io.h"
#include "core/text.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <chrono>

namespace tlx::app {

namespace {

constexpr int kPollMs = 500;

QLabel* valueLabel(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setMinimumWidth(380);
    return label;
}

} // namespace

CReportNet::CReportNet(AppContext& ctx, std::optional<EventTime> recordStart, bool historicalOnly,
                       QWidget* parent)
    : QDialog(parent), ctx_(ctx), recordStart_(recordStart), historicalOnly_(historicalOnly) {
    setWindowTitle("Network Event Report");
    auto* grid = new QGridLayout(this);
    list_ = new QListWidget;
    list_->setObjectName("services");
    list_->setMinimumSize(560, 160);
    grid->addWidget(list_, 0, 0, 1, 4);
    add_ = new QPushButton("&Add...");
    delete_ = new QPushButton("D&el");
    save_ = new QPushButton("&Save");
    historical_ = new QPushButton("H&istorical...");
    grid->addWidget(add_, 1, 0);
    grid->addWidget(delete_, 1, 1);
    grid->addWidget(save_, 1, 2);
    grid->addWidget(historical_, 1, 3);
    const struct {
        const char* text;
        QLabel** label;
        const char* name;
    } rows[] = {{"Status:", &status_, "status"},
                {"Bytes Received:", &bytes_, "bytes"},
                {"Name:", &name_, "name"},
                {"Directory:", &directory_, "directory"}};
    int row = 2;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(r.text), row, 0);
        *r.label = valueLabel(r.name);
        grid->addWidget(*r.label, row++, 1, 1, 3);
    }
    directoryButton_ = new QPushButton("&Directory...");
    connect_ = new QPushButton("&Connect");
    close_ = new QPushButton("Close");
    grid->addWidget(directoryButton_, row, 0);
    grid->addWidget(connect_, row, 2);
    grid->addWidget(close_, row, 3);
    connect_->setDefault(true);

    connect(add_, &QPushButton::clicked, this, &CReportNet::addService);
    connect(delete_, &QPushButton::clicked, this, &CReportNet::deleteService);
    connect(save_, &QPushButton::clicked, this, &CReportNet::saveServices);
    connect(historical_, &QPushButton::clicked, this, [this] { connectService(true); });
    connect(connect_, &QPushButton::clicked, this, [this] { connectService(false); });
    connect(close_, &QPushButton::clicked, this, &CReportNet::reject);
    connect(directoryButton_, &QPushButton::clicked, this, &CReportNet::chooseDirectory);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int index) {
        if (index >= 0) writeSetting(ctx_.ini, keys::kNetReportSelect, index);
        const ReportService* s = selected();
        name_->setText(s ? QString::fromStdString(s->reportName) : QString());
        historical_->setEnabled(s && s->kind == ServiceKind::DataServer && !transfer_);
    });
    connect(&poll_, &QTimer::timeout, this, &CReportNet::poll);

    directory_->setText(QString::fromStdString(reportDirectory().string()));
    loadServices();
}

CReportNet::~CReportNet() = default; // the transfer cancels and waits for its worker

std::filesystem::path CReportNet::reportDirectory() const {
    const std::string dir = readSetting(ctx_.ini, keys::kReportDirectory);
    return dir.empty() ? ctx_.settings.programDirectory : std::filesystem::path(dir);
}

void CReportNet::loadServices() {
    const std::vector<std::filesystem::path> folders = {
        ctx_.settings.localDirectory, ctx_.settings.programDirectory, shippedDataDirectory()};
    const std::filesystem::path file = findDataFile(folders, kNetworkDatName);
    std::string text;
    if (file.empty() || !readTextFile(file, text, 1 << 20)) {
        const std::filesystem::path shown = ctx_.settings.programDirectory / kNetworkDatName;
        status_->setText(QString::fromStdString(format("File %s not found.", shown.string().c_str())));
    }
    services_.parse(text);
    showServices();
    const int last = readSetting(ctx_.ini, keys::kNetReportSelect);
    list_->setCurrentRow(last >= 0 && last < list_->count() ? last : (list_->count() ? 0 : -1));
}

void CReportNet::showServices() {
    offered_ = services_.offered(historicalOnly_);
    const QSignalBlocker block(list_);
    list_->clear();
    for (const ReportService& s : offered_)
        list_->addItem(QString::fromStdString(serviceListText(s)));
}

const ReportService* CReportNet::selected() const {
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(offered_.size()) ? &offered_[static_cast<std::size_t>(row)]
                                                               : nullptr;
}

void CReportNet::addService() {
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, "Add Network Report Service", "&New Network Event Report Service:", QLineEdit::Normal, {}, &ok);
    if (!ok || text.trimmed().isEmpty()) return;
    std::string error;
    if (!services_.add(text.toStdString(), error)) {
        ctx_.messages.error(error);
        return;
    }
    showServices();
    list_->setCurrentRow(list_->count() - 1);
}

void CReportNet::deleteService() {
    if (const ReportService* s = selected()) {
        const int row = list_->currentRow();
        services_.remove(*s);
        showServices();
        list_->setCurrentRow(std::min(row, list_->count() - 1));
    }
}

bool CReportNet::saveServices() {
    if (ctx_.messages.ask("Save changes to NETWORK.DAT file", Buttons::YesNo) != Answer::Yes) return false;
    const std::filesystem::path folder =
        ctx_.settings.localDirectory.empty() ? ctx_.settings.programDirectory : ctx_.settings.localDirectory;
    const std::filesystem::path file = folder / kNetworkDatName;
    if (!writeFileAtomically(file, services_.text())) {
        ctx_.messages.error(format("Can't open file %s for writting.", file.string().c_str()));
        return false;
    }
    services_.markSaved();
    return true;
}

void CReportNet::chooseDirectory() {
    const QString dir = QFileDialog::getExistingDirectory(this, "Default Report Directory",
                                                          QString::fromStdString(reportDirectory().string()));
    if (dir.isEmpty()) return;
    std::error_code ec;
    std::filesystem::create_directories(dir.toStdString(), ec);
    if (ec) {
        ctx_.messages.error(format("Directory %s could not be created!", dir.toStdString().c_str()));
        return;
    }
    std::string stored = dir.toStdString();
    if (!stored.ends_with('/')) stored += '/';
    writeSetting(ctx_.ini, keys::kReportDirectory, stored);
    directory_->setText(dir);
}

void CReportNet::connectService(bool askQuery) {
    const ReportService* s = selected();
    if (!s || transfer_) return;
    HistoricalQuery query;
    if (s->kind == ServiceKind::DataServer) {
        if (recordStart_ && !askQuery) {
            query = queryAroundEvent(*recordStart_);
        } else {
            const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
            const HistoricalValues start = recordStart_               ? valuesAroundEvent(*recordStart_)
                                           : ctx_.lastHistoricalQuery ? *ctx_.lastHistoricalQuery
                                                                      : recentValues(now);
            CHistoricalLookup lookup(start, ctx_.messages, this);
            if (lookup.exec() != QDialog::Accepted) return;
            ctx_.lastHistoricalQuery = lookup.values();
            query = lookup.query();
        }
    }
    TransferSettings settings;
    settings.timeoutMs = std::clamp(readSetting(ctx_.ini, keys::kNetReportTimeout), 1, 3600) * 1000;
    settings.programDirectory = programDirectory();
    transfer_ = std::make_unique<ReportTransfer>();
    if (!transfer_->start(*s, query, reportDirectory(), settings)) {
        status_->setText(QString::fromStdString(transfer_->status()));
        transfer_.reset();
        return;
    }
    setBusy(true);
    poll_.start(kPollMs);
    poll();
}

void CReportNet::poll() {
    if (!transfer_) return;
    status_->setText(QString::fromStdString(transfer_->status()));
    bytes_->setText(QString::number(transfer_->bytesReceived()));
    if (!transfer_->finished()) return;
    poll_.stop();
    transfer_->join();
    const bool ok = transfer_->succeeded();
    reportFile_ = transfer_->reportFile().string();
    transfer_.reset();
    setBusy(false);
    if (ok) QDialog::accept();
}

void CReportNet::setBusy(bool busy) {
    for (QWidget* w : {static_cast<QWidget*>(list_), static_cast<QWidget*>(add_),
                       static_cast<QWidget*>(delete_), static_cast<QWidget*>(save_),
                       static_cast<QWidget*>(connect_), static_cast<QWidget*>(directoryButton_)})
        w->setEnabled(!busy);
    const ReportService* s = selected();
    historical_->setEnabled(!busy && s && s->kind == ServiceKind::DataServer);
    close_->setText(busy ? "Cancel" : "Close");
}

void CReportNet::reject() {
    if (transfer_) {
        transfer_->cancel();
        poll_.stop();
        transfer_->join();
        transfer_.reset();
        status_->setText("Canceled");
        setBusy(false);
        return;
    }
    if (services_.changed()) saveServices();
    QDialog::reject();
}

} // namespace tlx::app
