#include "app/data_operations_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace tlx::app {

CDataOperations::CDataOperations(const CEqDoc& doc, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromStdString(doc.dataOperationsCaption()));
    auto* layout = new QVBoxLayout(this);
    auto* list = new QListWidget;
    for (const std::string& line : doc.dataOperationsLines())
        list->addItem(QString::fromStdString(line));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(420, 240);
}

} // namespace tlx::app
