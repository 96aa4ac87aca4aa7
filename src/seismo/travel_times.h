// The program's travel-time tables (CTravelTm), each event window's copy of them, the S-P lookup
// that turns an S-P time into an epicentral distance, and predicted P and S arrivals.
#pragma once

#include "seismo/phase_table.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace tlx {

class IniProfile;
class Messages;

enum TableMode { kRegional = 0, kTeleseismic = 1, kIasp91 = 2 };

inline constexpr int kDayMs = 86400000;

// One row of the S-P lookup table.
struct SpEntry {
    int sp = 0;       // S-P time, ms; 0 = unknown
    int pTime = -1;   // P travel time, ms; -1 = unknown
    int distance = 0; // hundredths of a degree
};

// The IASP91 model (its loading and grid look-up live with the extra phases); the tables here
// only ask it for P and S times and its S-P lookup.
class Iasp91Model {
  public:
    virtual ~Iasp91Model() = default;
    virtual bool available() const = 0;
    // Largest depth offered, km.
    virtual int largestDepth() const = 0;
    // Seconds or -1.
    virtual double pTime(double depthKm, double distanceDegrees) const = 0;
    virtual double sTime(double depthKm, double distanceDegrees) const = 0;
    virtual bool spTable(double depthKm, std::vector<SpEntry>& entries) const = 0;
    // The phases it holds (extra phases name them), and any phase's time in seconds or -1.
    virtual int phaseCount() const { return 0; }
    virtual std::string phaseName(int /*index*/) const { return {}; }
    virtual int phaseIndex(const std::string& /*name*/) const { return -1; }
    virtual double iasp91Time(int /*index*/, double /*depthKm*/, double /*distanceDegrees*/) const {
        return -1;
    }
    virtual int distanceCount() const { return 0; }
    virtual int depthCount() const { return 0; }
};

// Section "Tables" of the settings file.
struct TableSettings {
    std::string pFile = "P.JB";
    std::string sFile = "S.JB";
    std::string pFileReg = "P_b.JB";
    std::string sFileReg = "S_b.JB";
    int depth = 33;   // km (stored as km x 100)
    int regDepth = 5; // km (stored as km x 100)
    int useTable = kTeleseismic;
    int i91Phases = 0;
    int open = 0;

    // Depths are read back as whole km; without the IASP91 file "I91Phases" counts as 0 and a
    // "UseTable" of 2 as 1.
    static TableSettings read(const IniProfile& profile, bool iasp91Available);
    // Writes the file names, "Depth", "RegDepth" and "UseTable" (the "Save as Default" set).
    bool writeDefaults(IniProfile& profile) const;
};

// Per event window: copies of the four main tables, the table choice, the depths and the derived
// S-P lookup table.
struct WindowTravelTimes {
    std::array<PhaseTable, 4> tables; // teleseismic P, S, regional P, S
    int useTable = kTeleseismic;
    double teleDepth = 33;
    double regDepth = 5;
    bool teleLoaded = false;
    bool eventApplied = false; // an event's information has set mode and depths
    std::vector<SpEntry> sp;
    double spDepth = 0;

    // The depth that goes with a mode (IASP91 uses the teleseismic depth).
    double depthFor(int mode) const { return mode == kRegional ? regDepth : teleDepth; }
};

struct SpDistance {
    double degrees = 0; // 0 = no distance
    int pTimeMs = 0;    // P travel time
    bool found() const { return degrees > 0; }
};

struct PredictedArrivals {
    int pMs = -1; // time of day, ms; -1 = none
    int sMs = -1;
    bool ok() const { return pMs >= 0 || sMs >= 0; }
};

class CTravelTm {
  public:
    static constexpr int kTeleP = 0, kTeleS = 1, kRegP = 2, kRegS = 3;

    CTravelTm();

    // Clears the list to four empty slots and loads the teleseismic and regional pairs from the
    // tables directory; a pair that fails gives its load message. True when all four loaded.
    bool load(const std::filesystem::path& tablesDirectory, const TableSettings& settings,
              Messages& messages);

    std::vector<PhaseTable>& slots() { return slots_; }
    const std::vector<PhaseTable>& slots() const { return slots_; }
    const PhaseTable& slot(std::size_t index) const { return slots_.at(index); }
    bool teleseismicLoaded() const { return !slots_[kTeleP].empty() && !slots_[kTeleS].empty(); }

    // Also resolves the IASP91 extra phases read while the model was not loaded.
    void setIasp91(const Iasp91Model* model);
    const Iasp91Model* iasp91() const { return iasp91_ && iasp91_->available() ? iasp91_ : nullptr; }

    // A new window's state: copies of the four tables (none after a teleseismic failure), the
    // settings' table choice and depths, and its S-P lookup table.
    WindowTravelTimes newWindow(const TableSettings& settings) const;

    // Rebuilds the window's S-P lookup for a mode; false when the tables are missing.
    bool buildSpTable(WindowTravelTimes& w, int mode, double regDepth, double teleDepth) const;

    // Both times at an origin time of day and a distance (above 0) in a mode.
    PredictedArrivals predictArrivals(const WindowTravelTimes& w, int originMs, double distanceDegrees,
                                      int mode) const;

    // Uses an event's distance and depth: the first time in a window the mode is chosen by
    // distance and both depths become the event depth; a regional miss falls back to the
    // teleseismic pair and switches the window to it.
    PredictedArrivals predictFromEvent(WindowTravelTimes& w, int originMs, double distanceDegrees,
                                       double eventDepthKm) const;

    // Extra phases: slots 4 and up, kept in phases.dat.
    static constexpr std::size_t kFirstExtra = 4;
    enum class AddResult { Added, Duplicate, FileError };
    // "NAME I91" adds an IASP91 phase, any other text a table file from the tables directory.
    AddResult addPhase(const std::filesystem::path& tablesDirectory, const std::string& text,
                       Messages& messages);
    // Empties the slots of that kind holding the phase (IASP91: its name; table: phase or file name).
    bool removePhase(const std::string& name, bool iasp91);
    // Reads phases.dat from the local data folder, else the program folder (the shipped default):
    // the list is written to the local data folder, so that copy is the user's. Returns the phases
    // added. IASP91 lines read before the model is loaded are kept (and written back) until
    // setIasp91 resolves them.
    int readPhases(const std::filesystem::path& localDataDirectory,
                   const std::filesystem::path& programDirectory,
                   const std::filesystem::path& tablesDirectory, Messages& messages);
    std::string phasesText() const;
    bool writePhases(const std::filesystem::path& localDataDirectory) const;
    // Arrival time of day (ms) of an extra phase at the window's current depth, or -1.
    int phaseArrival(const WindowTravelTimes& w, int originMs, double distanceDegrees,
                     std::size_t slot) const;

  private:
    bool loadPair(const std::filesystem::path& dir, const std::string& p, const std::string& s, int first);

    std::vector<PhaseTable> slots_;
    const Iasp91Model* iasp91_ = nullptr;
};

// The S-P lookup table of a window from IASP91 at its teleseismic depth.
bool iasp91SpTable(const Iasp91Model& model, WindowTravelTimes& w);

// Epicentral distance from an S-P time (ms) through the window's S-P lookup table.
SpDistance distanceFromSp(const WindowTravelTimes& w, int spMs);

// "%3.2fdeg %dkm %dmi" for a table's largest distance; "%d km" for its largest depth.
std::string largestDistanceText(const PhaseTable& table);
std::string largestDepthText(const PhaseTable& table);

} // namespace tlx
