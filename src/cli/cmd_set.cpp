// tellurix-cli set FILE [options]: changes a file's station and event information with the checks
// of the record information sheet and writes the file back in its own format.
#include "cli/cli_command.h"

#include "core/text.h"
#include "document/record_info_edit.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: tellurix-cli set FILE [--record N] [--latitude TEXT] [--longitude TEXT] [--elevation M]\n"
        "         [--sensitivity CM] [--component XXX]\n"
        "         [--sensor-type unknown|acceleration|velocity|displacement] [--comment TEXT]\n"
        "         [--event \"mm/dd/yyyy hh:mm:ss.s\" LAT LON DEPTH MAGTYPE MAG]...\n"
        "  Station fields go to every record or to the chosen one as the Sensor page does;\n"
        "  the events given replace the event list of every record.\n");
    return 2;
}

int refuse(const std::string& file, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), message.c_str());
    return 1;
}

struct GivenEvent {
    std::string time, latitude, longitude, depth, magType, magnitude;
};

// Every "--event" with its six values, taken out of args; false when one lacks values.
bool takeEvents(Args& args, std::vector<GivenEvent>& events) {
    for (auto it = args.begin(); it != args.end();) {
        if (*it != "--event") {
            ++it;
            continue;
        }
        if (args.end() - it < 7) return false;
        events.push_back({it[1], it[2], it[3], it[4], it[5], it[6]});
        it = args.erase(it, it + 7);
    }
    return true;
}

// The page's fields for one given event; the magnitude goes to its own field or to Other.
void fillEventForm(EventForm& form, const GivenEvent& e) {
    form.time = e.time;
    form.latitude = e.latitude;
    form.longitude = e.longitude;
    form.depth = e.depth;
    const std::pair<const char*, std::string*> named[] = {
        {"ms", &form.ms}, {"mb", &form.mb}, {"mw", &form.mw}, {"ml", &form.ml}, {"md", &form.md}};
    for (const auto& [type, field] : named)
        if (iequals(e.magType, type)) {
            *field = e.magnitude;
            return;
        }
    form.other = e.magType + " " + e.magnitude;
}

int runSet(const Args& input) {
    Args args = input;
    std::vector<GivenEvent> events;
    if (!takeEvents(args, events)) return usage();
    std::string recordText, comment, sensorType;
    const bool hasRecord = takeOption(args, "--record", recordText);
    const bool hasComment = takeOption(args, "--comment", comment);
    const bool hasType = takeOption(args, "--sensor-type", sensorType);
    struct TextOption {
        const char* name;
        std::string SensorForm::*field;
        bool given = false;
        std::string value;
    };
    TextOption sensorOptions[] = {{"--latitude", &SensorForm::latitude, false, {}},
                                  {"--longitude", &SensorForm::longitude, false, {}},
                                  {"--elevation", &SensorForm::elevation, false, {}},
                                  {"--sensitivity", &SensorForm::sensitivity, false, {}},
                                  {"--component", &SensorForm::componentName, false, {}}};
    bool sensorGiven = hasType;
    for (TextOption& o : sensorOptions)
        sensorGiven |= o.given = takeOption(args, o.name, o.value);
    static const char* const kTypes[] = {"unknown", "acceleration", "velocity", "displacement"};
    int typeIndex = -1;
    for (int i = 0; i < 4; ++i)
        if (sensorType == kTypes[i]) typeIndex = i;
    int record = 1;
    if (args.size() != 1 || (hasType && typeIndex < 0) ||
        (hasRecord && (!parseCount(recordText, record) || record < 1)))
        return usage();
    const std::string& file = args[0];

    ConsoleMessages messages(true);
    EventLoader loader(messages, consoleLoaderSettings());
    CEqDoc doc(messages, loader, nullptr, LoadMode::Picture);
    if (!doc.open(file)) {
        if (messages.messages().empty()) std::fprintf(stderr, "%s: could not be loaded\n", file.c_str());
        return 1;
    }
    if (record > doc.recordCount())
        return refuse(file, format("has %d record(s), no record %d", doc.recordCount(), record));
    std::string refusal;
    const std::optional<SaveChoice> choice = writeBackChoice(doc, refusal);
    if (!choice) return refuse(file, refusal);
    const int selected = record - 1;
    const EventRecord& target = doc.record(selected);

    InfoEdits edits;
    if (sensorGiven) {
        SensorForm form = sensorForm(target);
        for (const TextOption& o : sensorOptions)
            if (o.given) form.*o.field = o.value;
        if (form.componentName.size() > 3) return refuse(file, "Bad Component Name Information");
        if (hasType) form.sensorType = typeIndex;
        SensorValues values;
        if (const auto bad = readSensorForm(form, values)) return refuse(file, bad->message);
        edits.sensor = values;
    }
    if (hasComment || !events.empty()) {
        EventPageValues values{hasComment ? comment : target.info.comment, target.info.events,
                               target.info.currentEvent};
        if (!events.empty()) {
            ChannelInfo none;
            none.comment = values.comment;
            EventPageLogic page(none, std::nullopt, {});
            for (const GivenEvent& e : events) {
                page.newEntry();
                fillEventForm(page.form, e);
                // The sheet drops an entry without a magnitude; a console edit says so instead.
                if (!page.anyMagnitudeValid()) return refuse(file, "Bad Event Magnitude Information");
                if (const auto bad = page.leave()) return refuse(file, bad->message);
            }
            values.events = page.events();
            values.currentEvent = 0;
        }
        edits.event = values;
    }
    if (!applyRecordInfo(doc, selected, edits).any) {
        std::printf("%s: unchanged\n", file.c_str());
        return 0;
    }
    if (!writeRecords(doc, *choice, -1, messages)) return 1;
    std::printf("%s: written (%s)\n", file.c_str(), fileKindName(doc.fileKind(), doc.subKind()));
    return 0;
}

} // namespace

TLX_CLI_COMMAND(set, "set",
                "set FILE [--record N] [--latitude TEXT] ... [--event TIME LAT LON DEPTH TYPE MAG]...",
                runSet);

} // namespace tlx::cli
