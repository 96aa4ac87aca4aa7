#include "views/seismo_readouts.h"

#include "core/file_io.h"
#include "core/text.h"
#include "record/file_kind.h"
#include "seismo/extra_phases.h"
#include "seismo/geodesy.h"
#include "seismo/magnitudes.h"

#include <algorithm>

#include <memory>

namespace tlx::views {

void SeismoTables::load(const IniProfile& ini, const std::vector<std::filesystem::path>& tableFolders,
                        const std::vector<std::filesystem::path>& dataFolders, Messages& messages) {
    const bool iasp91Loaded = iasp91.loadIasp91(dataFolders);
    settings = TableSettings::read(ini, iasp91Loaded);
    if (iasp91Loaded) travel.setIasp91(&iasp91);
    std::filesystem::path folder;
    for (const auto& f : tableFolders)
        if (!findFileAnyCase(f, settings.pFile).empty()) {
            folder = f;
            break;
        }
    travelLoaded = travel.load(folder.empty() && !tableFolders.empty() ? tableFolders.front() : folder,
                               settings, messages);
    attenuation = AttenuationTableSet(dataFolders);
    attenuationLoaded = attenuation.loadGlobal();
    if (!attenuationLoaded) messages.error("File MAGTBL.DAT File not found or Error in File!");
    const std::filesystem::path magcorr = findDataFile(dataFolders, "MAGCORR.DAT");
    if (magcorr.empty() || !corrections.load(magcorr)) messages.error("File MAGCORR.DAT not found!");
    responseText.clear();
    if (!dataFolders.empty() && !dataFolders.front().empty()) {
        const std::filesystem::path response = findFileAnyCase(dataFolders.front(), "response.dat");
        if (!response.empty()) readTextFile(response, responseText, 16u << 20);
    }
}

double SeismoTables::magnitudeCorrectionFor(const EventRecord& record, int fileKind) const {
    const double own = record.header.magCorrection;
    if (own != 0) return own;
    const std::string channel = record.component().substr(0, 3);
    std::string station;
    if (fileKind == kKindSeed)
        station = record.stationName().substr(0, 5);
    else if (fileKind == kKindSac)
        station = record.stationName().substr(0, 6);
    double c = 0;
    if (!station.empty()) {
        c = responseCorrection(responseText, station, channel);
        if (c == 0) c = corrections.byStationChannel(station, channel);
    }
    if (c == 0) c = corrections.byFileName(record.fileName, record.header.orientation);
    return c;
}

WindowTravelTimes newWindowTravelTimes(const SeismoTables& tables) {
    const CTravelTm& travel = tables.travel;
    WindowTravelTimes w = travel.newWindow(tables.settings);
    if (!w.teleLoaded && !travel.slot(CTravelTm::kRegP).empty() && !travel.slot(CTravelTm::kRegS).empty()) {
        w.tables[CTravelTm::kRegP] = travel.slot(CTravelTm::kRegP);
        w.tables[CTravelTm::kRegS] = travel.slot(CTravelTm::kRegS);
        travel.buildSpTable(w, w.useTable, w.regDepth, w.teleDepth);
    }
    return w;
}

std::shared_ptr<WindowTravelTimes> attachReadouts(EqViewModel& model, const SeismoTables& tables) {
    auto window = std::make_shared<WindowTravelTimes>(newWindowTravelTimes(tables));
    model.setDistanceProvider([window](double spSeconds) -> std::optional<DistanceResult> {
        const SpDistance d = distanceFromSp(*window, static_cast<int>(spSeconds * 1000 + 0.5));
        if (!d.found()) return std::nullopt;
        DistanceResult r;
        r.degrees = d.degrees;
        r.pTravelSeconds = d.pTimeMs / 1000.0;
        r.depthKm = window->depthFor(window->useTable);
        r.tableName = window->useTable == kRegional ? "Reg: "
                      : window->useTable == kIasp91 ? "IA91: "
                                                    : "JB: ";
        return r;
    });
    // Without magtbl.dat only Ml is missing; Ms, Mb and Md need no table.
    const SeismoTables* source = &tables;
    model.setMagnitudeProvider([source](const MagnitudeInputs& in) -> std::optional<MagnitudeValues> {
        WindowMagnitudeInputs w;
        w.epicentralKm = in.epicentralKm;
        w.depthKm = in.depthKm;
        w.amplitude = in.amplitudeCounts;
        w.msPeriodS = in.msPeriodS;
        w.mbPeriodS = in.mbPeriodS;
        w.pick = in.magMode == kMagMb ? AmplitudePick::Mb : AmplitudePick::Ms;
        w.mdMode = in.magMode == kMagMd && in.mdDurationSeconds.has_value();
        w.durationMs = in.mdDurationSeconds.value_or(0) * 1000;
        w.station.correction = in.record->header.magCorrection;
        w.station.sensitivity = in.record->header.sensitivity;
        w.station.sensorType = in.record->header.sensorType;
        w.units = source->magnitudeUnits;
        const WindowMagnitudes m = windowMagnitudes(w, source->attenuation, in.record->stationName());
        return MagnitudeValues{m.ml, m.ms, m.mb, m.md};
    });
    // The extra phases of the shown kind at the window's distance, on the markers' time line.
    model.setPhaseProvider([source, w = window](const Readout& r) {
        std::vector<PhaseMark> marks;
        const CTravelTm& travel = source->travel;
        const int origin = static_cast<int>(((r.originMs % kDayMs) + kDayMs) % kDayMs);
        const bool iasp91Kind = source->settings.i91Phases != 0;
        for (std::size_t k = CTravelTm::kFirstExtra; k < travel.slots().size(); ++k) {
            const PhaseTable& t = travel.slots()[k];
            if (t.empty() || (t.iasp91 != 0) != iasp91Kind) continue;
            const int arrival = travel.phaseArrival(*w, origin, r.degrees, k);
            if (arrival < 0) continue;
            const std::int64_t after = ((arrival - origin) % kDayMs + kDayMs) % kDayMs;
            marks.push_back({r.originMs + after, phaseMarkerLabel(t).text});
        }
        return marks;
    });
    return window;
}

bool placeMarkersFromEvent(EqViewModel& model, const SeismoTables& tables, WindowTravelTimes* window,
                           Messages& messages, bool quiet) {
    if (model.sources().empty()) return false;
    const EventRecord& r = *model.sources()[static_cast<std::size_t>(model.currentRecord())].record;
    if (r.info.events.empty()) {
        if (!quiet) messages.error("No Event Information");
        return false;
    }
    const int index = std::clamp<int>(r.info.currentEvent, 0, static_cast<int>(r.info.events.size()) - 1);
    const EventEntry e = r.info.events[static_cast<std::size_t>(index)];
    GreatCircle arc;
    PredictedArrivals arrivals;
    const double stationLat = r.header.latitude, stationLon = r.header.longitude;
    if (window && greatCircle(stationLat, stationLon, e.latitude, e.longitude, arc) && arc.degrees > 0)
        arrivals = tables.travel.predictFromEvent(*window, static_cast<int>(timeOfDayMs(e.originTime)),
                                                  arc.degrees, e.depth);
    if (arrivals.pMs < 0 || arrivals.sMs < 0) {
        if (!quiet) messages.error("Can't place P and/or S markers");
        return false;
    }
    const Rect& strip = model.strip(model.currentRecord());
    const int y = strip.bottom - strip.height() / 3;
    model.placeMarker(kMarkerP, arrivals.pMs, y);
    model.placeMarker(kMarkerS, arrivals.sMs, y + 10);
    return true;
}

} // namespace tlx::views
