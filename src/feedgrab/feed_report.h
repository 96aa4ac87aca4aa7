// The feed report: features found line by line in a GeoJSON earthquake feed, turned into
// fixed-column report lines, optionally filtered by magnitude and distance from a home place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlx::feedgrab {

constexpr std::size_t kMaxLineChars = 4095; // longer feed lines are cut
constexpr std::size_t kMinFeatureLine = 30;
constexpr std::size_t kMaxFeatures = 16000;
constexpr std::size_t kMaxFeatureChars = 2047; // longer feature texts are cut
constexpr std::size_t kMaxPlaceChars = 79;     // the report list keeps comments of this length
constexpr std::size_t kPlaceColumn = 49;
constexpr std::string_view kFeatureKey = "\"type\":\"Feature\",\"properties\":{\"mag\":";

constexpr std::size_t kMaxFilterLineChars = 127;
constexpr std::size_t kMaxFilters = 16;
constexpr std::size_t kMaxFilterFileBytes = 1 << 20;

// Where messages go: print() is the console (standard output), log() is feedgrab.log.
class FeedConsole {
  public:
    virtual ~FeedConsole() = default;
    virtual void print(std::string_view text) = 0;
    virtual void log(std::string_view message) = 0;
};

// Drops every message (fuzzing, measuring).
class SilentConsole : public FeedConsole {
  public:
    void print(std::string_view) override {}
    void log(std::string_view) override {}
};

// Feature texts (the rest of a feature line after the magnitude key) in feed order, in one block.
class FeatureStore {
  public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view at(std::size_t i) const;
    void add(std::string_view text);
    void clear();

  private:
    std::string text_;
    std::vector<std::uint32_t> ends_;
};

// Reads the feed in pieces of any size; a line counts only once its LF has arrived.
class FeedScanner {
  public:
    explicit FeedScanner(FeedConsole& console) : console_(console) {}
    // False once the store is full and reading should stop.
    bool add(const char* data, std::size_t size);
    bool full() const { return full_; }
    const FeatureStore& features() const { return store_; }

  private:
    void endLine();

    FeedConsole& console_;
    FeatureStore store_;
    std::string line_;
    bool full_ = false;
};

struct MagnitudeFilter {
    double minMagnitude = 0;
    double maxDistanceKm = 0;
};

struct HomeFilter {
    double latitude = 0;
    double longitude = 0;
    std::string name;
    std::vector<MagnitudeFilter> filters;
};

// Reads the filter file's text: home line, then up to kMaxFilters filter lines.
void parseFilterText(std::string_view text, HomeFilter& home, FeedConsole& console);
// False (with the message printed) when the file cannot be opened; home is then left as it was.
bool readFilterFile(const std::string& path, HomeFilter& home, FeedConsole& console);

// Distance in km between an event and the home place on the flattened earth.
double distanceKm(double eventLat, double eventLon, double homeLat, double homeLon);

struct FormatOptions {
    bool fileDates = false;           // -f: "%04d/%02d/%02d" dates instead of month/day/year
    const HomeFilter* home = nullptr; // -l: filter and append the distance
};

// One report line for a feature text, or false when the feature is skipped (messages given).
bool formatFeature(std::string_view text, const FormatOptions& options, std::string& line,
                   FeedConsole& console);

// "%5.3f" / "%2.1f" texts padded on the left so the part before the point has its fixed width.
std::string latitudeText(double value);
std::string longitudeText(double value);
std::string depthText(double value);

struct CommandLine {
    bool ok = false; // false: print the usage and exit 1
    std::string url;
    std::string outFile;
    bool useFilter = false;
    std::string filterFile;
};

CommandLine parseCommandLine(const std::vector<std::string>& args);
extern const char* const kUsageText;

} // namespace tlx::feedgrab
