// "Replay Status": waits for the recorder's event file, looking once a second, with Cancel.
#pragma once

#include "services/replay_request.h"

#include <QDialog>
#include <QTimer>

namespace tlx::app {

class CReplayStat : public QDialog {
    Q_OBJECT
  public:
    CReplayStat(ReplaySent sent, QWidget* parent, int polls = 40, int pollMs = 1000);
    // Valid after exec().
    const ReplayWait& result() const { return result_; }
    void reject() override; // Cancel: the request is withdrawn

  private:
    void poll();
    void finish(ReplayWait result);

    ReplaySent sent_;
    int pollsLeft_;
    QTimer timer_;
    ReplayWait result_;
};

} // namespace tlx::app
