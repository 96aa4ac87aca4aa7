// "Remote Event File Request": the remote stations of REMOTE.DAT, and one request mail to each
// selected station (event files of a time window, or its channel list).
#pragma once

#include "app/send_mail_dialog.h"
#include "core/civil_time.h"
#include "services/remote_request.h"

#include <QDialog>

#include <functional>

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace tlx::app {

class CRemoteReq : public QDialog {
  public:
    // `form` is the time window kept for the next opening; `eventStart` the current record's start.
    CRemoteReq(const MailContext& context, RemoteRequestForm& form, std::optional<CivilTime> eventStart,
               QWidget* parent = nullptr);
    void accept() override; // "&Send Request"
    void done(int result) override;
    // The mails sent (tests).
    int sentCount() const { return sent_; }
    // Opened from the menu; `window` (may be null) gives the event time.
    static void showFor(EventWindow* window, AppContext& ctx, QWidget* parent);
    // "&Event Report...": the origin time of the row chosen in the Event Report dialog.
    std::function<std::optional<CivilTime>()> chooseReportTime;

  private:
    void showStations();
    void showChannels();
    void editStation(int row);
    void loadStationFile();
    void editAuthentication();
    RemoteRequestForm formFromFields() const;
    void readFields();

    MailContext ctx_;
    RemoteRequestForm& form_;
    RemoteSettings settings_;
    std::string loadedText_; // REMOTE.DAT as read, to see whether it must be written
    MailTransport transport_;
    int sent_ = 0;
    QSpinBox *month_, *day_, *year_, *hour_, *minute_, *length_;
    QComboBox* zone_;
    QComboBox* rate_;
    QLineEdit *sendTo_, *userName_, *popAccount_, *server_;
    QListWidget* stations_;
    QListWidget* channels_;
    QCheckBox* stationInfo_;
};

} // namespace tlx::app
