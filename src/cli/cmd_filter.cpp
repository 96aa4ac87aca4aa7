// tellurix-cli filter IN OUT --lowpass HZ --highpass HZ --poles N ...: the time-domain filters of
// the event window run on a file, written as SVX Type 4 with the history lines added.
#include "cli/cli_command.h"

#include "core/text.h"
#include "dsp/time_filter.h"
#include "record/svx4_writer.h"

#include <cstdio>
#include <cstdlib>

namespace tlx::cli {
namespace {

// Every record of the file is an affected record; there is no undo on the console.
class FileTarget : public FilterTarget {
  public:
    explicit FileTarget(LoadResult& loaded) : loaded_(loaded) {}
    double sampleRate() const override { return loaded_.channels.front().record.header.sps; }
    bool apply(const FilterOperation& op) override {
        for (std::size_t i = 0; i < loaded_.channels.size(); ++i) {
            if (op.onlyRecord >= 0 && static_cast<std::size_t>(op.onlyRecord) != i) continue;
            LoadedChannel& c = loaded_.channels[i];
            for (const std::string& line : op.history)
                c.record.addHistory(line);
            if (!op.work(c.samples)) return false;
        }
        return true;
    }

  private:
    LoadResult& loaded_;
};

bool parseNumber(const std::string& text, double& value) {
    return parseDouble(text, value);
}

const char* kUsage =
    "usage: tellurix-cli filter IN OUT [--lowpass HZ] [--highpass HZ] [--poles N] [--lowpass-poles N]"
    " [--highpass-poles N] [--extended PERIOD,Q,HZ] [--no-backward]\n";

int runFilter(const Args& input) {
    Args args = input;
    std::string low, high, poles = "2", lowPoles, highPoles, extended;
    takeOption(args, "--lowpass", low);
    takeOption(args, "--highpass", high);
    takeOption(args, "--poles", poles);
    takeOption(args, "--lowpass-poles", lowPoles);
    takeOption(args, "--highpass-poles", highPoles);
    takeOption(args, "--extended", extended);
    TimeFilterSettings s;
    s.backwardHighPass = !takeFlag(args, "--no-backward");
    s.lowPass = !low.empty();
    s.highPass = !high.empty();
    s.lowPoles = parsePoles(lowPoles.empty() ? poles : lowPoles);
    s.highPoles = parsePoles(highPoles.empty() ? poles : highPoles);
    bool ok = args.size() == 2 && (s.lowPass || s.highPass || !extended.empty());
    if (ok && s.lowPass) ok = parseNumber(low, s.lowCutoff);
    if (ok && s.highPass) ok = parseNumber(high, s.highCutoff);
    if (ok && !extended.empty()) {
        const std::vector<std::string> parts = split(extended, ',');
        ok = parts.size() == 3 && parseNumber(parts[0], s.sensorPeriod) && parseNumber(parts[1], s.sensorQ) &&
             parseNumber(parts[2], s.extendedHighPass);
        s.extendedOn = true;
        if (ok && !(s.sensorPeriod > 0 && s.sensorQ > 0 && s.extendedHighPass > 0)) {
            std::fprintf(stderr, "The extended period filter needs a period, Q and frequency above 0\n");
            return 1;
        }
    }
    if (!ok) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    ConsoleMessages messages(true);
    LoadResult loaded;
    if (!loadForConsole(args[0], messages, loaded) || loaded.channels.empty()) return 1;
    FileTarget target(loaded);
    const std::size_t before = messages.messages().size();
    const bool applied = applyTimeFilter(s, target, messages);
    // A failed step has put its message on stderr; nothing is written then.
    if (!applied || messages.messages().size() != before) return 1;

    WriterOptions options;
    options.dataProcessed = true;
    options.windowSps = target.sampleRate();
    std::vector<WriteChannel> channels;
    for (const LoadedChannel& c : loaded.channels)
        channels.push_back({&c.record, c.samples, 0});
    const bool written = channels.size() == 1 ? writeSvx4File(args[1], channels.front(), options, messages)
                                              : writeSvxVolume(args[1], channels, options, messages);
    return written ? 0 : 1;
}

} // namespace

TLX_CLI_COMMAND(filter, "filter", "filter IN OUT --lowpass HZ --highpass HZ --poles N [options]", runFilter);

} // namespace tlx::cli
