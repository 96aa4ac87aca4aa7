// One event window's road from files to read-outs, without Qt: the document opened through the
// loader, the records' magnitude corrections, the traces, the view model with its distance and
// magnitude read-outs, P-S Location and the table switch. The program window, its unattended
// modes and the console all open events through it.
#pragma once

#include "document/eq_doc.h"
#include "views/eq_view_model.h"
#include "views/event_slots.h"
#include "views/readout.h"
#include "views/seismo_readouts.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tlx::views {

// The folders SeismoTables::load searches: travel-time tables in the tables folder, the program
// folder and the shipped data folder; data files in the local data folder, the program folder and
// the shipped data folder.
struct TableFolders {
    std::vector<std::filesystem::path> tables;
    std::vector<std::filesystem::path> data;
};
// An empty local folder is the program folder; an empty tables folder is "tables" below the
// program folder when it exists, else the program folder (the settings' defaults).
TableFolders tableFolders(const std::filesystem::path& programDir, const std::filesystem::path& localDir = {},
                          const std::filesystem::path& phaseDir = {});

class EventSession {
  public:
    // `tables` (loaded once per program) and `loader` outlive the session. The session drives its
    // own view model, or `model` when given (a widget that owns one).
    EventSession(const SeismoTables& tables, EventLoader& loader, Messages& messages,
                 IniProfile* settings = nullptr, LoadMode mode = LoadMode::Interactive,
                 EqViewModel* model = nullptr);
    ~EventSession();
    EventSession(const EventSession&) = delete;
    EventSession& operator=(const EventSession&) = delete;

    // Opens one to three files (or channels of one volume) and fills missing magnitude
    // corrections; false when the first file cannot be loaded. Open once per session.
    bool open(const OpenRequest& request);
    bool open(const std::vector<std::string>& files);
    // Add record, with the new record's magnitude correction filled.
    bool addRecord(const std::string& file);
    // Records without a magnitude correction take the station's from MAGCORR.DAT or response.dat.
    void fillMagnitudeCorrections();

    bool isOpen() const { return traces_ != nullptr; }
    CEqDoc& doc() { return doc_; }
    const CEqDoc& doc() const { return doc_; }
    EventSlots& traces() { return *traces_; } // after open
    EqViewModel& model() { return *model_; }
    const EqViewModel& model() const { return *model_; }
    WindowTravelTimes& travelTimes() { return *travel_; } // after open
    const WindowTravelTimes& travelTimes() const { return *travel_; }

    // Called after the model followed a change of the document's samples or records, or of its
    // current record and single-record display (redraw, title).
    std::function<void()> onDataChanged;
    std::function<void()> onSelectionChanged;

    // P-S Location: P and S at the arrivals of the current record's event (needs a laid-out
    // model). Messages "No Event Information", "Can't place P and/or S markers" unless quiet.
    bool locateMarkers(bool quiet = false);
    // A time of day (ms) as a marker time in the record's span: before the start it is on the next
    // day. Absent when it lies outside the record.
    std::optional<std::int64_t> markerTime(std::int64_t msOfDay) const;
    // P and S at given marker times, one third of the current strip above its bottom (S 10 px lower).
    void placeMarkers(std::optional<std::int64_t> pMs, std::optional<std::int64_t> sMs);
    // The table switch: regional, teleseismic or IASP91, with a depth (km) for that choice; false
    // when that table is not loaded.
    bool useTable(int mode, std::optional<double> depthKm = {});

    Readout readout() const { return model_->readout(); }

  private:
    void syncSelection();

    const SeismoTables& tables_;
    Messages& messages_;
    CEqDoc doc_;
    std::unique_ptr<EqViewModel> ownModel_;
    EqViewModel* model_;
    std::unique_ptr<EventSlots> traces_;
    std::shared_ptr<WindowTravelTimes> travel_;
};

} // namespace tlx::views
