#include "app/report_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/outside_programs.h"
#include "app/report_net_dialog.h"
#include "core/data_paths.h"
#include "core/text.h"
#include "seismo/regions.h"
#include "services/report_kml.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

namespace tlx::app {

namespace {

constexpr int kColumns = 6;

QPushButton* button(const char* text, QWidget* parent) {
    return new QPushButton(text, parent);
}

} // namespace

CReport::CReport(AppContext& ctx, EventWindow* window, QWidget* parent)
    : QDialog(parent), ctx_(ctx), window_(window), list_(ctx.reports) {
    setWindowTitle("Event Report");
    if (!regionTable().loaded()) loadRegionTable(shippedDataFile(kRegionFileName));
    list_.loadTypes(dataFolders());

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Event Report File:"), 0, 0);
    file_ = new QLabel;
    file_->setObjectName("reportFile");
    grid->addWidget(file_, 0, 1, 1, 3);
    auto* typeLabel = new QLabel("&Type:");
    type_ = new QComboBox;
    typeLabel->setBuddy(type_);
    for (const ReportType& t : list_.types())
        type_->addItem(QString::fromStdString(t.name));
    grid->addWidget(typeLabel, 1, 0);
    grid->addWidget(type_, 1, 1, 1, 3);

    rows_ = new QTreeWidget;
    rows_->setObjectName("reportRows");
    rows_->setRootIsDecorated(false);
    rows_->setColumnCount(kColumns);
    rows_->setHeaderLabels({"Event Time", "Lat", "Long", "Mag", "Depth", "Comment"});
    rows_->header()->setSectionsClickable(true);
    rows_->setMinimumSize(720, 300);
    grid->addWidget(rows_, 2, 0, 1, 4);

    grid->addWidget(new QLabel("Distance to Station:"), 3, 0);
    distance_ = new QLabel;
    distance_->setObjectName("distance");
    grid->addWidget(distance_, 3, 1, 1, 3);

    auto* load = button("Load Report &File...", this);
    auto* network = button("&Network Report...", this);
    auto* historical = button("Historical &Lookup...", this);
    auto* earth = button("&Google Earth...", this);
    auto* searchButton = button("&Search", this);
    auto* addReplace = button("&Add / Replace Report", this);
    saveClip_ = new QCheckBox("Save on Clipboard");
    saveClip_->setChecked(readSetting(ctx_.ini, keys::kSaveClip));
    grid->addWidget(load, 4, 0);
    grid->addWidget(network, 4, 1);
    grid->addWidget(historical, 4, 2);
    grid->addWidget(earth, 4, 3);
    grid->addWidget(searchButton, 5, 0);
    grid->addWidget(addReplace, 5, 1);
    grid->addWidget(saveClip_, 5, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    grid->addWidget(buttons, 6, 0, 1, 4);

    const bool haveEvent = window_ != nullptr;
    searchButton->setEnabled(haveEvent);
    addReplace->setEnabled(haveEvent);

    connect(buttons, &QDialogButtonBox::accepted, this, &CReport::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(load, &QPushButton::clicked, this, &CReport::chooseFile);
    connect(network, &QPushButton::clicked, this, [this] { networkReport(false); });
    connect(historical, &QPushButton::clicked, this, [this] { networkReport(true); });
    connect(earth, &QPushButton::clicked, this, &CReport::googleEarth);
    connect(searchButton, &QPushButton::clicked, this, &CReport::search);
    connect(addReplace, &QPushButton::clicked, this, &CReport::storeSelected);
    connect(saveClip_, &QCheckBox::toggled, this,
            [this](bool on) { writeSetting(ctx_.ini, keys::kSaveClip, on); });
    connect(rows_->header(), &QHeaderView::sectionClicked, this, &CReport::sortBy);
    connect(rows_, &QTreeWidget::currentItemChanged, this, [this] {
        list_.select(rows_->indexOfTopLevelItem(rows_->currentItem()));
        showDistance();
    });
    connect(type_, &QComboBox::activated, this, [this](int index) {
        if (!list_.fileName().empty()) list_.load(list_.fileName(), index, false);
        list_.setTypeIndex(index);
        fill();
    });

    // The last use's type, file and row.
    if (ctx_.settings.reportType >= 0 && ctx_.settings.reportType < type_->count())
        type_->setCurrentIndex(ctx_.settings.reportType);
    if (list_.typeIndex() >= 0 || ctx_.settings.reportFile.empty() ||
        !loadReportFile(ctx_.settings.reportFile, ctx_.settings.reportType < 0))
        fill();
}

std::vector<std::filesystem::path> CReport::dataFolders() const {
    return {ctx_.settings.localDirectory, ctx_.settings.programDirectory, shippedDataDirectory()};
}

bool CReport::loadReportFile(const std::string& path, bool detect) {
    if (!list_.load(path, type_->currentIndex(), detect)) return false;
    sortSaved();
    list_.select(list_.empty() ? -1 : 0);
    selectMatch();
    ctx_.settings.reportFile = path;
    ctx_.settings.reportType = list_.typeIndex();
    fill();
    return true;
}

void CReport::sortSaved() {
    list_.sort(static_cast<ReportColumn>(std::clamp(readSetting(ctx_.ini, keys::kReportColumn), 0, 5)),
               readSetting(ctx_.ini, keys::kReportDirection));
}

void CReport::showMadeReport(const ReportRow& row) {
    list_.add(row);
    sortSaved();
    fill();
}

void CReport::fill() {
    file_->setText(QString::fromStdString(list_.fileName()));
    if (list_.typeIndex() >= 0 && list_.typeIndex() < type_->count())
        type_->setCurrentIndex(list_.typeIndex());
    const int selected = list_.selected();
    const QSignalBlocker block(rows_);
    rows_->clear();
    QList<QTreeWidgetItem*> items;
    for (const ReportRow& r : list_.rows())
        items.append(new QTreeWidgetItem(QStringList{
            QString::fromStdString(reportTimeText(r)), QString::fromStdString(reportLatitudeText(r.latitude)),
            QString::fromStdString(reportLongitudeText(r.longitude)),
            QString::fromStdString(reportMagnitudeText(r)), QString::fromStdString(reportDepthText(r)),
            QString::fromStdString(r.comment)}));
    rows_->addTopLevelItems(items);
    for (int c = 0; c < kColumns - 1; ++c)
        rows_->resizeColumnToContents(c);
    list_.select(selected);
    if (selected >= 0) {
        rows_->setCurrentItem(rows_->topLevelItem(selected));
        rows_->scrollToItem(rows_->currentItem());
    }
    showDistance();
}

void CReport::showDistance() {
    const ReportRow* row = list_.selectedRow();
    if (!row || !window_ || window_->doc().recordCount() == 0) {
        distance_->clear();
        return;
    }
    const ChannelHeader& h = window_->doc().record(window_->doc().currentRecord()).header;
    distance_->setText(QString::fromStdString(reportDistanceText(*row, h.latitude, h.longitude)).trimmed());
}

void CReport::sortBy(int column) {
    const int current = readSetting(ctx_.ini, keys::kReportColumn);
    bool descending = readSetting(ctx_.ini, keys::kReportDirection);
    if (column == current)
        descending = !descending;
    else
        writeSetting(ctx_.ini, keys::kReportColumn, column);
    writeSetting(ctx_.ini, keys::kReportDirection, descending);
    list_.sort(static_cast<ReportColumn>(column), descending);
    fill();
}

void CReport::selectMatch() {
    if (!window_ || window_->doc().recordCount() == 0) return;
    if (const auto found = list_.search(window_->doc().record(0).header.startTime)) list_.select(*found);
}

void CReport::search() {
    if (!window_ || window_->doc().recordCount() == 0) return;
    const auto found = list_.search(window_->doc().record(0).header.startTime);
    if (!found) {
        ctx_.messages.information("Time not found!");
        return;
    }
    list_.select(*found);
    fill();
}

void CReport::chooseFile() {
    const QString start = QString::fromStdString(readSetting(ctx_.ini, keys::kReportDirectory));
    const QString path = QFileDialog::getOpenFileName(this, "Report Open", start, "Report Files (*.rpt)");
    if (!path.isEmpty()) loadReportFile(path.toStdString(), true);
}

void CReport::networkReport(bool historical) {
    std::optional<EventTime> start;
    if (window_ && window_->doc().recordCount() > 0) start = window_->doc().record(0).header.startTime;
    CReportNet net(ctx_, start, historical, this);
    if (net.exec() == QDialog::Accepted) loadReportFile(net.reportFile(), true);
}

void CReport::googleEarth() {
    const ReportRow* row = list_.selectedRow();
    if (!row) return;
    const EventRecord* record = window_ && window_->doc().recordCount() > 0
                                    ? &window_->doc().record(window_->doc().currentRecord())
                                    : nullptr;
    const std::string region(trim(regionName(row->latitude, row->longitude)));
    showPointsInGoogleEarth(ctx_, reportKmlPoints(*row, region, record), kKmlPointRange);
}

bool CReport::storeSelected() {
    const ReportRow* row = list_.selectedRow();
    if (!row || !window_) return false;
    CEqDoc& doc = window_->doc();
    bool replace = false;
    bool held = false;
    for (int i = 0; i < doc.recordCount(); ++i)
        held = held || !doc.record(i).info.events.empty();
    if (held) {
        QMessageBox ask(QMessageBox::Question, "Event Report Add / Replace Control",
                        "Add the report to the records' event reports, or replace them?",
                        QMessageBox::NoButton, this);
        ask.setObjectName("addReplace");
        QAbstractButton* add = ask.addButton("&Add", QMessageBox::AcceptRole);
        QAbstractButton* replaceButton = ask.addButton("&Replace", QMessageBox::DestructiveRole);
        ask.addButton("&Cancel", QMessageBox::RejectRole);
        ask.exec();
        if (ask.clickedButton() != add && ask.clickedButton() != replaceButton) return false;
        replace = ask.clickedButton() == replaceButton;
    }
    for (int i = 0; i < doc.recordCount(); ++i) {
        storeReport(doc.editRecord(i), *row, replace);
        doc.setRecordModified(i);
    }
    doc.setModified(true);
    doc.refresh();
    window_->refresh();
    return true;
}

void CReport::accept() {
    if (saveClip_->isChecked() && list_.selectedRow())
        QApplication::clipboard()->setText(QString::fromStdString(reportClipboardText(*list_.selectedRow())));
    storeSelected(); // Cancel in the Add / Replace question stores nothing; the dialog still closes
    QDialog::accept();
}

} // namespace tlx::app
