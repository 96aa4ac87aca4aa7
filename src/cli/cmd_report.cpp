// tellurix-cli report fetch|parse|match: a report list fetched from a network service as the
// Network Event Report dialog's Connect does, parsed as the Event Report dialog reads it, and the
// row the dialog would choose for an event file.
#include "cli/cli_command.h"
#include "cli/json_writer.h"

#include "core/data_paths.h"
#include "core/file_io.h"
#include "core/text.h"
#include "document/report_files.h"
#include "seismo/regions.h"
#include "services/historical_query.h"
#include "services/report_list.h"
#include "services/report_row.h"
#include "services/report_transfer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tlx::cli {
namespace {

constexpr const char* kUsage =
    "usage: tellurix-cli report fetch \"SERVICE LINE\" [--dir DIR] [--start mm/dd/yyyy --end mm/dd/yyyy "
    "--min-mag M --max-mag M] [--timeout S]\n"
    "       tellurix-cli report parse FILE.rpt [--type NAME] [--report-dat FILE]\n"
    "       tellurix-cli report match EVENTFILE FILE.rpt [--type NAME] [--report-dat FILE]\n"
    "       tellurix-cli report add FILE.rpt ROW EVENTFILE... [--type NAME] [--report-dat FILE]\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool parseDate(const std::string& text, CivilDate& date) {
    int v[3] = {};
    const std::vector<std::string> parts = split(text, '/');
    if (parts.size() != 3) return false;
    for (int i = 0; i < 3; ++i)
        if (!parseInt(parts[static_cast<std::size_t>(i)], v[i])) return false;
    date = {v[2], v[0], v[1]};
    return true;
}

