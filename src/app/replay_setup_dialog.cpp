#include "app/replay_setup_dialog.h"

#include "app/replay_channel_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {

CReplaySetup::CReplaySetup(ReplaySetup setup, std::filesystem::path file, Messages& messages, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)), file_(std::move(file)), messages_(messages) {
    setWindowTitle("Replay Setup");
    directory_ = new QLineEdit(QString::fromStdString(setup_.eventDirectory));
    drive_ = new QLineEdit(setup_.drive ? QString(QChar(setup_.drive)) : QString());
    drive_->setMaxLength(1);
    list_ = new QListWidget;
    auto* browse = new QPushButton("...");
    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(directory_, 1);
    directoryRow->addWidget(browse);
    auto* channelButtons = new QHBoxLayout;
    QPushButton* add = new QPushButton("&Add...");
    QPushButton* edit = new QPushButton("&Edit...");
    QPushButton* remove = new QPushButton("&Remove");
    for (QPushButton* b : {browse, add, edit, remove}) {
        b->setAutoDefault(false);
        if (b != browse) channelButtons->addWidget(b);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* form = new QFormLayout;
    form->addRow("Event File Directory:", directoryRow);
    form->addRow("Corvid Drive Letter:", drive_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(list_, 1);
    layout->addLayout(channelButtons);
    layout->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString dir =
            QFileDialog::getExistingDirectory(this, "New Tellurix Event File Directory", directory_->text());
        if (!dir.isEmpty()) directory_->setText(dir);
    });
    connect(add, &QPushButton::clicked, this, [this] { editChannel(true); });
    connect(edit, &QPushButton::clicked, this, [this] { editChannel(false); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { editChannel(false); });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row < 0) return;
        setup_.channels.erase(setup_.channels.begin() + row);
        refreshList();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CReplaySetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReplaySetup::reject);
    refreshList();
}

void CReplaySetup::refreshList() {
    list_->clear();
    for (const ReplayChannel& channel : setup_.channels)
        list_->addItem(QString::fromStdString(replayChannelListText(channel)));
}

void CReplaySetup::editChannel(bool add) {
    const int row = list_->currentRow();
    if ((!add && row < 0) || (add && static_cast<int>(setup_.channels.size()) >= kMaxReplayChannels)) return;
    CReplayAdd dialog(add ? ReplayChannel{} : setup_.channels[static_cast<std::size_t>(row)], messages_,
                      this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (add)
        setup_.channels.push_back(dialog.channel());
    else
        setup_.channels[static_cast<std::size_t>(row)] = dialog.channel();
    refreshList();
}

void CReplaySetup::accept() {
    const QString drive = drive_->text().trimmed();
    if (!drive.isEmpty() && !drive[0].isLetter()) {
        messages_.error("Invalid Drive Corvid Drive Letter");
        return;
    }
    setup_.eventDirectory = directory_->text().trimmed().toStdString();
    setup_.drive = drive.isEmpty() ? 0 : static_cast<char>(drive[0].toUpper().toLatin1());
    std::string error;
    if (!writeReplayDat(file_, setup_, error)) {
        messages_.error(error);
        return;
    }
    QDialog::accept();
}

} // namespace tlx::app
