// tellurix-cli map-report FILE LAT LON [--p T --s T]: the event report that the location map's Make
// Event Report makes for a point, with the origin time and magnitudes of the window's markers (given,
// or placed by P-S Location from the file's event), as JSON; and the record comment it would store.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/session_console.h"

#include "core/data_paths.h"
#include "core/text.h"
#include "seismo/regions.h"
#include "views/marker_event.h"

#include <cstdio>

namespace tlx::cli {
namespace {

const char* const kUsage = "map-report FILE LAT LON [--p hh:mm:ss.ss --s hh:mm:ss.ss]";

int runMapReport(const Args& given) {
    Args args = given;
    std::optional<std::int64_t> pTime, sTime;
    if (!timeOption(args, "--p", pTime) || !timeOption(args, "--s", sTime)) return 2;
    GeoPoint point;
    if (args.size() != 3 || pTime.has_value() != sTime.has_value() || !parseDouble(args[1], point.lat) ||
        !parseDouble(args[2], point.lon)) {
        std::fprintf(stderr, "usage: tellurix-cli %s\n", kUsage);
        return 2;
    }
    ConsoleEvent event(true);
    if (!event.open(args[0])) return 1;
    views::EventSession& session = event.session;
    session.model().layout({0, 0, 1000, 700}, views::TextMetrics{}, views::Output::Screen);
    session.model().resetMarkers();
    if (pTime) {
        if (!placeGivenMarkers(session, pTime, sTime)) return 2;
    } else {
        session.locateMarkers(true); // without an event the report says what is missing
    }
    const EventRecord& first = session.doc().record(0);
    const PointReport made = makePointReport(point, views::markerEvent(session.readout(), first));
    if (!made.row) {
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(), made.error);
        return 1;
    }
    ReportRow row = *made.row;
    if (!regionTable().loaded()) loadRegionTable(shippedDataFile(kRegionFileName));
    row.comment = std::string(trim(regionName(row.latitude, row.longitude)));

    JsonWriter json;
    json.beginObject();
    json.key("file").value(args[0]);
    json.key("origin").value(formatIsoTime(row.originTime()));
    json.key("latitude").value(row.latitude);
    json.key("longitude").value(row.longitude);
    json.key("depth").value(row.depth);
    json.key("magnitudes").beginObject();
    if (row.magnitude != 0) json.key(row.magType).value(row.magnitude);
    if (row.magnitude2 != 0) json.key(row.magType2).value(row.magnitude2);
    json.endObject();
    json.key("agency").value(row.agency);
    json.key("comment").value(row.comment);
    json.key("recordComment").value(reportRecordComment(row, first));
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(map_report, "map-report", kUsage, runMapReport);

} // namespace tlx::cli