int fetch(Args args) {
    std::string dir = ".", start, end, minMag, maxMag, timeout;
    takeOption(args, "--dir", dir);
    takeOption(args, "--start", start);
    takeOption(args, "--end", end);
    takeOption(args, "--min-mag", minMag);
    takeOption(args, "--max-mag", maxMag);
    takeOption(args, "--timeout", timeout);
    if (args.size() != 1) return usage();

    ReportService service;
    if (!parseServiceLine(args[0], service)) {
        const std::string first = args[0].substr(0, args[0].find(' '));
        if (!parseServiceString(first, service)) {
            std::fprintf(stderr, "tellurix-cli: Invalid Network Service String\n");
            return 1;
        }
        service.line = args[0];
        service.longListing = args[0].find(" -l ") != std::string::npos;
    }
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    HistoricalValues values = recentValues(now);
    double seconds = 30;
    if ((!start.empty() && !parseDate(start, values.start)) ||
        (!end.empty() && !parseDate(end, values.end)) ||
        (!minMag.empty() && !parseDouble(minMag, values.minMagnitude)) ||
        (!maxMag.empty() && !parseDouble(maxMag, values.maxMagnitude)) ||
        (!timeout.empty() && (!parseDouble(timeout, seconds) || seconds <= 0 || seconds > 86400)))
        return usage();
    HistoricalQuery query;
    std::string error;
    if (!queryFromValues(values, query, error)) {
        std::fprintf(stderr, "tellurix-cli: %s\n", error.c_str());
        return 1;
    }
    TransferSettings settings;
    settings.timeoutMs = static_cast<int>(seconds * 1000);
    settings.programDirectory = programDirectory();
    std::filesystem::path file;
    if (!fetchReport(service, query, dir, settings, file, error)) {
        std::fprintf(stderr, "tellurix-cli: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", file.string().c_str());
    return 0;
}

// REPORT.DAT from --report-dat, else the local data folder, the program folder, the shipped data.
bool loadReport(Args& args, const std::string& file, ReportList& list) {
    std::string reportDat, typeName;
    takeOption(args, "--report-dat", reportDat);
    takeOption(args, "--type", typeName);
    if (!reportDat.empty()) {
        std::string text;
        if (!readTextFile(reportDat, text, 1 << 20)) {
            std::fprintf(stderr, "tellurix-cli: cannot read %s\n", reportDat.c_str());
            return false;
        }
        list.setTypes(parseReportDat(text));
        if (list.types().empty()) {
            std::fprintf(stderr, "tellurix-cli: no report types in %s\n", reportDat.c_str());
            return false;
        }
    } else {
        const char* local = std::getenv("TLX_LOCAL_DIR");
        list.loadTypes({local ? std::filesystem::path(local) : std::filesystem::path(), programDirectory(),
                        shippedDataDirectory()});
    }
    int typeIndex = -1;
    for (std::size_t i = 0; i < list.types().size(); ++i)
        if (list.types()[i].name == typeName) typeIndex = static_cast<int>(i);
    if (!typeName.empty() && typeIndex < 0) {
        std::fprintf(stderr, "tellurix-cli: no report type \"%s\"\n", typeName.c_str());
        return false;
    }
    const std::filesystem::path data = shippedDataDirectory();
    if (!data.empty()) loadRegionTable(data / kRegionFileName);
    if (!list.load(file, typeIndex, typeName.empty())) {
        std::fprintf(stderr, "tellurix-cli: cannot read %s\n", file.c_str());
        return false;
    }
    return true;
}

void writeRow(JsonWriter& json, const ReportRow& row) {
    json.beginObject();
    json.key("time").value(formatIsoTime(row.originTime()));
    json.key("latitude").value(row.latitude);
    json.key("longitude").value(row.longitude);
    json.key("depth").value(row.depth);
    json.key("magnitudes").beginArray();
    const std::pair<double, const std::string*> mags[] = {{row.magnitude, &row.magType},
                                                          {row.magnitude2, &row.magType2}};
    for (const auto& [value, type] : mags) {
        if (value == 0) continue;
        json.beginObject().key("value").value(value).key("type").value(*type).endObject();
    }
    json.endArray();
    json.key("comment").value(row.comment);
    json.key("id").value(row.id);
    json.key("agency").value(row.agency);
    json.key("quality").value(row.quality ? std::string(1, row.quality) : std::string());
    json.key("eventType").value(row.eventType ? std::string(1, row.eventType) : std::string());
    json.endObject();
}

int parse(Args args) {
    if (args.empty()) return usage();
    const std::string file = args[0];
    args.erase(args.begin());
    ReportList list;
    if (!loadReport(args, file, list)) return 1;
    if (!args.empty()) return usage();
    JsonWriter json;
    json.beginObject();
    json.key("file").value(file);
    const int type = list.typeIndex();
    json.key("type").value(type >= 0 ? list.types()[static_cast<std::size_t>(type)].name : std::string());
    json.key("rows").beginArray();
    for (const ReportRow& row : list.rows())
        writeRow(json, row);
    json.endArray();
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

int match(Args args) {
    if (args.size() < 2) return usage();
    const std::string eventFile = args[0], file = args[1];
    args.erase(args.begin(), args.begin() + 2);
    ReportList list;
    if (!loadReport(args, file, list)) return 1;
    if (!args.empty()) return usage();
    ConsoleMessages messages(true);
    LoadResult loaded;
    if (!loadForConsole(eventFile, messages, loaded) || loaded.channels.empty()) return 1;
    const EventRecord& record = loaded.channels.front().record;
    const std::optional<int> found = list.search(record.header.startTime);
    JsonWriter json;
    json.beginObject();
    json.key("event").value(eventFile);
    json.key("start").value(formatIsoTime(record.header.startTime));
    json.key("row");
    if (found) {
        const ReportRow& row = list.rows()[static_cast<std::size_t>(*found)];
        writeRow(json, row);
        const std::string distance = reportDistanceText(row, record.header.latitude, record.header.longitude);
        json.key("distance").value(std::string(trimTrailingBlanks(distance.substr(0, distance.find('\n')))));
    } else {
        json.null();
    }
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    if (!found) std::fprintf(stderr, "Time not found!\n");
    return found ? 0 : 1;
}

// The Open File dialog's Add Report: row ROW (from 0, in the file's order) stored into the files.
int add(Args args) {
    if (args.empty()) return usage();
    ReportList list;
    if (!loadReport(args, args[0], list)) return 1;
    if (args.size() < 3) return usage();
    int row = 0;
    if (!parseCount(args[1], row) || row >= static_cast<int>(list.rows().size())) {
        std::fprintf(stderr, "tellurix-cli: no report row %s\n", args[1].c_str());
        return 1;
    }
    const ReportRow chosen = list.rows()[static_cast<std::size_t>(row)];
    const std::vector<std::string> files(args.begin() + 2, args.end());
    const ReportFilesResult result = addReportToFiles(
        files, [&chosen](EventRecord& r) { storeReport(r, chosen, false); }, consoleLoaderSettings());
    JsonWriter json;
    json.beginObject().key("changed").value(result.changed).key("unchanged").beginArray();
    for (const std::string& file : result.unchanged)
        json.value(file);
    json.endArray().endObject();
    std::printf("%s\n", json.str().c_str());
    return result.unchanged.empty() ? 0 : 1;
}

int runReport(const Args& args) {
    if (args.empty()) return usage();
    const Args rest(args.begin() + 1, args.end());
    if (args[0] == "fetch") return fetch(rest);
    if (args[0] == "parse") return parse(rest);
    if (args[0] == "match") return match(rest);
    if (args[0] == "add") return add(rest);
    return usage();
}

} // namespace

TLX_CLI_COMMAND(report, "report",
                "report fetch \"SERVICE LINE\" [--dir DIR] [--timeout S] | report parse FILE.rpt | "
                "report match EVENTFILE FILE.rpt | report add FILE.rpt ROW EVENTFILE...",
                runReport);

} // namespace tlx::cli
