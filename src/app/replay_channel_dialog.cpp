#include "app/replay_channel_dialog.h"

#include "core/text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace tlx::app {

CReplayAdd::CReplayAdd(const ReplayChannel& channel, Messages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle("Replay Channel Information");
    name_ = new QLineEdit(QString::fromStdString(channel.name));
    system_ = new QSpinBox;
    system_->setRange(0, 99);
    system_->setValue(channel.system);
    winCorvid_ = new QCheckBox("&WinCorvid Mode");
    winCorvid_->setChecked(channel.mode == 1);
    directory_ = new QLineEdit(QString::fromStdString(channel.requestDirectory));
    auto* change = new QPushButton("C&hange...");
    change->setAutoDefault(false);
    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(directory_, 1);
    directoryRow->addWidget(change);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* form = new QFormLayout(this);
    form->addRow("&File Extension or Dataset Name:", name_);
    form->addRow("&System Number:", system_);
    form->addRow(winCorvid_);
    form->addRow("Request Directory:", directoryRow);
    form->addRow(buttons);
    connect(change, &QPushButton::clicked, this, &CReplayAdd::changeDirectory);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReplayAdd::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReplayAdd::reject);
}

ReplayChannel CReplayAdd::channel() const {
    return {toUpper(trim(name_->text().toStdString())), system_->value(), winCorvid_->isChecked() ? 1 : 0,
            directory_->text().trimmed().toStdString()};
}

void CReplayAdd::changeDirectory() {
    const QString dir =
        QFileDialog::getExistingDirectory(this, "New Corvid Request Control Directory", directory_->text());
    if (dir.isEmpty()) return;
    if (!QDir().mkpath(dir)) {
        messages_.error("Error Creating New Directory");
        return;
    }
    directory_->setText(dir);
}

void CReplayAdd::accept() {
    if (!validReplayChannel(channel())) {
        messages_.error("Invalid Name (2 - 8 chars), System # (1 to 9), or Directory");
        return;
    }
    QDialog::accept();
}

} // namespace tlx::app
