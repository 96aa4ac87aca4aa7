#include "app/remote_station_dialog.h"

#include "core/file_io.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tlx::app {

CStation::CStation(RemoteStation& station, Messages& messages, QWidget* parent)
    : QDialog(parent), station_(station), edit_(station), messages_(messages) {
    setWindowTitle("Remote Station Information");
    auto* form = new QFormLayout(this);
    name_ = new QLineEdit(QString::fromStdString(station.name));
    address_ = new QLineEdit(QString::fromStdString(station.address));
    channels_ = new QListWidget;
    channels_->setMinimumHeight(120);
    auto* del = new QPushButton("&Delete Channel");
    auto* load = new QPushButton("&Load File...");
    newId_ = new QLineEdit;
    newId_->setMaxLength(static_cast<int>(kRemoteChannelIdLength));
    auto* add = new QPushButton("&Add");
    component_ = new QLineEdit;
    location_ = new QLineEdit;
    info_ = new QLineEdit;
    auto* row = new QHBoxLayout;
    row->addWidget(del);
    row->addWidget(load);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(newId_, 1);
    addRow->addWidget(add);
    form->addRow("&Station Name:", name_);
    form->addRow("&Email Address:", address_);
    form->addRow("Channels:", channels_);
    form->addRow(row);
    form->addRow("New ID:", addRow);
    form->addRow("Component:", component_);
    form->addRow("Sensor Location:", location_);
    form->addRow("Sensor Information:", info_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    connect(channels_, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
    connect(channels_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = channels_->row(item);
        if (row >= 0 && row < static_cast<int>(edit_.channels.size()))
            edit_.channels[static_cast<std::size_t>(row)].selected = item->checkState() == Qt::Checked;
    });
    connect(del, &QPushButton::clicked, this, [this] {
        const int row = channels_->currentRow();
        if (row < 0) return;
        shown_ = -1;
        edit_.channels.erase(edit_.channels.begin() + row);
        showChannels();
    });
    connect(add, &QPushButton::clicked, this, [this] {
        const std::string id = newId_->text().trimmed().toStdString();
        if (id.empty()) return;
        keepSelected();
        edit_.channels.push_back({true, 0, id, "", "", ""});
        newId_->clear();
        showChannels();
        channels_->setCurrentRow(channels_->count() - 1);
    });
    connect(load, &QPushButton::clicked, this, [this] { loadFile(); });
    showChannels();
}

void CStation::showChannels() {
    const QSignalBlocker block(channels_);
    channels_->clear();
    for (const RemoteChannel& c : edit_.channels) {
        auto* item = new QListWidgetItem(QString::fromStdString(c.kind == 1 ? c.id + " (data set)" : c.id));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c.selected ? Qt::Checked : Qt::Unchecked);
        channels_->addItem(item);
    }
    shown_ = -1;
    if (channels_->count() > 0) channels_->setCurrentRow(0);
    showSelected();
}

void CStation::keepSelected() {
    if (shown_ < 0 || shown_ >= static_cast<int>(edit_.channels.size())) return;
    RemoteChannel& c = edit_.channels[static_cast<std::size_t>(shown_)];
    c.component = component_->text().toStdString();
    c.location = location_->text().toStdString();
    c.info = info_->text().toStdString();
}

void CStation::showSelected() {
    keepSelected();
    shown_ = channels_->currentRow();
    const bool any = shown_ >= 0 && shown_ < static_cast<int>(edit_.channels.size());
    const RemoteChannel empty;
    const RemoteChannel& c = any ? edit_.channels[static_cast<std::size_t>(shown_)] : empty;
    component_->setText(QString::fromStdString(c.component));
    location_->setText(QString::fromStdString(c.location));
    info_->setText(QString::fromStdString(c.info));
    for (QLineEdit* e : {component_, location_, info_})
        e->setEnabled(any);
}

void CStation::loadFile() {
    const QString file = QFileDialog::getOpenFileName(this, "Load Channel Information", QString(), "*.txt");
    if (file.isEmpty()) return;
    std::string text;
    if (!readTextFile(file.toStdString(), text, 1u << 20)) {
        messages_.error("Can't Open File");
        return;
    }
    keepSelected();
    edit_.channels = parseChannelInfo(text);
    showChannels();
}

void CStation::accept() {
    keepSelected();
    edit_.name = name_->text().trimmed().toStdString();
    edit_.address = address_->text().trimmed().toStdString();
    if (edit_.name.empty()) {
        messages_.error("Enter the Station Name");
        name_->setFocus();
        return;
    }
    if (edit_.address.find('@') == std::string::npos) {
        messages_.error("Invalid Email Address");
        address_->setFocus();
        return;
    }
    station_ = edit_;
    QDialog::accept();
}

} // namespace tlx::app
