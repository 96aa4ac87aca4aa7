// "Network Event Report": the services of NETWORK.DAT, a fetch on a worker thread polled every
// 500 ms with its status and byte count, Cancel, and the ".rpt" file handed back on success.
#pragma once

#include "record/event_record.h"
#include "services/network_services.h"
#include "services/report_transfer.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace tlx::app {

struct AppContext;

class CReportNet : public QDialog {
  public:
    // recordStart: the open event's start (Connect to a data server then asks nothing);
    // historicalOnly: only "data@" services are offered.
    CReportNet(AppContext& ctx, std::optional<EventTime> recordStart, bool historicalOnly,
               QWidget* parent = nullptr);
    ~CReportNet() override;

    const std::string& reportFile() const { return reportFile_; }
    // "&Connect", or "H&istorical..." (which always asks for the query).
    void connectService(bool askQuery);
    bool transferring() const { return transfer_ != nullptr; }
    void reject() override; // Cancel during a transfer, else Close (asking to save changes)

  private:
    void loadServices();
    void showServices();
    void addService();
    void deleteService();
    bool saveServices();
    void chooseDirectory();
    void poll();
    void setBusy(bool busy);
    std::filesystem::path reportDirectory() const;
    const ReportService* selected() const;

    AppContext& ctx_;
    std::optional<EventTime> recordStart_;
    bool historicalOnly_;
    NetworkServices services_;
    std::vector<ReportService> offered_;
    std::unique_ptr<ReportTransfer> transfer_;
    QTimer poll_;
    std::string reportFile_;
    QListWidget* list_;
    QLabel* status_;
    QLabel* bytes_;
    QLabel* name_;
    QLabel* directory_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* save_;
    QPushButton* historical_;
    QPushButton* directoryButton_;
    QPushButton* connect_;
    QPushButton* close_;
};

} // namespace tlx::app
