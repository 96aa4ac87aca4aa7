// The replay settings: where replayed files arrive, the recorder's drive letter and the channels,
// kept in REPLAY.DAT.
#pragma once

#include "core/messages.h"
#include "services/replay_request.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace tlx::app {

class CReplaySetup : public QDialog {
    Q_OBJECT
  public:
    // `file`: where OK writes REPLAY.DAT.
    CReplaySetup(ReplaySetup setup, std::filesystem::path file, Messages& messages, QWidget* parent);
    const ReplaySetup& setup() const { return setup_; }
    void accept() override;

  private:
    void refreshList();
    void editChannel(bool add);

    ReplaySetup setup_;
    std::filesystem::path file_;
    Messages& messages_;
    QLineEdit* directory_;
    QLineEdit* drive_;
    QListWidget* list_;
};

} // namespace tlx::app
