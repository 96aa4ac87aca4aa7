// tellurix-cli readout FILE [--p T --s T] [--table regional|teleseismic|iasp91] [--depth KM]: what the
// event window's distance line shows for those markers (or for P-S Location), as JSON.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/session_console.h"

#include "core/data_paths.h"
#include "core/text.h"
#include "seismo/regions.h"

#include <cmath>
#include <cstdio>

namespace tlx::cli {
namespace {

const char* const kTableNames[] = {"regional", "teleseismic", "iasp91"};

// A marker or origin time (ms from the midnight that starts the record's day) as a UTC date and time.
std::string isoTime(const CivilTime& day, std::int64_t ms) {
    const std::int64_t total = epochSeconds(day) * 1000 + ms;
    const std::int64_t seconds = total >= 0 ? total / 1000 : (total - 999) / 1000;
    const CivilTime t = civilFromEpoch(seconds);
    return format("%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.year, t.month, t.day, t.hour, t.minute, t.second,
                  static_cast<int>(total - seconds * 1000));
}

int usage() {
    std::fprintf(stderr, "usage: tellurix-cli readout FILE [--p hh:mm:ss.ss --s hh:mm:ss.ss] "
                         "[--table regional|teleseismic|iasp91] [--depth KM]\n");
    return 2;
}

int runReadout(const Args& given) {
    Args args = given;
    std::optional<std::int64_t> pTime, sTime;
    std::string tableText, depthText;
    if (!timeOption(args, "--p", pTime) || !timeOption(args, "--s", sTime)) return 2;
    const bool hasTable = takeOption(args, "--table", tableText);
    const bool hasDepth = takeOption(args, "--depth", depthText);
    int mode = -1;
    for (int m = 0; m < 3; ++m)
        if (tableText == kTableNames[m]) mode = m;
    double depth = 0;
    if (args.size() != 1 || pTime.has_value() != sTime.has_value() || (hasTable && mode < 0) ||
        (hasDepth && (!parseDouble(depthText, depth) || !(depth >= 0 && depth <= 1e4))))
        return usage();

    ConsoleEvent event(true);
    if (!event.open(args[0])) return 1;
    views::EventSession& session = event.session;
    views::EqViewModel& model = session.model();
    model.layout({0, 0, 1000, 700}, views::TextMetrics{}, views::Output::Screen);
    model.resetMarkers();
    const EventRecord& record = session.doc().record(session.doc().currentRecord());
    if (pTime) {
        if (!placeGivenMarkers(session, pTime, sTime)) return 2;
    } else if (!session.locateMarkers(true)) {
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(),
                     record.info.events.empty() ? "No Event Information" : "Can't place P and/or S markers");
        return 1;
    }
    if ((hasTable || hasDepth) && !session.useTable(hasTable ? mode : session.travelTimes().useTable,
                                                    hasDepth ? std::optional<double>(depth) : std::nullopt)) {
        std::fprintf(stderr, "tellurix-cli: the %s tables are not loaded or do not reach that depth\n",
                     kTableNames[hasTable ? mode : session.travelTimes().useTable]);
        return 1;
    }

    const views::Readout r = session.readout();
    const ChannelHeader& h = session.doc().record(0).header;
    CivilTime day = addSeconds(toCivil(h.startTime), +h.startTimeOffset);
    day.hour = day.minute = day.second = 0;
    day.nanoseconds = 0;
    JsonWriter json;
    json.beginObject();
    json.key("file").value(args[0]);
    json.key("station").value(record.stationName());
    json.key("component").value(record.component());
    if (r.pMs) json.key("p").value(isoTime(day, *r.pMs));
    if (r.sMs) json.key("s").value(isoTime(day, *r.sMs));
    if (r.spMs) json.key("sp").value(static_cast<double>(*r.spMs) / 1000);
    json.key("table").value(kTableNames[session.travelTimes().useTable]);
    json.key("depth").value(session.travelTimes().depthFor(session.travelTimes().useTable));
    json.key("found").value(r.found);
    if (r.outOfRange) json.key("outOfRange").value(true);
    if (r.found) {
        json.key("degrees").value(r.degrees);
        json.key("km").value(r.km);
        json.key("miles").value(r.miles);
        json.key("hypocentralKm").value(r.hypocentralKm);
        json.key("pTravelTime").value(r.pTravelSeconds);
        json.key("origin").value(isoTime(day, r.originMs));
        json.key("magnitudes").beginObject();
        if (r.magnitudes) {
            const std::pair<const char*, std::optional<double>> values[] = {{"Ml", r.magnitudes->ml},
                                                                            {"Ms", r.magnitudes->ms},
                                                                            {"Mb", r.magnitudes->mb},
                                                                            {"Md", r.magnitudes->md}};
            for (const auto& [name, value] : values)
                if (value) json.key(name).value(*value);
        }
        json.endObject();
    }
    if (!record.info.events.empty()) {
        const std::size_t index = std::min<std::size_t>(
            static_cast<std::size_t>(std::max(0, static_cast<int>(record.info.currentEvent))),
            record.info.events.size() - 1);
        const EventEntry& e = record.info.events[index];
        if (!regionTable().loaded()) loadRegionTable(shippedDataFile(kRegionFileName));
        const std::string region(trim(regionName(e.latitude, e.longitude)));
        if (!region.empty()) json.key("region").value(region);
    }
    json.key("line").value(model.distanceLine());
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return r.found ? 0 : 1;
}

} // namespace

TLX_CLI_COMMAND(
    readout, "readout",
    "readout FILE [--p hh:mm:ss.ss --s hh:mm:ss.ss] [--table regional|teleseismic|iasp91] [--depth KM]",
    runReadout);

} // namespace tlx::cli
