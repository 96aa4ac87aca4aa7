#include "services/ew_locator_run.h"

#include "core/atomic_file.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/process.h"

namespace tlx {

namespace fs = std::filesystem;

bool placeStations(std::vector<EwPick>& picks, const fs::path& stationFile) {
    std::string text;
    if (!readTextFile(stationFile, text)) return false;
    for (EwPick& pick : picks) {
        const auto station = findStation(text, pick.name);
        pick.stationKnown = station.has_value();
        if (station) {
            pick.latitude = station->latitude;
            pick.longitude = station->longitude;
        }
    }
    return true;
}

EwRunResult runLocator(const EwPhaseFile& phases, const EwRunSettings& settings,
                       const std::function<bool()>& keepWaiting) {
    EwRunResult result;
    auto log = [&result](const std::string& line) {
        logLine(line);
        result.logLines += line + "\n";
    };
    const fs::path locator = settings.programDirectory / "hyp2000";
    std::error_code ec;
    if (!fs::exists(locator, ec)) {
        result.error =
            format("HYP2000.EXE Not Found in %s", (settings.programDirectory.string() + "/").c_str());
        return result;
    }
    std::string commandText;
    if (!readTextFile(settings.commandFile, commandText)) {
        result.error = "Can't Open Command File";
        return result;
    }
    const EwCommandFile command = parseCommandFile(commandText);
    if (command.summaryFile.empty()) {
        result.error = format("Summary File Command Not Found in %s", settings.commandFile.string().c_str());
        return result;
    }
    result.summaryFile = resolveNamed(settings.commandFile, command.summaryFile);
    if (settings.clearFirst) fs::remove(result.summaryFile, ec);

    fs::path newPhases = settings.phaseFile;
    newPhases += ".new";
    if (!phases.write(newPhases, result.error)) return result;
    if (!updateCommandFile(settings.commandFile, newPhases.string(), phases.format(), result.error))
        return result;

    const bool existedBefore = fs::exists(result.summaryFile, ec);
    const fs::file_time_type before =
        existedBefore ? fs::last_write_time(result.summaryFile, ec) : fs::file_time_type{};
    ChildProcess child;
    SpawnOptions options;
    options.workingDirectory = settings.programDirectory.string();
    const std::string script = (settings.programDirectory / "runhyp2k.sh").string();
    if (!child.start({"/bin/sh", script, settings.commandFile.string()}, options)) {
        result.error = "Error running runhyp2k.sh file";
        return result;
    }
    bool finished = false;
    for (int step = 0; step < settings.waitSteps && !finished; ++step) {
        finished = child.wait(settings.stepMs) == WaitStatus::Exited;
        if (!finished && keepWaiting && !keepWaiting()) break;
    }
    if (!finished) {
        log("EwPicks timeout after ShellExecuteEx");
        child.kill();
        child.wait(1000);
    }

    if (!fs::exists(result.summaryFile, ec)) {
        result.error = "Summary File Not Created";
        return result;
    }
    if (existedBefore && fs::last_write_time(result.summaryFile, ec) == before) {
        result.error = "Summary File Not Updated";
        return result;
    }
    std::string summary;
    if (!readTextFile(result.summaryFile, summary)) {
        result.error = format("Summary File %s Not Found", result.summaryFile.string().c_str());
        return result;
    }
    result.locations = parseSummary(summary);
    if (result.locations.empty()) {
        log("Error Parsing Summary File");
        return result;
    }
    result.ok = true;
    return result;
}

bool writeSummaryKml(const fs::path& file, const std::string& kml, std::string& error) {
    if (writeFileAtomically(file, kml)) return true;
    error = format("Error opening kml file %s for write", file.string().c_str());
    return false;
}

} // namespace tlx
