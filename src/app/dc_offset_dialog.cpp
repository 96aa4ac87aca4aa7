#include "app/dc_offset_dialog.h"

#include "core/text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace tlx::app {

CDcOffset::CDcOffset(CEqDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
    setWindowTitle("DC Offset");
    auto* form = new QFormLayout(this);
    offset_ = new QLineEdit(QString::fromStdString(doc.manualDcOffsetText()));
    autoOffset_ = new QCheckBox("&Automatic DC Offset");
    autoOffset_->setChecked(doc.autoDcOffset());
    fftOffset_ = new QCheckBox("&FFT DC Offset");
    fftOffset_->setChecked(doc.fftDcOffset());
    form->addRow("DC &Offset:", offset_);
    form->addRow(autoOffset_);
    form->addRow(fftOffset_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void CDcOffset::accept() {
    double offset = 0;
    if (!parseDouble(offset_->text().toStdString(), offset)) {
        offset_->setFocus();
        offset_->selectAll();
        return;
    }
    doc_.setManualDcOffset(offset);
    if (autoOffset_->isChecked() != doc_.autoDcOffset()) doc_.setAutoDcOffset(autoOffset_->isChecked());
    if (fftOffset_->isChecked() != doc_.fftDcOffset()) doc_.setFftDcOffset(fftOffset_->isChecked());
    QDialog::accept();
}

} // namespace tlx::app
