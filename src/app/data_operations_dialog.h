// "Data Operations": the current record's processing history, one numbered line per operation.
#pragma once

#include "document/eq_doc.h"

#include <QDialog>

namespace tlx::app {

class CDataOperations : public QDialog {
  public:
    CDataOperations(const CEqDoc& doc, QWidget* parent = nullptr);
};

} // namespace tlx::app
