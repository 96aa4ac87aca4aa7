// tellurix-cli arc FILE [--stations FILE] [--add EVENTFILE --p hh:mm:ss.ss]: the picks of a
// locator phase file as the picks dialog lists them (JSON), or a record's P pick added to it.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/session_console.h"

#include "core/civil_time.h"
#include "core/text.h"
#include "services/ew_locator_run.h"
#include "services/ew_record_pick.h"

#include <cstdio>

namespace tlx::cli {
namespace {

// The pick on the record's day; a clock time before the record's start falls on the next day.
double pickTime(const EventRecord& record, std::int64_t msOfDay) {
    const CivilTime start = addSeconds(toCivil(record.header.startTime), record.header.startTimeOffset);
    const double startTime = static_cast<double>(epochSeconds(start)) + start.nanoseconds / 1e9;
    const double time = ewTimeOfMarker(record, msOfDay);
    return time < startTime ? time + 86400 : time;
}

void printPicks(const EwPhaseFile& phases) {
    JsonWriter json;
    json.beginArray();
    for (const EwPick& pick : phases.picks()) {
        json.beginObject();
        json.key("name").value(pick.name);
        json.key("time").value(ewTimeText(pick.time));
        json.key("epoch").value(pick.time);
        json.key("weight").value(std::string(1, pick.weight));
        json.key("label").value(ewWeightLabel(pick));
        json.key("disabled").value(pick.disabled);
        if (pick.stationKnown) {
            json.key("latitude").value(pick.latitude);
            json.key("longitude").value(pick.longitude);
        }
        json.endObject();
    }
    json.endArray();
    std::printf("%s\n", json.str().c_str());
}

int runArc(const Args& given) {
    Args args = given;
    std::string stations, eventFile;
    const bool hasStations = takeOption(args, "--stations", stations);
    const bool adding = takeOption(args, "--add", eventFile);
    std::optional<std::int64_t> clock;
    if (!timeOption(args, "--p", clock)) return 2;
    if (args.size() != 1 || adding != clock.has_value()) {
        std::fprintf(stderr,
                     "usage: tellurix-cli arc FILE [--stations FILE] [--add EVENTFILE --p hh:mm:ss.ss]\n");
        return 2;
    }
    ConsoleMessages messages(true);
    EwPhaseFile phases;
    std::string error;
    if (!phases.read(args[0], error)) {
        std::fprintf(stderr, "tellurix-cli: %s\n", error.c_str());
        return 1;
    }
    if (adding) {
        LoadResult loaded;
        if (!loadForConsole(eventFile, messages, loaded)) return 1;
        const EventRecord& record = loaded.channels.front().record;
        if (!addRecordPick(phases, record, pickTime(record, *clock), hasStations ? stations : "", messages) ||
            !phases.write(args[0], error)) {
            if (!error.empty()) std::fprintf(stderr, "tellurix-cli: %s\n", error.c_str());
            return 1;
        }
    }
    if (hasStations && !placeStations(phases.picks(), stations)) {
        std::fprintf(stderr, "tellurix-cli: Error Opening Station File %s\n", stations.c_str());
        return 1;
    }
    printPicks(phases);
    return 0;
}

} // namespace

TLX_CLI_COMMAND(arc, "arc", "arc FILE [--stations FILE] [--add EVENTFILE --p hh:mm:ss.ss]", runArc);

} // namespace tlx::cli
