// The travel-time and magnitude tables the view's distance and magnitude read-outs use.
#pragma once

#include "core/ini_profile.h"
#include "core/messages.h"
#include "seismo/attenuation_table.h"
#include "seismo/iasp91.h"
#include "seismo/magnitude_corrections.h"
#include "seismo/magnitudes.h"
#include "seismo/travel_times.h"
#include "views/eq_view_model.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace tlx::views {

struct SeismoTables {
    SeismoTables() = default;
    SeismoTables(const SeismoTables&) = delete; // travel keeps a pointer to iasp91
    SeismoTables& operator=(const SeismoTables&) = delete;

    CTravelTm travel;
    TableSettings settings;
    bool travelLoaded = false;
    Iasp91Tables iasp91;
    // magtbl.dat and the stations' own "MAGTBL.<id>" tables, read when a record first needs them.
    mutable AttenuationTableSet attenuation;
    bool attenuationLoaded = false;
    // Auto Magnitude Sensitivity, or the correction or sensor units chosen explicitly.
    MagnitudeUnits magnitudeUnits = MagnitudeUnits::Auto;
    MagnitudeCorrections corrections; // MAGCORR.DAT
    std::string responseText;         // response.dat of the local data folder

    // The correction C of a record that carries none: for SEED and SAC records the response.dat
    // sensitivity or the MAGCORR.DAT station/channel line, then the MAGCORR.DAT file-name line;
    // 0 when nothing matches.
    double magnitudeCorrectionFor(const EventRecord& record, int fileKind) const;

    // iasp91.dat, magtbl.dat and MAGCORR.DAT from the local data folder or the program folder
    // (dataFolders, local first), response.dat from the local data folder only; the travel-time
    // tables from the first folder holding them. Failures are reported through `messages`.
    void load(const IniProfile& ini, const std::vector<std::filesystem::path>& tableFolders,
              const std::vector<std::filesystem::path>& dataFolders, Messages& messages);
};

// A window's copy of the travel-time tables: each pair that loaded serves its own table choice (a
// failed teleseismic pair leaves the regional one and IASP91 usable).
WindowTravelTimes newWindowTravelTimes(const SeismoTables& tables);

// Gives a view its own copy of the tables' S-P lookup and the magnitude formulas; returns that
// copy for the P-S location command and the table switch.
std::shared_ptr<WindowTravelTimes> attachReadouts(EqViewModel& model, const SeismoTables& tables);

// P-S Location: markers at the P and S arrivals predicted from the current record's event entry
// and the station position. Failures: "No Event Information", "Can't place P and/or S markers"
// (not shown when `quiet`).
bool placeMarkersFromEvent(EqViewModel& model, const SeismoTables& tables, WindowTravelTimes* window,
                           Messages& messages, bool quiet);

} // namespace tlx::views
