// The question of the browser's "Convert": how many files would change format and name, and which
// conversion to run.
#pragma once

#include "browser/file_convert.h"

#include <QDialog>

#include <optional>

namespace tlx::app {

class CConvertQuestion : public QDialog {
    Q_OBJECT
  public:
    CConvertQuestion(const browser::ConvertCounts& counts, QWidget* parent = nullptr);
    // Empty after Cancel.
    std::optional<browser::ConvertChoice> choice() const { return choice_; }

  private:
    std::optional<browser::ConvertChoice> choice_;
};

} // namespace tlx::app
