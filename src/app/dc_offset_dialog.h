// "DC Offset": the current record's manual offset and the two automatic-offset switches.
#pragma once

#include "document/eq_doc.h"

#include <QDialog>

class QLineEdit;
class QCheckBox;

namespace tlx::app {

class CDcOffset : public QDialog {
  public:
    CDcOffset(CEqDoc& doc, QWidget* parent = nullptr);
    void accept() override;

  private:
    CEqDoc& doc_;
    QLineEdit* offset_;
    QCheckBox* autoOffset_;
    QCheckBox* fftOffset_;
};

} // namespace tlx::app
