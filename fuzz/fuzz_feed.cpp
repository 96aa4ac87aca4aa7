// The feed scan and the report columns: any downloaded bytes give bounded lines or skips.
#include "feedgrab/feed_report.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tlx::feedgrab;
    SilentConsole console;
    FeedScanner scanner(console);
    // Uneven pieces exercise lines that straddle reads.
    const char* p = reinterpret_cast<const char*>(data);
    const std::size_t half = size / 3;
    scanner.add(p, half);
    scanner.add(p + half, size - half);

    HomeFilter home;
    home.latitude = 47.25;
    home.longitude = -122.5;
    home.name = "Home";
    home.filters = {{2.0, 5000.0}, {-1.0, 20000.0}};
    const FeatureStore& features = scanner.features();
    std::string line;
    for (std::size_t i = 0; i < features.size(); ++i) {
        const std::string_view text = features.at(i);
        if (text.size() > kMaxFeatureChars) std::abort();
        for (int mode = 0; mode < 3; ++mode) {
            FormatOptions options;
            options.fileDates = mode != 1;
            options.home = mode == 2 ? &home : nullptr;
            if (!formatFeature(text, options, line, console)) continue;
            // The place starts at its column after a blank and never runs past the comment width.
            if (line.size() < kPlaceColumn || line[kPlaceColumn - 1] != ' ') std::abort();
            const std::size_t limit = kPlaceColumn + kMaxPlaceChars + (mode == 2 ? 32 : 0);
            if (line.size() > limit) std::abort();
            for (char c : line)
                if (c == '\n' || c == '\0') std::abort();
        }
    }
    return 0;
}
