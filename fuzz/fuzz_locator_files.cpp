// The locator's text files and REPLAY.DAT: the first byte chooses the reader, the rest is the file.
#include "services/ew_locator_files.h"
#include "services/ew_phase_file.h"
#include "services/replay_request.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0: {
        tlx::EwPhaseFile phases;
        std::string error;
        if (phases.parse(text, error)) {
            // What is saved reads back with the same picks.
            tlx::EwPhaseFile again;
            const bool ok = again.parse(phases.text(), error);
            if (!ok || again.picks().size() != phases.picks().size()) std::abort();
            phases.addPick({"STA", "XX", "BHZ", "", phases.picks().empty() ? 0 : phases.picks()[0].time},
                           error);
        }
        break;
    }
    case 1:
        tlx::parseSummary(text);
        break;
    case 2:
        tlx::parseCommandFile(tlx::rewriteCommandFile(text, "phases.arc", 5));
        break;
    case 3:
        tlx::findStation(text, "A001.EHZ");
        break;
    default:
        tlx::parseReplayDat(text);
    }
    return 0;
}
