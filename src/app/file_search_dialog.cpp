#include "app/file_search_dialog.h"

#include "app/setting_keys.h"
#include "browser/event_database.h"
#include "browser/file_search.h"
#include "core/text.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {
namespace fs = std::filesystem;

CFileSearchDialog::CFileSearchDialog(IniProfile& ini, Messages& messages, LoaderSettings loaderSettings,
                                     fs::path programDirectory, fs::path startDirectory, QWidget* parent)
    : QDialog(parent), ini_(ini), messages_(messages), loaderSettings_(std::move(loaderSettings)),
      database_(programDirectory / browser::kDatabaseFileName), start_(std::move(startDirectory)) {
    setWindowTitle("File Search");
    auto edit = [](int width) {
        auto* e = new QLineEdit;
        e->setMaximumWidth(width);
        return e;
    };
    auto* ranges = new QGroupBox("Event");
    auto* grid = new QGridLayout(ranges);
    grid->addWidget(new QLabel("Minimum"), 0, 1);
    grid->addWidget(new QLabel("Maximum"), 0, 2);
    const char* names[] = {"&Magnitude:", "D&istance (km):", "D&epth (km):", "&Date (mm/dd/yyyy):"};
    QLineEdit** fields[][2] = {
        {&minMag_, &maxMag_}, {&minDist_, &maxDist_}, {&minDepth_, &maxDepth_}, {&from_, &to_}};
    for (int row = 0; row < 4; ++row) {
        auto* label = new QLabel(names[row]);
        *fields[row][0] = edit(110);
        *fields[row][1] = edit(110);
        label->setBuddy(*fields[row][0]);
        grid->addWidget(label, row + 1, 0);
        grid->addWidget(*fields[row][0], row + 1, 1);
        grid->addWidget(*fields[row][1], row + 1, 2);
    }
    auto* station = new QGroupBox("Recording");
    auto* form = new QFormLayout(station);
    channel_ = edit(110);
    form->addRow("C&hannel ID:", channel_);
    auto* components = new QHBoxLayout;
    z_ = new QCheckBox("&Z");
    n_ = new QCheckBox("&N");
    e_ = new QCheckBox("&E");
    for (QCheckBox* box : {z_, n_, e_})
        components->addWidget(box);
    components->addStretch();
    form->addRow("Components:", components);
    maxFiles_ = edit(80);
    form->addRow("Ma&ximum Files:", maxFiles_);
    subdirs_ = new QCheckBox("Search S&ubdirectories");
    useDb_ = new QCheckBox("Use Event Data&base");
    form->addRow(subdirs_);
    form->addRow(useDb_);

    status_ = new QLabel;
    status_->setObjectName("status");
    status_->setWordWrap(true);
    status_->setMinimumHeight(48);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton("&Search", QDialogButtonBox::AcceptRole);
    auto* create = buttons->addButton("&Create Database...", QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFileSearchDialog::search);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(create, &QPushButton::clicked, this, &CFileSearchDialog::chooseRoot);
    connect(useDb_, &QCheckBox::toggled, this, &CFileSearchDialog::showStatus);

    auto* columns = new QHBoxLayout;
    columns->addWidget(ranges);
    columns->addWidget(station);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    browser::SearchCriteria c = browser::parseCriteria(readSetting(ini_, keys::kFileSearch));
    std::error_code ec;
    if (!fs::exists(database_, ec)) c.useDatabase = false;
    show(c);
    showStatus();
}

void CFileSearchDialog::show(const browser::SearchCriteria& c) {
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {minMag_, &c.minMag},   {maxMag_, &c.maxMag},     {minDist_, &c.minDist},
        {maxDist_, &c.maxDist}, {minDepth_, &c.minDepth}, {maxDepth_, &c.maxDepth},
        {from_, &c.fromDate},   {to_, &c.toDate},         {channel_, &c.channelPattern}};
    for (const auto& [edit, text] : texts)
        edit->setText(QString::fromStdString(*text));
    maxFiles_->setText(QString::number(c.maxFiles));
    z_->setChecked(c.acceptZ);
    n_->setChecked(c.acceptN);
    e_->setChecked(c.acceptE);
    subdirs_->setChecked(c.subdirectories);
    useDb_->setChecked(c.useDatabase);
}

browser::SearchCriteria CFileSearchDialog::criteria() const {
    browser::SearchCriteria c;
    auto text = [](const QLineEdit* e) { return std::string(trim(e->text().toStdString())); };
    c.minMag = text(minMag_);
    c.maxMag = text(maxMag_);
    c.minDist = text(minDist_);
    c.maxDist = text(maxDist_);
    c.minDepth = text(minDepth_);
    c.maxDepth = text(maxDepth_);
    c.fromDate = text(from_);
    c.toDate = text(to_);
    c.channelPattern = text(channel_);
    int max = 0;
    if (parseInt(text(maxFiles_), max) && max > 0) c.maxFiles = max;
    c.acceptZ = z_->isChecked();
    c.acceptN = n_->isChecked();
    c.acceptE = e_->isChecked();
    c.subdirectories = subdirs_->isChecked();
    c.useDatabase = useDb_->isChecked();
    return c;
}

void CFileSearchDialog::showStatus() {
    subdirs_->setEnabled(!useDb_->isChecked());
    if (!useDb_->isChecked()) {
        status_->setText(QString::fromStdString("Search Directory\n" + start_.string()));
        return;
    }
    browser::DatabaseFile db;
    browser::readDatabase(database_, db);
    status_->setText(QString::fromStdString(
        format("%d Database Records - Root Directory\n%s", db.count, db.root.c_str())));
}

bool CFileSearchDialog::progress(const std::string& status) {
    status_->setText(QString::fromStdString(status));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void CFileSearchDialog::chooseRoot() {
    std::string start = start_.string();
    while (start.size() > 1 && (start.back() == '/' || start.back() == '\\'))
        start.pop_back();
    const QString root =
        QFileDialog::getExistingDirectory(this, "Root Search Directory", QString::fromStdString(start));
    if (!root.isEmpty()) createDatabase(root.toStdString());
}

bool CFileSearchDialog::createDatabase(const fs::path& root) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RecordingMessages quiet;
    EventLoader loader(quiet, loaderSettings_);
    const browser::CreateResult result = browser::createDatabase(
        root, database_, loader, [this](const std::string& s) { return progress(s); });
    QApplication::restoreOverrideCursor();
    status_->setText(QString::fromStdString(result.message));
    if (!result.ok) {
        messages_.error(result.message);
        return false;
    }
    messages_.information(result.message);
    useDb_->setChecked(true);
    showStatus();
    return true;
}

void CFileSearchDialog::search() {
    const browser::SearchCriteria c = criteria();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (c.useDatabase) {
        browser::DatabaseFile db;
        if (!browser::readDatabase(database_, db)) {
            QApplication::restoreOverrideCursor();
            messages_.error("Error Opening Database File");
            return;
        }
        found_ = browser::searchDatabase(db, c);
    } else {
        RecordingMessages quiet;
        EventLoader loader(quiet, loaderSettings_);
        found_ = browser::liveSearch(start_, c, loader, [this](const std::string& s) { return progress(s); });
    }
    QApplication::restoreOverrideCursor();
    showStatus();
    if (found_.empty()) {
        messages_.information("No Event Files Found");
        return;
    }
    writeSetting(ini_, keys::kFileSearch, browser::formatCriteria(c));
    accept();
}

} // namespace tlx::app
