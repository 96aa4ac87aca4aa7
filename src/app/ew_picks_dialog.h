// "Earthworm Picks": the modeless list of a locator phase file's picks, exchanged with the event
// windows' P markers, and the run of the locator whose locations are shown in Google Earth.
#pragma once

#include "services/ew_locator_run.h"
#include "services/ew_phase_file.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace tlx::app {

class CMainFrame;
class EventWindow;
struct AppContext;

class CEwPicksDlg : public QDialog {
    Q_OBJECT
  public:
    CEwPicksDlg(CMainFrame& frame, AppContext& ctx);
    // The one dialog of the program: opening it again brings it forward.
    static CEwPicksDlg* showFor(CMainFrame& frame, AppContext& ctx);

    bool loadPhaseFile(const std::string& path);
    const EwPhaseFile& phases() const { return phases_; }
    // "Add P Time to Pick List" from an event window's P marker.
    void addPick(EventWindow& window);
    // "&Update Picks" and "&Get Picks".
    void updatePicks();
    void getPicks();
    // "&Display On Google Earth": the locator run, the KML written and opened.
    bool displayOnGoogleEarth();
    // Writes the "EwPhases" keys and the placement.
    void done(int result) override;

  private:
    void refreshList();
    void applyWeight(bool all);
    void save();
    void chooseCommandFile();
    void edit();
    void clearSummary();
    bool showLocations(const std::vector<EwLocation>& locations);
    std::optional<EwKmlPoint> reportPoint() const;
    void debug(const std::string& line) const;

    CMainFrame& frame_;
    AppContext& ctx_;
    EwPhaseFile phases_;
    std::string phaseFile_;
    std::string commandFile_;
    std::string summaryFile_;
    QListWidget* list_;
    QComboBox* weight_;
    QCheckBox* includeReport_;
    QCheckBox* getFirst_;
    QCheckBox* clearFirst_;
    QCheckBox* debug_;
    QLineEdit* range_;
    QLabel* eventTime_;
    QLabel* depth_;
    QLabel* locationError_;
};

} // namespace tlx::app
