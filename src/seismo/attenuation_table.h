// -log A0 distance corrections for local magnitudes: the magtbl.dat text format and its lookup.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct AttenuationRange {
    int start = 0;      // km
    int endPlusStep = 0; // km: the range covers start .. endPlusStep - 1
    int step = 1;       // km
    std::vector<int> values; // -log A0 x 100 at start + k * step
};

struct AttenuationTables {
    std::vector<AttenuationRange> ranges; // 1 to 9
    int limit = 0;                        // end + step of the last range
    bool empty() const { return ranges.empty(); }
};

// Parses the table text; false (and an empty set) when any range fails.
bool parseAttenuationTables(std::string_view text, AttenuationTables& tables);
bool loadAttenuationTables(const std::filesystem::path& path, AttenuationTables& tables);

// -log A0 at a whole number of km; 0 means none.
double minusLogA0(const AttenuationTables& tables, int distanceKm);

} // namespace tlx
