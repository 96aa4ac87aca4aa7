// "STA / LTA Ratio": the modeless ratio list of an event window's current record, recomputed
// silently when the samples or the current record change (filter, undo, crop).
#pragma once

#include "document/eq_doc.h"
#include "dsp/sta_lta.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tlx::app {

class EventWindow;
struct AppContext;

class CStaLtaDialog : public QDialog, private DocObserver {
    Q_OBJECT
  public:
    CStaLtaDialog(EventWindow& window, AppContext& ctx);
    ~CStaLtaDialog() override;
    static CStaLtaDialog* showFor(EventWindow& window, AppContext& ctx);

    // "&Calculate" (with messages) or the silent run.
    bool calculate(bool withMessages);
    const StaLtaResult& result() const { return result_; }
    // Writes "StaLta" and "StaLtaPos".
    void done(int result) override;

  private:
    void samplesChanged() override { calculate(false); }
    void selectionChanged() override { calculate(false); }
    void saveFile();

    EventWindow& window_;
    AppContext& ctx_;
    StaLtaResult result_;
    QLineEdit* sta_;
    QLineEdit* lta_;
    QLineEdit* ratio_;
    QListWidget* list_;
    QLabel* maximum_;
    QPushButton* save_;
};

} // namespace tlx::app
