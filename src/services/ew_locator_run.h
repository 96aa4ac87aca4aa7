// One run of the outside locator: the phase file saved beside itself as ".new", the command file
// pointed at it, "runhyp2k.sh" started with the command file in the program folder, and the
// summary file read back when the locator has written it.
#pragma once

#include "services/ew_locator_files.h"
#include "services/ew_phase_file.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tlx {

struct EwRunSettings {
    std::filesystem::path programDirectory; // holds hyp2000 and runhyp2k.sh
    std::filesystem::path phaseFile;
    std::filesystem::path commandFile;
    bool clearFirst = false; // delete the summary file before the run
    int waitSteps = 5;       // how many waits of stepMs the locator is given
    int stepMs = 1000;
};

struct EwRunResult {
    bool ok = false;
    std::string error;    // the message box text; empty when only the log was told
    std::string logLines; // what went to the program log
    std::filesystem::path summaryFile;
    std::vector<EwLocation> locations;
};

// Station positions of the picks from the station file the command file names; false when the
// file cannot be read.
bool placeStations(std::vector<EwPick>& picks, const std::filesystem::path& stationFile);

// `keepWaiting` is called between the waits (the dialog keeps its window alive there); false ends
// the wait early.
EwRunResult runLocator(const EwPhaseFile& phases, const EwRunSettings& settings,
                       const std::function<bool()>& keepWaiting = {});

// The summary KML written as "EwSummary.kml" into folder; false with "Error opening kml file %s for write".
bool writeSummaryKml(const std::filesystem::path& file, const std::string& kml, std::string& error);

} // namespace tlx
