#include "app/save_dialog.h"

#include "core/text.h"
#include "views/gif_export.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <filesystem>

namespace tlx::app {

CGifCntl::CGifCntl(AppSettings& settings, IniProfile& ini, QWidget* parent)
    : QDialog(parent), settings_(settings), ini_(ini) {
    setWindowTitle("GIF Settings");
    auto* form = new QFormLayout(this);
    height_ = new QSpinBox;
    width_ = new QSpinBox;
    for (QSpinBox* s : {height_, width_})
        s->setRange(100, 2048);
    height_->setValue(settings.gifHeight);
    width_->setValue(settings.gifWidth);
    k32_ = new QCheckBox("&32K Colors");
    k32_->setChecked(settings.gif32k);
    form->addRow("H&eight:", height_);
    form->addRow("&Width:", width_);
    form->addRow(k32_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void CGifCntl::accept() {
    if (height_->value() != settings_.gifHeight)
        ini_.setInt("Settings", "GifHeight", settings_.gifHeight = height_->value());
    if (width_->value() != settings_.gifWidth)
        ini_.setInt("Settings", "GifWidth", settings_.gifWidth = width_->value());
    if (k32_->isChecked() != settings_.gif32k)
        ini_.setInt("Settings", "Gif32K", (settings_.gif32k = k32_->isChecked()) ? 1 : 0);
    QDialog::accept();
}

CPrintSettings::CPrintSettings(AppSettings& settings, IniProfile& ini, QWidget* parent)
    : QDialog(parent), settings_(settings), ini_(ini) {
    setWindowTitle("Print Settings");
    auto* form = new QFormLayout(this);
    const char* labels[4] = {"Top:", "Bottom:", "Left:", "Right:"};
    const int values[4] = {settings.print.top, settings.print.bottom, settings.print.left,
                           settings.print.right};
    for (int i = 0; i < 4; ++i) {
        margins_[i] = new QSpinBox;
        margins_[i]->setRange(0, i < 2 ? 256 : 340);
        margins_[i]->setValue(values[i]);
        form->addRow(labels[i], margins_[i]);
    }
    color_ = new QCheckBox("Print in colour");
    color_->setChecked(settings.print.color);
    landscape_ = new QCheckBox("Landscape");
    landscape_->setChecked(settings.print.landscape);
    form->addRow(color_);
    form->addRow(landscape_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void CPrintSettings::accept() {
    int* targets[4] = {&settings_.print.top, &settings_.print.bottom, &settings_.print.left,
                       &settings_.print.right};
    const char* keys[4] = {"PrintTop", "PrintBottom", "PrintLeft", "PrintRight"};
    for (int i = 0; i < 4; ++i)
        if (*targets[i] != margins_[i]->value())
            ini_.setInt("Settings", keys[i], *targets[i] = margins_[i]->value());
    if (settings_.print.color != color_->isChecked())
        ini_.setInt("Settings", "PrintColor", (settings_.print.color = color_->isChecked()) ? 1 : 0);
    if (settings_.print.landscape != landscape_->isChecked())
        ini_.setInt("Settings", "PrintLand", (settings_.print.landscape = landscape_->isChecked()) ? 1 : 0);
    QDialog::accept();
}

CSave::CSave(SaveListMode mode, int preselected, const std::vector<const EventRecord*>& records,
             std::vector<std::string> names, AppSettings& settings, IniProfile& ini, Messages& messages,
             QWidget* parent)
    : QDialog(parent), records_(records),
      state_(std::move(names), mode == SaveListMode::GifOnly ? kSaveGif : preselected), settings_(settings),
      ini_(ini), messages_(messages) {
    setWindowTitle("File Save");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    formats_ = new QComboBox;
    for (const SaveFormatEntry& e : saveFormatList(mode))
        formats_->addItem(e.text, e.index);
    formats_->setCurrentIndex(std::max(0, formats_->findData(state_.format())));
    form->addRow("S&ave Format:", formats_);
    for (std::size_t i = 0; i < 3; ++i) {
        auto* row = new QHBoxLayout;
        auto* field = new QLineEdit;
        auto* browse = new QPushButton("...");
        row->addWidget(field, 1);
        row->addWidget(browse);
        const bool present = i < state_.names().size();
        field->setEnabled(present);
        browse->setEnabled(present);
        fields_.push_back(field);
        form->addRow(QString("Record %1:").arg(i + 1), row);
        connect(field, &QLineEdit::textEdited, this,
                [this, i](const QString& t) { state_.setName(i, t.toStdString()); });
        connect(browse, &QPushButton::clicked, this, [this, i] {
            const bool gif = state_.format() == kSaveGif;
            const QString name = QFileDialog::getSaveFileName(this, "File Save", fields_[i]->text(),
                                                              gif ? "GIF Image (*.GIF *.gif);;All Files (*)"
                                                                  : "All Files (*)");
            if (!name.isEmpty()) {
                state_.setName(i, applySaveExtension(name.toStdString(), state_.format()));
                refreshFields();
            }
        });
    }
    layout->addLayout(form);
    auto* options = new QGroupBox("Options");
    auto* optionForm = new QFormLayout(options);
    everyNth_ = new QSpinBox;
    everyNth_->setRange(1, 1000);
    yCompression_ = new QSpinBox;
    yCompression_->setRange(1, 1000);
    sampleType_ = new QComboBox;
    // Index 0 is Auto; the others are the stored sample types 0 to 3.
    for (const char* t :
         {"Auto", "Integer (16 bits)", "Long (32 bits)", "Float (4 bytes) ", "Double (8 bytes)"})
        sampleType_->addItem(t);
    volume_ = new QCheckBox("Data-set &volume");
    volume_->setEnabled(records_.size() > 1);
    invert_ = new QCheckBox("&Invert");
    removeDc_ = new QCheckBox("Remove &DC offset");
    optionForm->addRow("Save every &Nth point:", everyNth_);
    optionForm->addRow("&Y compression:", yCompression_);
    optionForm->addRow("Sample &type:", sampleType_);
    optionForm->addRow(volume_);
    optionForm->addRow(invert_);
    optionForm->addRow(removeDc_);
    options->setEnabled(mode != SaveListMode::GifOnly);
    layout->addWidget(options);
    overwrite_ = new QCheckBox("Ask before overwriting");
    overwrite_->setChecked(settings.overWriteMessage);
    longNames_ = new QCheckBox("Long file names");
    longNames_->setChecked(settings.longFileNames);
    eventTime_ = new QCheckBox("Use event time");
    eventTime_->setChecked(settings.useEventTime);
    auto* archive = new QGroupBox("Archive Name");
    auto* archiveRow = new QHBoxLayout(archive);
    auto* make = new QPushButton("&Make");
    auto* dir = new QPushButton("Di&rectory...");
    auto* gifSettings = new QPushButton("&GIF Settings...");
    archiveRow->addWidget(make);
    archiveRow->addWidget(dir);
    make->setEnabled(!records_.empty());
    for (QWidget* w :
         std::initializer_list<QWidget*>{overwrite_, longNames_, eventTime_, archive, gifSettings})
        layout->addWidget(w);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(formats_, &QComboBox::currentIndexChanged, this, [this] {
        state_.changeFormat(formats_->currentData().toInt());
        refreshFields();
    });
    connect(make, &QPushButton::clicked, this, [this] { makeArchiveNames(); });
    connect(gifSettings, &QPushButton::clicked, this, [this] { CGifCntl(settings_, ini_, this).exec(); });
    connect(dir, &QPushButton::clicked, this, [this] {
        std::string current = settings_.archiveDirectory;
        if (!current.empty() && (current.back() == '/' || current.back() == '\\')) current.pop_back();
        const QString chosen =
            QFileDialog::getExistingDirectory(this, "New Archive Directory", QString::fromStdString(current));
        if (chosen.isEmpty()) return;
        std::error_code ec;
        std::filesystem::create_directories(chosen.toStdString(), ec);
        if (!std::filesystem::is_directory(chosen.toStdString())) {
            messages_.error("Error Creating New Directory");
            return;
        }
        settings_.archiveDirectory = chosen.toStdString() + "/";
        ini_.setString("Settings", "ArchiveDirectory", settings_.archiveDirectory);
    });
    refreshFields();
}

SaveChoice CSave::choice() const {
    SaveChoice c;
    c.format = state_.format();
    c.names = state_.names();
    c.decimation = everyNth_->value();
    c.yCompression = yCompression_->value();
    c.volume = volume_->isChecked() && c.format == kSaveSvx4;
    c.invert = invert_->isChecked();
    c.removeDc = removeDc_->isChecked();
    c.sampleType = sampleType_->currentIndex() - 1; // Auto is -1
    c.askOverwrite = settings_.overWriteMessage;
    c.longFileNames = settings_.longFileNames;
    return c;
}

void CSave::refreshFields() {
    yCompression_->setEnabled(state_.format() == kSaveSvx3);
    volume_->setEnabled(records_.size() > 1 && state_.format() == kSaveSvx4);
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(i < state_.names().size() ? QString::fromStdString(state_.names()[i])
                                                      : QString());
}

void CSave::makeArchiveNames() {
    ArchiveSettings a{settings_.archiveDirectory, longNames_->isChecked(), eventTime_->isChecked()};
    for (std::size_t i = 0; i < records_.size() && i < state_.names().size(); ++i) {
        std::string name;
        if (!makeArchiveName(*records_[i], a, messages_, name)) break;
        state_.setName(i, name);
    }
    refreshFields();
}

void CSave::accept() {
    for (const std::string& n : state_.names())
        if (n.empty()) {
            messages_.error("Error: No File Name");
            return;
        }
    const std::pair<QCheckBox*, std::pair<const char*, bool*>> keys[] = {
        {overwrite_, {"OverWriteMessage", &settings_.overWriteMessage}},
        {longNames_, {"LongFileNames", &settings_.longFileNames}},
        {eventTime_, {"UseEventTime", &settings_.useEventTime}}};
    for (const auto& [box, key] : keys)
        if (box->isChecked() != *key.second)
            ini_.setInt("Settings", key.first, (*key.second = box->isChecked()) ? 1 : 0);
    QDialog::accept();
}

bool saveWindowPicture(QWidget* parent, AppSettings& settings, IniProfile& ini, Messages& messages,
                       const std::string& proposedName,
                       const std::function<QImage(int width, int height)>& picture) {
    CSave dialog(SaveListMode::GifOnly, kSaveGif, {}, {proposedName}, settings, ini, messages, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const std::vector<std::string> names = dialog.names();
    if (names.empty() || names.front().empty()) {
        messages.error("Error: No File Name");
        return false;
    }
    std::string message;
    if (views::saveImageAsGif(picture(settings.gifWidth, settings.gifHeight), names.front(), message))
        return true;
    messages.error(format("Error Making GIF Image.\nError: %s", message.c_str()));
    return false;
}

void printWindowPicture(QWidget* parent, QSize logical, const std::function<void(QPainter&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter p(&printer);
    const QRect page = p.viewport();
    p.setWindow(0, 0, logical.width(), logical.height());
    p.setViewport(page);
    paint(p);
}

} // namespace tlx::app
