// The filter preset file and the dialogs' settings lines: any text parses without harm, and a
// preset written back reads back with the same values.
#include "dsp/sta_lta.h"
#include "dsp/time_filter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const tlx::FilterPreset& p : tlx::parsePresets(text)) {
        if (p.name.size() > 40) std::abort();
        if (p.name.find_first_of(std::string_view("\"\n\r\0", 4)) != std::string::npos) continue;
        const std::string line = tlx::formatPresetLine(p);
        tlx::FilterPreset again;
        if (line.size() <= 127 && (!tlx::parsePresetLine(line, again) || again.name != p.name ||
                                   again.lowOn != p.lowOn || again.highPoles != p.highPoles))
            std::abort();
    }
    tlx::formatTimeSetting(tlx::parseTimeSetting(text));
    tlx::parseStaLtaSetting(text);
    tlx::normaliseFrequencyEdit(text);
    tlx::normalisePeriodEdit(text);
    return 0;
}
