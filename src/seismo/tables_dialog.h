// What the "Travel-Time Tables" dialog does, without its window: the table files per slot, the
// current table, the depth and its range, and applying or saving the choice.
#pragma once

#include "seismo/travel_times.h"

#include <array>
#include <filesystem>
#include <string>

namespace tlx {

class IniProfile;
class Messages;

struct DepthRange {
    int minimum = 0;
    int maximum = 0;
    int lineStep = 1;
    int pageStep = 10;
};

class TravelTimeTablesDialog {
  public:
    TravelTimeTablesDialog(const CTravelTm& tables, const WindowTravelTimes& window,
                           const TableSettings& settings, std::filesystem::path tablesDirectory);

    // Slot 0..3: teleseismic P, S, regional P, S.
    const std::string& fileName(int slot) const { return files_.at(static_cast<std::size_t>(slot)); }
    std::string distanceText(int slot) const { return largestDistanceText(table(slot)); }
    std::string depthText(int slot) const { return largestDepthText(table(slot)); }
    const PhaseTable& table(int slot) const { return tables_.at(static_cast<std::size_t>(slot)); }

    const std::filesystem::path& directory() const { return dir_; }
    bool iasp91Enabled() const { return tm_.iasp91() != nullptr; }
    int mode() const { return mode_; }
    void setMode(int mode);
    // Depth of the selected mode, whole km, and the range the edit and scroll bar allow.
    int depth() const { return mode_ == kRegional ? regDepth_ : teleDepth_; }
    void setDepth(int km);
    DepthRange depthRange() const;

    // The file browser's pattern and title for a P or S table.
    static const char* browsePattern(bool pWave) { return pWave ? "p*.jb,p*.i91" : "s*.jb,s*.i91"; }
    static const char* browseTitle(bool pWave) { return pWave ? "New P Wave File" : "New S Wave File"; }
    // Loads a new table into a slot; on failure "Error With File %s" and the old table stays.
    bool changeTable(int slot, const std::string& file, Messages& messages);

    bool allWindows = false;
    bool updateLocation = false;
    bool saveAsDefault = false;

    bool changed() const;
    // OK: when anything changed the window takes the tables, mode and depths and rebuilds its
    // S-P table; "Save as Default" writes the settings. Returns whether the window changed.
    bool accept(WindowTravelTimes& window, TableSettings& settings, IniProfile* profile) const;
    // The same choice for another open window ("All Event Windows").
    void applyTo(WindowTravelTimes& window) const;

  private:
    const CTravelTm& tm_;
    std::filesystem::path dir_;
    std::array<PhaseTable, 4> tables_;
    std::array<std::string, 4> files_;
    std::array<bool, 4> replaced_{};
    int mode_;
    int teleDepth_;
    int regDepth_;
    int initialMode_;
    int initialTele_;
    int initialReg_;
};

} // namespace tlx
