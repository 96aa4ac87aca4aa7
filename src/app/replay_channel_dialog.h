// "Replay Channel Information": one recorder channel of REPLAY.DAT.
#pragma once

#include "core/messages.h"
#include "services/replay_request.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace tlx::app {

class CReplayAdd : public QDialog {
    Q_OBJECT
  public:
    CReplayAdd(const ReplayChannel& channel, Messages& messages, QWidget* parent);
    ReplayChannel channel() const;
    // OK only for a name of 2 to 8 characters, a system 1 to 9 and an existing folder.
    void accept() override;

  private:
    void changeDirectory();

    Messages& messages_;
    QLineEdit* name_;
    QSpinBox* system_;
    QCheckBox* winCorvid_;
    QLineEdit* directory_;
};

} // namespace tlx::app
