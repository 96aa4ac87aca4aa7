#include "views/event_session.h"

#include "core/data_paths.h"

#include <cmath>
#include <system_error>

namespace fs = std::filesystem;

namespace tlx::views {

TableFolders tableFolders(const fs::path& programDir, const fs::path& localDir, const fs::path& phaseDir) {
    std::error_code ec;
    fs::path tables = phaseDir;
    if (tables.empty())
        tables = fs::is_directory(programDir / "tables", ec) ? programDir / "tables" : programDir;
    const fs::path local = localDir.empty() ? programDir : localDir;
    TableFolders folders{{tables, programDir}, {local, programDir}};
    if (const fs::path shipped = shippedDataDirectory(); !shipped.empty()) {
        folders.tables.push_back(shipped);
        folders.data.push_back(shipped);
    }
    return folders;
}

EventSession::EventSession(const SeismoTables& tables, EventLoader& loader, Messages& messages,
                           IniProfile* settings, LoadMode mode, EqViewModel* model)
    : tables_(tables), messages_(messages), doc_(messages, loader, settings, mode),
      ownModel_(model ? nullptr : std::make_unique<EqViewModel>()), model_(model ? model : ownModel_.get()) {}

EventSession::~EventSession() = default;

bool EventSession::open(const OpenRequest& request) {
    if (traces_ || !doc_.open(request)) return false;
    // The window's own copy of the tables as they are when it opens.
    travel_ = attachReadouts(*model_, tables_);
    fillMagnitudeCorrections();
    traces_ = std::make_unique<EventSlots>(doc_);
    model_->options().invert = doc_.inverted();
    model_->setSources(traces_->sources());
    syncSelection();
    traces_->onDataChanged = [this] {
        model_->options().invert = doc_.inverted();
        model_->updateSources(traces_->sources());
        syncSelection();
        if (onDataChanged) onDataChanged();
    };
    traces_->onSelectionChanged = [this] {
        syncSelection();
        if (onSelectionChanged) onSelectionChanged();
    };
    return true;
}

bool EventSession::open(const std::vector<std::string>& files) {
    return open(OpenRequest{files, kForceNone, {}});
}

bool EventSession::addRecord(const std::string& file) {
    if (!traces_ || !doc_.addRecord(file)) return false;
    fillMagnitudeCorrections();
    return true;
}

void EventSession::fillMagnitudeCorrections() {
    for (int i = 0; i < doc_.recordCount(); ++i) {
        EventRecord& record = doc_.editRecord(i);
        if (record.header.magCorrection == 0)
            record.header.magCorrection = tables_.magnitudeCorrectionFor(record, doc_.fileKind());
    }
}

void EventSession::syncSelection() {
    model_->selectRecord(doc_.currentRecord());
    model_->showAlone(doc_.singleRecord() ? doc_.currentRecord() : -1);
}

bool EventSession::locateMarkers(bool quiet) {
    return placeMarkersFromEvent(*model_, tables_, travel_.get(), messages_, quiet);
}

std::optional<std::int64_t> EventSession::markerTime(std::int64_t msOfDay) const {
    if (!traces_ || doc_.recordCount() == 0 || !(doc_.sps() > 0)) return std::nullopt;
    const double start = model_->recordStartMs(0);
    const double end = start + doc_.commonCount() / doc_.sps() * 1000;
    std::int64_t t = msOfDay;
    if (static_cast<double>(t) < std::floor(start)) t += kMsPerDay;
    if (static_cast<double>(t) > end) return std::nullopt;
    return t;
}

void EventSession::placeMarkers(std::optional<std::int64_t> pMs, std::optional<std::int64_t> sMs) {
    if (!traces_) return;
    const Rect& strip = model_->strip(model_->currentRecord());
    const int y = strip.bottom - strip.height() / 3;
    if (pMs) model_->placeMarker(kMarkerP, *pMs, y);
    if (sMs) model_->placeMarker(kMarkerS, *sMs, y + 10);
}

bool EventSession::useTable(int mode, std::optional<double> depthKm) {
    if (mode < kRegional || mode > kIasp91 || (depthKm && !(*depthKm >= 0))) return false;
    // Tried on a copy: a table that is not loaded leaves the window's lookup as it was.
    WindowTravelTimes trial = *travel_;
    double reg = trial.regDepth, tele = trial.teleDepth;
    if (depthKm) (mode == kRegional ? reg : tele) = *depthKm;
    if (!tables_.travel.buildSpTable(trial, mode, reg, tele)) return false;
    trial.useTable = mode;
    *travel_ = std::move(trial);
    return true;
}

} // namespace tlx::views
