// One travel-time table (a phase's time over a grid of depths and distances) and its text
// format, the *.JB tables.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct PhaseTable {
    int depthCount = 0; // 0 = slot empty
    int distanceCount = 0;
    int iasp91 = 0;             // 1 when the phase comes from the IASP91 model
    int phaseIndex = 0;         // IASP91 phase number
    int largestDistance = 0;    // hundredths of a degree
    int largestDepth = 0;       // whole km
    std::vector<int> depths;    // hundredths of a km, ascending
    std::vector<int> distances; // hundredths of a degree, ascending
    std::vector<int> times;     // ms, depth-major; -1 = no value
    std::string phaseName;      // "P"; IASP91 names end in "-(IASP91)"
    std::string fileName;

    bool empty() const { return depthCount == 0; }
    int time(int row, int column) const {
        return times[static_cast<std::size_t>(row) * distances.size() + column];
    }
    void clear() { *this = PhaseTable(); }
};

inline constexpr int kMaxTableDepths = 200;     // depth count must be below this
inline constexpr int kMaxTableDistances = 1000; // distance count must be below this

// Reads the text form; on failure the table is left empty.
bool parsePhaseTable(std::string_view text, PhaseTable& table);
bool readPhaseTable(const std::filesystem::path& path, PhaseTable& table);

// The phase name a table file's title line gives, or empty when the line is no title
// (used by the phase list to offer table files).
std::string phaseNameFromTitle(std::string_view title);

// Travel time in seconds at depth (km) and distance (degrees), interpolated in the table, or -1.
double travelTime(double depthKm, const PhaseTable& table, double distanceDegrees);

} // namespace tlx
