// "Remote Station Information": one remote station's name, address and channels.
#pragma once

#include "core/messages.h"
#include "services/remote_dat.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace tlx::app {

class CStation : public QDialog {
  public:
    CStation(RemoteStation& station, Messages& messages, QWidget* parent = nullptr);
    void accept() override;

  private:
    void showChannels();
    void showSelected();
    void keepSelected();
    void loadFile();

    RemoteStation& station_;
    RemoteStation edit_;
    Messages& messages_;
    int shown_ = -1; // the channel whose fields are shown
    QLineEdit* name_;
    QLineEdit* address_;
    QListWidget* channels_;
    QLineEdit* newId_;
    QLineEdit* component_;
    QLineEdit* location_;
    QLineEdit* info_;
};

} // namespace tlx::app
