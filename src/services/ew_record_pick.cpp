#include "services/ew_record_pick.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"
#include "services/ew_locator_files.h"

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
