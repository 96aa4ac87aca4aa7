#include "services/ew_record_pick.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"
#include "services/ew_locator_files.h"

#include <algorithm>
#include <cmath>

namespace tlx {

EwNewPick ewPickOfRecord(const EventRecord& record, double time) {
    EwNewPick pick;
    pick.station = std::string(trim(record.stationName()));
    pick.component = record.component().substr(0, 3);
    const std::string seedNetwork = fieldText(record.info.seedNetwork, sizeof record.info.seedNetwork);
    pick.network =
        seedNetwork.empty() ? fieldText(record.header.network, sizeof record.header.network) : seedNetwork;
    pick.location = fieldText(record.info.seedLocation, sizeof record.info.seedLocation);
    pick.time = time;
    return pick;
}

bool ewPickMatches(const EwPick& pick, const EventRecord& record) {
    const EwNewPick own = ewPickOfRecord(record, 0);
    return pick.name == own.station + "." + own.component;
}

namespace {
double startMidnight(const EventRecord& record) {
    const CivilTime start = addSeconds(toCivil(record.header.startTime), record.header.startTimeOffset);
    return static_cast<double>(daysFromCivil(start.year, start.month, start.day)) * 86400;
}
} // namespace

double ewTimeOfMarker(const EventRecord& record, std::int64_t markerMs) {
    return startMidnight(record) + static_cast<double>(markerMs) / 1000;
}

std::int64_t ewMarkerOfTime(const EventRecord& record, double time) {
    return std::llround((time - startMidnight(record)) * 1000);
}

void ewApplyWeightEntry(EwPick& pick, int entry) {
    pick.weight = static_cast<char>('0' + std::clamp(entry, 0, 4));
    pick.disabled = entry > 4;
}

bool addRecordPick(EwPhaseFile& phases, const EventRecord& record, double time,
                   const std::filesystem::path& stationFile, Messages& messages) {
    const EwNewPick pick = ewPickOfRecord(record, time);
    if (!stationFile.empty()) {
        std::string stations;
        if (!readTextFile(stationFile, stations)) {
            messages.error(format("Error Opening Station File %s", stationFile.string().c_str()));
            return false;
        }
        const std::string name = pick.station + "." + pick.component;
        if (!findStation(stations, name) &&
            messages.ask(format("Station %s not found in station file %s. Add it?", name.c_str(),
                                stationFile.string().c_str()),
                         Buttons::YesNo) == Answer::Yes) {
            if (!stations.empty() && stations.back() != '\n') stations += '\n';
            stations += ewNewStationLine({pick.station, pick.network, pick.component, record.header.latitude,
                                          record.header.longitude, record.header.elevation}) +
                        "\n";
            if (!writeFileAtomically(stationFile, stations)) {
                messages.error(format("Error Opening Station File %s", stationFile.string().c_str()));
                return false;
            }
        }
    }
    std::string error;
    if (!phases.addPick(pick, error)) {
        messages.error(error);
        return false;
    }
    return true;
}

} // namespace tlx
