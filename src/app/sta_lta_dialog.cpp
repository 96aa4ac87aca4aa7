#include "app/sta_lta_dialog.h"

#include "app/dialog_placement.h"
#include "app/event_window.h"
#include "app/main_frame.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {

CStaLtaDialog::CStaLtaDialog(EventWindow& window, AppContext& ctx)
    : QDialog(&window, Qt::Dialog), window_(window), ctx_(ctx) {
    setWindowTitle("STA / LTA Ratio");
    setModal(false);
    const StaLtaSettings s = parseStaLtaSetting(ctx.ini.getString("Settings", "StaLta", ""));
    sta_ = new QLineEdit(QString::fromStdString(s.sta));
    lta_ = new QLineEdit(QString::fromStdString(s.lta));
    ratio_ = new QLineEdit(QString::fromStdString(s.ratio));
    list_ = new QListWidget;
    maximum_ = new QLabel;
    maximum_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* form = new QFormLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"&STA Time:", sta_}, {"&LTA Time:", lta_}, {"Ratio Filter:", ratio_}};
    for (const auto& [text, edit] : rows) {
        auto* label = new QLabel(text);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }
    form->addRow("Maximum Ratio:", maximum_);
    auto* calculateButton = new QPushButton("&Calculate");
    save_ = new QPushButton("Save &File");
    auto* close = new QPushButton("&Close");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {calculateButton, save_, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Ratio Display:"));
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    connect(calculateButton, &QPushButton::clicked, this, [this] { calculate(true); });
    connect(save_, &QPushButton::clicked, this, &CStaLtaDialog::saveFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(360, 420);
    restorePlacement(this, ctx.ini, "StaLtaPos");
    window.doc().addObserver(this);
}

CStaLtaDialog::~CStaLtaDialog() {
    window_.doc().removeObserver(this);
}

CStaLtaDialog* CStaLtaDialog::showFor(EventWindow& window, AppContext& ctx) {
    auto* dialog = window.findChild<CStaLtaDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) dialog = new CStaLtaDialog(window, ctx);
    if (!dialog->isVisible()) dialog->calculate(false);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

bool CStaLtaDialog::calculate(bool withMessages) {
    const StaLtaSettings s{sta_->text().toStdString(), lta_->text().toStdString(),
                           ratio_->text().toStdString()};
    const CEqDoc& doc = window_.doc();
    const int slot = doc.currentRecord();
    const double startMs = window_.view()->model().recordStartMs(slot);
    StaLtaResult result;
    if (!computeStaLta(doc.samples(slot), doc.sps(), startMs, s, withMessages ? &ctx_.messages : nullptr,
                       result)) {
        double a = 0, b = 0, c = 0;
        const StaLtaField bad = validateStaLta(s, doc.sps(), nullptr, a, b, c);
        QLineEdit* field = bad == StaLtaField::Sta ? sta_ : bad == StaLtaField::Lta ? lta_ : ratio_;
        if (withMessages) field->setFocus();
        return false;
    }
    result_ = std::move(result);
    list_->clear();
    for (const StaLtaEntry& e : result_.entries)
        list_->addItem(QString::fromStdString(e.text));
    if (result_.maxEntry >= 0) list_->setCurrentRow(result_.maxEntry);
    maximum_->setText(QString::fromStdString(result_.maximumText));
    save_->setEnabled(!result_.entries.empty());
    return true;
}

void CStaLtaDialog::saveFile() {
    const QString start = QString::fromStdString((ctx_.settings.programDirectory / "StaLta.txt").string());
    const QString file = QFileDialog::getSaveFileName(this, "STA/LTA Save As", start, "*.txt");
    if (!file.isEmpty()) saveStaLtaFile(file.toStdString(), result_, ctx_.messages);
}

void CStaLtaDialog::done(int result) {
    const StaLtaSettings s{sta_->text().toStdString(), lta_->text().toStdString(),
                           ratio_->text().toStdString()};
    ctx_.ini.setString("Settings", "StaLta", formatStaLtaSetting(s));
    storePlacement(this, ctx_.ini, "StaLtaPos");
    QDialog::done(result);
}

} // namespace tlx::app
