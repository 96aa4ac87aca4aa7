#include "app/channel_dialog.h"

#include "document/eq_doc.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {

CChannelChoice::CChannelChoice(const std::string& file, const std::vector<std::string>& channels,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Select Channels");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(file)));
    list_ = new QListWidget;
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const std::string& c : channels)
        list_->addItem(QString::fromStdString(c));
    if (list_->count() > 0) list_->item(0)->setSelected(true);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // An event window holds three records at most.
    connect(list_, &QListWidget::itemSelectionChanged, this, [this, buttons] {
        const int n = static_cast<int>(list_->selectedItems().size());
        buttons->button(QDialogButtonBox::Ok)->setEnabled(n >= 1 && n <= kMaxRecords);
    });
    layout->addWidget(buttons);
}

std::vector<int> CChannelChoice::chosen() const {
    std::vector<int> out;
    for (int i = 0; i < list_->count() && static_cast<int>(out.size()) < kMaxRecords; ++i)
        if (list_->item(i)->isSelected()) out.push_back(i);
    return out;
}

} // namespace tlx::app
