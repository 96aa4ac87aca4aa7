#include "app/open_file_dialog.h"

#include "app/convert_question.h"
#include "app/event_window.h"
#include "app/file_search_dialog.h"
#include "app/main_frame.h"
#include "app/remote_request_dialog.h"
#include "app/replay_dialog.h"
#include "app/send_mail_dialog.h"
#include "app/setting_keys.h"
#include "app/shell_commands.h"
#include "core/text.h"
#include "document/report_files.h"
#include "services/report_row.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tlx::app {
namespace fs = std::filesystem;
using browser::FileEntry;

COpenFileDialog::COpenFileDialog(AppContext& ctx, EventWindow* addTo, QWidget* parent)
    : QDialog(parent), ctx_(ctx), addTo_(addTo),
      cacheFile_(ctx.settings.programDirectory / browser::kSummaryCacheName) {
    setWindowTitle("Open File");
    cache_.load(cacheFile_);
    order_.column = std::clamp(readSetting(ctx_.ini, keys::kFileOpenType), 0, 2);
    order_.descending = readSetting(ctx_.ini, keys::kFileOpenDirection) != 0;

    name_ = new QLineEdit(QString::fromStdString(readSetting(ctx_.ini, keys::kFileName)));
    auto* nameLabel = new QLabel("&Files or File Name:");
    nameLabel->setBuddy(name_);
    directory_ = new QLabel;
    directory_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    count_ = new QLabel;
    list_ = new QTreeWidget;
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setHeaderLabels({browser::kColumnTitles[0], browser::kColumnTitles[1], browser::kColumnTitles[2]});
    list_->header()->setSectionsClickable(true);
    list_->header()->setSortIndicatorShown(true);
    list_->setColumnWidth(0, 220);
    list_->setColumnWidth(1, 150);
    list_->setMinimumSize(720, 360);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &COpenFileDialog::sortBy);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &COpenFileDialog::open);
    connect(name_, &QLineEdit::returnPressed, this, &COpenFileDialog::nameEntered);

    auto* buttons = new QVBoxLayout;
    auto button = [&](const char* text, auto slot) {
        auto* b = new QPushButton(text);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button("&Open File", &COpenFileDialog::open)->setDefault(true);
    button("&Add Report", &COpenFileDialog::addReport);
    button("D&irectory...", &COpenFileDialog::chooseDirectory);
    button("&Search...", &COpenFileDialog::search);
    button("Send &Email...", &COpenFileDialog::mail);
    button("Con&vert", &COpenFileDialog::convert);
    button("&Replay...", [this] {
        if (auto* frame = qobject_cast<CMainFrame*>(parentWidget())) showReplay(*frame, ctx_);
    });
    button("Re&mote...", [this] { CRemoteReq::showFor(nullptr, ctx_, this); });
    button("&Update", [this] { startListing(target_); });
    delete_ = button("&Delete", &COpenFileDialog::remove);
    button("&Help", [this] { showHelp(ctx_, this, "browser"); });
    buttons->addStretch();
    button("Close", &QDialog::reject);

    auto* top = new QGridLayout;
    top->addWidget(nameLabel, 0, 0);
    top->addWidget(name_, 0, 1);
    top->addWidget(directory_, 1, 0, 1, 2);
    top->addWidget(count_, 2, 0, 1, 2);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(list_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    poll_.setInterval(50);
    connect(&poll_, &QTimer::timeout, this, &COpenFileDialog::poll);
    target_ = browser::resolveNameField(name_->text().toStdString(), ctx_.settings.eventDirectory);
    startListing(target_);
}

COpenFileDialog::~COpenFileDialog() {
    if (listing_) cache_ = std::move(listing_->cache());
}

void COpenFileDialog::listDirectory(const fs::path& dir) {
    target_.directory = dir;
    startListing(target_);
}

void COpenFileDialog::startListing(const browser::ListingTarget& target) {
    if (listing_) cache_ = std::move(listing_->cache());
    target_ = target;
    mode_ = ListMode::Directory;
    entries_.clear();
    list_->clear();
    directory_->setText(QString::fromStdString(target_.directory.string()));
    LoaderSettings settings = ctx_.loader->settings();
    settings.geography = nullptr; // the summaries need no region names
    listing_ = std::make_unique<browser::DirectoryListing>(settings, std::move(cache_));
    listing_->start(target_);
    poll_.start();
    showCount();
}

bool COpenFileDialog::fits(const FileEntry& e) const {
    if (!addTo_ || addTo_->doc().recordCount() == 0) return true;
    const ChannelHeader& h = addTo_->doc().record(0).header;
    return e.kind == kKindSvx4 && e.sampleCount == addTo_->doc().commonCount() && e.sps == h.sps;
}

void COpenFileDialog::poll() {
    if (!listing_) return;
    const bool done = listing_->finished();
    std::vector<FileEntry> ready = listing_->takeReady();
    QList<QTreeWidgetItem*> items;
    for (FileEntry& e : ready) {
        if (!fits(e)) continue;
        auto* item =
            new QTreeWidgetItem({QString::fromStdString(e.columns[0]), QString::fromStdString(e.columns[1]),
                                 QString::fromStdString(e.columns[2])});
        item->setData(0, Qt::UserRole, static_cast<int>(entries_.size()));
        items.append(item);
        entries_.push_back(std::move(e));
    }
    list_->addTopLevelItems(items);
    if (done) {
        poll_.stop();
        headerReads_ = listing_->loads();
        cache_ = std::move(listing_->cache());
        listing_.reset();
        cache_.save(cacheFile_);
        rebuild();
    }
    showCount();
}

void COpenFileDialog::rebuild() {
    browser::sortEntries(entries_, order_.column, order_.descending);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const FileEntry& e = entries_[i];
        auto* item =
            new QTreeWidgetItem({QString::fromStdString(e.columns[0]), QString::fromStdString(e.columns[1]),
                                 QString::fromStdString(e.columns[2])});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        items.append(item);
    }
    list_->addTopLevelItems(items);
    list_->header()->setSortIndicator(order_.column,
                                      order_.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    showCount();
}

void COpenFileDialog::showCount() {
    count_->setText(QString("%1 Files%2").arg(entries_.size()).arg(listing_ ? " (listing...)" : ""));
    delete_->setEnabled(!entries_.empty() && mode_ != ListMode::DataSet);
}

void COpenFileDialog::sortBy(int column) {
    const int before = order_.column;
    order_.click(column);
    if (order_.column != before)
        writeSetting(ctx_.ini, keys::kFileOpenType, order_.column);
    else
        writeSetting(ctx_.ini, keys::kFileOpenDirection, order_.descending ? 1 : 0);
    if (!listing_) rebuild();
}

std::vector<const FileEntry*> COpenFileDialog::selected() const {
    std::vector<const FileEntry*> out;
    for (QTreeWidgetItem* item : list_->selectedItems()) {
        const int i = item->data(0, Qt::UserRole).toInt();
        if (i >= 0 && i < static_cast<int>(entries_.size()))
            out.push_back(&entries_[static_cast<std::size_t>(i)]);
    }
    return out;
}

void COpenFileDialog::open() {
    const browser::OpenPlan plan = browser::planOpen(selected(), mode_ == ListMode::DataSet);
    switch (plan.action) {
    case browser::OpenPlan::Action::Nothing:
        return;
    case browser::OpenPlan::Action::Message:
        ctx_.messages.error(plan.message);
        return;
    case browser::OpenPlan::Action::EnterDataSet: {
        const LoadResult header = ctx_.loader->readHeaderOnly(plan.dataSetPath);
        if (!header.ok) {
            ctx_.messages.error("Seed Volume Read Error #1");
            return;
        }
        if (listing_) cache_ = std::move(listing_->cache());
        listing_.reset();
        poll_.stop();
        entries_ = browser::dataSetEntries(plan.dataSetPath, header);
        mode_ = ListMode::DataSet;
        rebuild();
        return;
    }
    case browser::OpenPlan::Action::Open:
        break;
    }
    chosen_ = plan.groups;
    const std::string pattern = name_->text().toStdString();
    if (pattern.find('*') != std::string::npos) writeSetting(ctx_.ini, keys::kFileName, pattern);
    // With "UseLastDir" the next browser starts where this one opened files.
    if (mode_ == ListMode::Directory && readSetting(ctx_.ini, keys::kUseLastDir)) {
        ctx_.settings.eventDirectory = target_.directory;
        writeSetting(ctx_.ini, keys::kDirectory, target_.directory.string());
    }
    accept();
}

void COpenFileDialog::nameEntered() {
    startListing(browser::resolveNameField(name_->text().toStdString(), target_.directory));
}

void COpenFileDialog::chooseDirectory() {
    const QString dir = QFileDialog::getExistingDirectory(this, "Directory",
                                                          QString::fromStdString(target_.directory.string()));
    if (!dir.isEmpty()) listDirectory(dir.toStdString());
}

void COpenFileDialog::search() {
    CFileSearchDialog dialog(ctx_.ini, ctx_.messages, ctx_.loader->settings(), ctx_.settings.programDirectory,
                             target_.directory, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (listing_) cache_ = std::move(listing_->cache());
    listing_.reset();
    poll_.stop();
    entries_.clear();
    for (const std::string& path : dialog.found()) {
        const auto written = browser::writeTimeOf(path);
        if (const FileEntry* cached = written ? cache_.find(path, *written) : nullptr) {
            entries_.push_back(*cached);
            continue;
        }
        const LoadResult header = ctx_.loader->readHeaderOnly(path);
        if (header.ok && !header.channels.empty())
            entries_.push_back(browser::summarise(path, written.value_or(0), header));
    }
    mode_ = ListMode::Search;
    directory_->setText("Search Results");
    rebuild();
}

void COpenFileDialog::mail() {
    std::vector<std::string> paths;
    bool svx = true;
    for (const FileEntry* e : selected()) {
        paths.push_back(e->path);
        svx = svx && (e->kind == kKindSvx4 || e->kind == kKindSvxVolume);
    }
    if (paths.empty()) return;
    const LoadResult first = ctx_.loader->readHeaderOnly(paths.front());
    const std::string comment =
        first.ok && !first.channels.empty() ? first.channels.front().record.info.comment : std::string();
    auto* frame = qobject_cast<CMainFrame*>(parentWidget());
    CEmailSend::showForFiles(paths, comment, svx, ctx_,
                             frame ? frame->eventWindows() : std::vector<EventWindow*>{}, this);
}

std::vector<std::string> COpenFileDialog::selectedPaths(bool mustHave) const {
    std::vector<std::string> paths;
    for (const FileEntry* e : selected())
        paths.push_back(e->path);
    if (paths.empty() && mustHave) ctx_.messages.error("No File(s) Selected");
    return paths;
}

void COpenFileDialog::remove() {
    const std::vector<std::string> paths = selectedPaths(false);
    bool all = false, deleted = false;
    for (const std::string& path : paths) {
        if (!all) {
            QMessageBox ask(QMessageBox::Question, "Delete File", QString::fromStdString(path),
                            QMessageBox::NoButton, this);
            auto* yes = ask.addButton("&Yes", QMessageBox::YesRole);
            auto* yesAll = ask.addButton("Yes to &All", QMessageBox::YesRole);
            ask.addButton("&No", QMessageBox::NoRole);
            auto* cancel = ask.addButton("&Cancel", QMessageBox::RejectRole);
            ask.exec();
            if (ask.clickedButton() == cancel) break;
            all = ask.clickedButton() == yesAll;
            if (ask.clickedButton() != yes && !all) continue;
        }
        std::error_code ec;
        if (fs::remove(path, ec))
            deleted = true;
        else
            ctx_.messages.error(format("Can't Delete File %s", path.c_str()));
    }
    if (deleted) startListing(target_);
}

void COpenFileDialog::convert() {
    const std::vector<std::string> paths = selectedPaths(true);
    if (paths.empty()) return;
    const std::vector<browser::ConvertCandidate> candidates = browser::convertCandidates(
        paths, ctx_.loader->settings(), readSetting(ctx_.ini, keys::kUseEventTime));
    if (candidates.empty()) {
        ctx_.messages.error("No SVX Type 2 or 3 Format File(s) or File Names to Convert");
        return;
    }
    CConvertQuestion ask(browser::countConvertible(candidates), this);
    if (ask.exec() != QDialog::Accepted || !ask.choice()) return;
    const auto steps = browser::planConvert(candidates, *ask.choice());
    if (browser::runConvert(steps, ctx_.loader->settings(), ctx_.messages) == 0)
        ctx_.messages.error("Not File(s) Converted");
    startListing(target_);
}

void COpenFileDialog::addReport() {
    const ReportRow* row = ctx_.reports.selectedRow();
    if (!row) {
        ctx_.messages.error("No event report selected. Choose one with File > Event Report first.");
        return;
    }
    const std::vector<std::string> paths = selectedPaths(true);
    if (paths.empty()) return;
    const std::string question = format("Add the event report %s to %zu file(s)? The files are rewritten.",
                                        reportTimeText(*row).c_str(), paths.size());
    if (ctx_.messages.ask(question, Buttons::YesNo) != Answer::Yes) return;
    const ReportRow chosen = *row;
    const ReportFilesResult result = addReportToFiles(
        paths, [&chosen](EventRecord& r) { storeReport(r, chosen, false); }, ctx_.loader->settings());
    std::string text = format("Event report added to %d of %zu file(s).", result.changed, paths.size());
    if (!result.unchanged.empty())
        text += " Files that are not SVX Type 4 or fail to load cleanly stay as they were.";
    ctx_.messages.information(text);
    startListing(target_);
}

void showOpenFileDialog(CMainFrame& frame, AppContext& ctx, EventWindow* addTo) {
    COpenFileDialog dialog(ctx, addTo, &frame);
    if (dialog.exec() != QDialog::Accepted) return;
    LoaderSettings folders = ctx.loader->settings();
    folders.eventDirectory = ctx.settings.eventDirectory;
    ctx.loader->setSettings(folders);
    for (const browser::OpenGroup& group : dialog.chosen()) {
        if (addTo) {
            for (const std::string& file : group.files)
                if (addTo->doc().recordCount() < kMaxRecords && !addTo->session().addRecord(file))
                    ctx.messages.warning(
                        format("%s does not match the records of this window", file.c_str()));
            continue;
        }
        frame.openRequest(OpenRequest{group.files, group.forcedKind, group.channels});
    }
    if (!addTo && readSetting(ctx.ini, keys::kArrange)) frame.run(Cmd::Arrange);
}

} // namespace tlx::app
