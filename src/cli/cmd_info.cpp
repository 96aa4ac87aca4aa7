// tellurix-cli info FILE...: one JSON object per file describing its records.
#include "cli/cli_command.h"
#include "cli/json_writer.h"

#include "core/text.h"

#include <cstdio>

namespace tlx::cli {
namespace {

void writeTime(JsonWriter& json, const EventTime& t) {
    json.value(formatIsoTime(t));
}

void writeEvent(JsonWriter& json, const EventEntry& e) {
    json.beginObject();
    json.key("time");
    writeTime(json, e.originTime);
    json.key("latitude").value(static_cast<double>(e.latitude));
    json.key("longitude").value(static_cast<double>(e.longitude));
    json.key("depth").value(static_cast<double>(e.depth));
    json.key("magnitudes").beginObject();
    const std::pair<const char*, std::int16_t> mags[] = {
        {"Ms", e.magMs}, {"Mb", e.magMb}, {"Mw", e.magMw}, {"Ml", e.magMl}, {"Md", e.magMd}};
    for (const auto& [name, value] : mags)
        if (value != 0) json.key(name).value(value / 100.0);
    if (e.magOther != 0) {
        const std::string type = fieldText(e.magOtherType, sizeof e.magOtherType);
        json.key(type.empty() ? "M" : type).value(e.magOther / 100.0);
    }
    json.endObject();
    json.key("source").value(fieldText(e.source, sizeof e.source));
    json.endObject();
}

void writePick(JsonWriter& json, const PickEntry& p) {
    json.beginObject();
    json.key("time");
    writeTime(json, p.time);
    json.key("phase").value(std::string(trim(fieldText(p.phase, sizeof p.phase))));
    json.key("text").value(std::string(trim(fieldText(p.text, sizeof p.text))));
    json.key("flags").value(static_cast<int>(p.pickFlags));
    json.key("depth").value(static_cast<int>(p.value));
    json.endObject();
}

void writeRecord(JsonWriter& json, const LoadedChannel& channel) {
    const ChannelHeader& h = channel.record.header;
    const ChannelInfo& info = channel.record.info;
    json.beginObject();
    json.key("station").value(channel.record.stationName());
    json.key("component").value(channel.record.component());
    json.key("network").value(fieldText(h.network, sizeof h.network));
    json.key("start");
    writeTime(json, h.startTime);
    json.key("sps").value(static_cast<double>(h.sps));
    json.key("sampleCount").value(static_cast<int>(channel.samples.size()));
    json.key("sensorType").value(static_cast<int>(h.sensorType));
    json.key("sensitivity").value(static_cast<double>(h.sensitivity));
    json.key("latitude").value(static_cast<double>(h.latitude));
    json.key("longitude").value(static_cast<double>(h.longitude));
    json.key("elevation").value(static_cast<double>(h.elevation));
    json.key("dataMin").value(static_cast<double>(h.dataMin));
    json.key("dataMax").value(static_cast<double>(h.dataMax));
    json.key("dataMean").value(static_cast<double>(h.dataMean));
    json.key("events").beginArray();
    for (const EventEntry& e : info.events)
        writeEvent(json, e);
    json.endArray();
    json.key("picks").beginArray();
    for (const PickEntry& p : info.picks)
        writePick(json, p);
    json.endArray();
    json.key("history").beginArray();
    for (const std::string& line : info.history)
        json.value(line);
    json.endArray();
    json.endObject();
}

int runInfo(const Args& args) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: tellurix-cli info FILE...\n");
        return 2;
    }
    int status = 0;
    for (const std::string& path : args) {
        ConsoleMessages messages(false);
        LoadResult result;
        const bool ok = loadForConsole(path, messages, result);
        if (!ok) {
            status = 1;
            for (const std::string& text : messages.texts())
                std::fprintf(stderr, "%s: %s\n", path.c_str(), text.c_str());
        }
        JsonWriter json;
        json.beginObject();
        json.key("file").value(path);
        json.key("ok").value(ok);
        json.key("kind").value(result.kind);
        json.key("format").value(fileKindName(result.kind, result.subKind));
        json.key("records").beginArray();
        for (const LoadedChannel& channel : result.channels)
            writeRecord(json, channel);
        json.endArray();
        json.key("messages").beginArray();
        for (const std::string& text : messages.texts())
            json.value(text);
        json.endArray();
        json.endObject();
        std::printf("%s\n", json.str().c_str());
    }
    return status;
}

} // namespace

TLX_CLI_COMMAND(info, "info", "info FILE...", runInfo);

} // namespace tlx::cli
