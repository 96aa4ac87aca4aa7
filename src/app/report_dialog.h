// "Event Report": the application-wide report list loaded from ".rpt" files or fetched from a
// network service, sorted by column, matched with the open event, and the chosen row stored into
// every record of the event window.
#pragma once

#include "services/report_list.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;

namespace tlx::app {

struct AppContext;
class EventWindow;

class CReport : public QDialog {
  public:
    // window: the active event window, or null.
    CReport(AppContext& ctx, EventWindow* window, QWidget* parent = nullptr);

    // Loads a report file (detect: the type from the file's own text) and shows it.
    bool loadReportFile(const std::string& path, bool detect);
    // Adds a report made by the operator (a point on the map) to the list and selects it.
    void showMadeReport(const ReportRow& row);
    // The explicit Search: selects the row nearest to the record start, or says "Time not found!".
    void search();
    // Stores the selected row into every record of the window (asking Add or Replace when a record
    // already holds event reports); false when nothing was stored.
    bool storeSelected();
    void accept() override;

  private:
    void fill();
    void showDistance();
    void sortBy(int column);
    // By the column and direction of the settings.
    void sortSaved();
    void chooseFile();
    void networkReport(bool historical);
    void googleEarth();
    void selectMatch();
    std::vector<std::filesystem::path> dataFolders() const;

    AppContext& ctx_;
    EventWindow* window_;
    ReportList& list_;
    QLabel* file_;
    QComboBox* type_;
    QTreeWidget* rows_;
    QLabel* distance_;
    QCheckBox* saveClip_;
};

} // namespace tlx::app
