// CSave ("File Save"): the save format, one name per record, archive and long names; and
// CGifCntl ("GIF Settings"): the picture size.
#pragma once

#include "app/app_settings.h"
#include "core/ini_profile.h"
#include "core/messages.h"
#include "document/doc_save.h"
#include "record/save_naming.h"

#include <QDialog>
#include <QSize>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;
class QCheckBox;
class QImage;
class QPainter;
class QSpinBox;

namespace tlx::app {

class CGifCntl : public QDialog {
  public:
    CGifCntl(AppSettings& settings, IniProfile& ini, QWidget* parent = nullptr);
    void accept() override;

  private:
    AppSettings& settings_;
    IniProfile& ini_;
    QSpinBox* height_;
    QSpinBox* width_;
    QCheckBox* k32_;
};

// "Print Settings": margins in units of the 1024 x 768 page, colour and landscape.
class CPrintSettings : public QDialog {
  public:
    CPrintSettings(AppSettings& settings, IniProfile& ini, QWidget* parent = nullptr);
    void accept() override;

  private:
    AppSettings& settings_;
    IniProfile& ini_;
    QSpinBox* margins_[4];
    QCheckBox* color_;
    QCheckBox* landscape_;
};

class CSave : public QDialog {
  public:
    // `records` null in GIF-only mode (then `names` holds the one proposed name).
    CSave(SaveListMode mode, int preselected, const std::vector<const EventRecord*>& records,
          std::vector<std::string> names, AppSettings& settings, IniProfile& ini, Messages& messages,
          QWidget* parent = nullptr);
    int format() const { return state_.format(); }
    std::vector<std::string> names() const { return state_.names(); }
    // Format, names and the writer options as chosen.
    SaveChoice choice() const;
    void accept() override;

  private:
    void refreshFields();
    void makeArchiveNames();

    std::vector<const EventRecord*> records_;
    SaveNameState state_;
    AppSettings& settings_;
    IniProfile& ini_;
    Messages& messages_;
    QComboBox* formats_;
    std::vector<QLineEdit*> fields_;
    QCheckBox* overwrite_;
    QCheckBox* longNames_;
    QCheckBox* eventTime_;
    QSpinBox* everyNth_;
    QSpinBox* yCompression_;
    QCheckBox* volume_;
    QCheckBox* invert_;
    QCheckBox* removeDc_;
    QComboBox* sampleType_;
};

// A window's picture saved as GIF: the GIF-only save dialog with the proposed name, then the
// picture at the GIF size of the settings. False when nothing was written.
bool saveWindowPicture(QWidget* parent, AppSettings& settings, IniProfile& ini, Messages& messages,
                       const std::string& proposedName,
                       const std::function<QImage(int width, int height)>& picture);

// A window's picture printed: the print dialog, then `paint` on a page whose logical size is
// `logical`, scaled to the printable area.
void printWindowPicture(QWidget* parent, QSize logical, const std::function<void(QPainter&)>& paint);

} // namespace tlx::app
