// -log A0 distance corrections for local magnitudes: the magtbl.dat text format and its lookup.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct AttenuationRange {
    int start = 0;           // km
    int endPlusStep = 0;     // km: the range covers start .. endPlusStep - 1
    int step = 1;            // km
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

// The global table magtbl.dat and the per-station tables "MAGTBL.<sensorId>", found whatever their
// case in the data folders (local data folder first, then the program folder). A station's table
// is read on its first request and kept, a missing one too, for the life of the set.
class AttenuationTableSet {
  public:
    AttenuationTableSet() = default;
    explicit AttenuationTableSet(std::vector<std::filesystem::path> folders) : folders_(std::move(folders)) {}

    // Reads magtbl.dat; false when it is missing or damaged (no Ml from it then).
    bool loadGlobal();
    // Takes an already read global table (the set then looks in no folder for it).
    void setGlobal(AttenuationTables tables) { global_ = std::move(tables); }
    // Null when magtbl.dat is missing or damaged.
    const AttenuationTables* global() const { return global_.empty() ? nullptr : &global_; }
    // The table for a record: its station's own when there is one, else magtbl.dat; null when
    // neither exists.
    const AttenuationTables* tableFor(std::string_view sensorId);

  private:
    std::vector<std::filesystem::path> folders_;
    AttenuationTables global_;
    std::map<std::string, AttenuationTables, std::less<>> stations_; // by upper-case id; empty: none
};

} // namespace tlx
