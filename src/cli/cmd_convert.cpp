// tellurix-cli convert IN OUT --to FORMAT: load any event file and write it in another format.
#include "cli/cli_command.h"

#include "record/mseed_writer.h"
#include "record/sac_reader.h"
#include "record/sac_writer.h"
#include "record/svx4_writer.h"
#include "record/svx_ascii_writer.h"

#include "core/file_io.h"

#include <cstdio>
#include <map>

namespace tlx::cli {
namespace {

struct ConvertJob {
    LoadResult loaded;
    std::string output;
    WriterOptions options;
    Args extra; // options left for the format's writer
};

bool writeSvx4(ConvertJob& job, Messages& messages) {
    std::vector<WriteChannel> channels;
    for (const LoadedChannel& c : job.loaded.channels)
        channels.push_back({&c.record, c.samples, 0});
    // A binary SVX Type 4 source keeps its own sample type unless another is asked for.
    if (job.options.sampleType == kSampleTypeAuto &&
        (job.loaded.kind == kKindSvx4 || job.loaded.kind == kKindSvxVolume) &&
        job.loaded.subKind == SubKind::Binary)
        job.options.sampleType = job.loaded.channels.front().record.header.sampleType;
    if (channels.size() == 1) return writeSvx4File(job.output, channels.front(), job.options, messages);
    return writeSvxVolume(job.output, channels, job.options, messages);
}

// SAC keeps the byte order of a SAC source and is otherwise big-endian; --byte-order chooses.
bool writeSac(ConvertJob& job, Messages& messages) {
    std::string order;
    SacByteOrder chosen = SacByteOrder::Big;
    if (takeOption(job.extra, "--byte-order", order)) {
        if (order != "big" && order != "little") {
            std::fprintf(stderr, "convert: --byte-order takes big or little\n");
            return false;
        }
        chosen = order == "little" ? SacByteOrder::Little : SacByteOrder::Big;
    } else if (job.loaded.kind == kKindSac) {
        std::vector<std::uint8_t> bytes;
        if (readWholeFile(job.loaded.path, bytes))
            chosen = sacFileByteOrder(bytes).value_or(SacByteOrder::Big);
    }
    const LoadedChannel& first = job.loaded.channels.front();
    WriterOptions options = job.options;
    options.geography = consoleLoaderSettings().geography; // the distance words
    return writeSacFile(job.output, {&first.record, first.samples, 0}, options, chosen, messages);
}

// SVX ASCII 2.0 of the first channel; "--time-column 0|1|2" puts nothing, the date and time, or
// the seconds since the start before each value.
bool writeAscii(ConvertJob& job, Messages& messages) {
    std::string column = "0";
    takeOption(job.extra, "--time-column", column);
    int mode = 0;
    if (!parseCount(column, mode) || mode > 2) {
        std::fprintf(stderr, "--time-column takes 0, 1 or 2\n");
        return false;
    }
    const LoadedChannel& c = job.loaded.channels.front();
    return writeSvxAscii(job.output, {&c.record, c.samples, 0}, job.options, static_cast<TimeColumn>(mode),
                         messages);
}

// miniSEED 2 of every channel in one file; "--record-length 512|4096" (4096) and
// "--encoding steim2|int32|float32|float64" (chosen by the values when absent).
bool writeMseed(ConvertJob& job, Messages& messages) {
    static const std::map<std::string, MseedWriteEncoding> encodings = {
        {"steim2", MseedWriteEncoding::Steim2},
        {"int32", MseedWriteEncoding::Int32},
        {"float32", MseedWriteEncoding::Float32},
        {"float64", MseedWriteEncoding::Float64}};
    MseedWriteOptions mseed;
    std::string length = "4096", encoding;
    takeOption(job.extra, "--record-length", length);
    if (!parseCount(length, mseed.recordLength) ||
        (mseed.recordLength != 512 && mseed.recordLength != 4096)) {
        std::fprintf(stderr, "convert: --record-length takes 512 or 4096\n");
        return false;
    }
    if (takeOption(job.extra, "--encoding", encoding)) {
        const auto it = encodings.find(encoding);
        if (it == encodings.end()) {
            std::fprintf(stderr, "convert: --encoding takes steim2, int32, float32 or float64\n");
            return false;
        }
        mseed.encoding = it->second;
    }
    std::vector<WriteChannel> channels;
    for (const LoadedChannel& c : job.loaded.channels)
        channels.push_back({&c.record, c.samples, 0});
    return writeMiniSeedFile(job.output, channels, job.options, mseed, messages);
}

using Writer = bool (*)(ConvertJob&, Messages&);
const std::map<std::string, Writer>& writers() {
    static const std::map<std::string, Writer> table = {
        {"svx4", writeSvx4}, {"sac", writeSac}, {"ascii", writeAscii}, {"mseed", writeMseed}};
    return table;
}

bool parseSampleType(const std::string& text, int& type) {
    static const std::map<std::string, int> names = {
        {"auto", kSampleTypeAuto}, {"int16", 0}, {"int32", 1}, {"float32", 2}, {"float64", 3}};
    const auto it = names.find(text);
    if (it == names.end()) return false;
    type = it->second;
    return true;
}

int runConvert(const Args& input) {
    Args args = input;
    std::string to, type = "auto", decimation = "1";
    takeOption(args, "--to", to);
    takeOption(args, "--sample-type", type);
    takeOption(args, "--decimate", decimation);
    ConvertJob job;
    job.options.invert = takeFlag(args, "--invert");
    job.options.removeDc = takeFlag(args, "--remove-dc");
    const auto writer = writers().find(to);
    if (args.size() < 2 || writer == writers().end() || !parseSampleType(type, job.options.sampleType) ||
        !parseCount(decimation, job.options.decimation) || job.options.decimation < 1) {
        std::fprintf(
            stderr,
            "usage: tellurix-cli convert IN OUT --to FORMAT [--sample-type auto|int16|int32|float32|float64]"
            " [--decimate N] [--invert] [--remove-dc] [--byte-order big|little (sac)]"
            " [--record-length 512|4096] [--encoding steim2|int32|float32|float64 (mseed)]\nformats:");
        for (const auto& [name, fn] : writers())
            std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    ConsoleMessages messages(true);
    if (!loadForConsole(args[0], messages, job.loaded)) return 1;
    job.output = args[1];
    job.extra.assign(args.begin() + 2, args.end());
    return writer->second(job, messages) ? 0 : 1;
}

} // namespace

TLX_CLI_COMMAND(convert, "convert", "convert IN OUT --to FORMAT [options]", runConvert);

} // namespace tlx::cli
