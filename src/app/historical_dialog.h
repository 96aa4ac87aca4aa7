// "Historical Data Lookup": the dates and magnitudes of a data server's historical query.
#pragma once

#include "services/historical_query.h"

#include <QDialog>

class QDateEdit;
class QDoubleSpinBox;

namespace tlx {
class Messages;
}

namespace tlx::app {

class CHistoricalLookup : public QDialog {
  public:
    CHistoricalLookup(const HistoricalValues& values, Messages& messages, QWidget* parent = nullptr);
    HistoricalValues values() const;
    // The query sent (a day either side of the dates), valid after OK.
    const HistoricalQuery& query() const { return query_; }
    void accept() override; // "Start time error", "End time error", "Start or end time error"

  private:
    Messages& messages_;
    QDateEdit* start_;
    QDateEdit* end_;
    QDoubleSpinBox* minMag_;
    QDoubleSpinBox* maxMag_;
    HistoricalQuery query_;
};

} // namespace tlx::app
