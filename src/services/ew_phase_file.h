// The locator's archive phase file held in memory: its picks (station.component, P time,
// weight), edited in the "Earthworm Picks" dialog and written back for a run.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct EwPick {
    std::string name; // "STA.CMP"
    double time = 0;  // seconds since 1970, UTC
    char weight = '0';
    bool disabled = false;
    double latitude = 0;
    double longitude = 0;
    bool stationKnown = false;
    int line = 0; // index of its phase line in the file
};

// "<Full>", "<3/4>" … "<Disabled>".
std::string ewWeightLabel(const EwPick& pick);
// A line of the dialog's pick list: name padded to 10, time with hundredths, weight label.
std::string ewPickListLine(const EwPick& pick);
// "%04d.%02d.%02d %02d:%02d:%02d.%02d" of a time raised by half a millisecond.
std::string ewTimeText(double time);

// What the dialog's Add takes from the current record.
struct EwNewPick {
    std::string station;   // up to 5 characters written
    std::string network;   // 2 characters
    std::string component; // 3 characters
    std::string location;  // 2 characters, "--" when empty
    double time = 0;
};
// The new phase line of that pick (120 characters of the template, filled).
std::string ewNewPhaseLine(const EwNewPick& pick);

class EwPhaseFile {
  public:
    static constexpr int kMaxLines = 510;
    static constexpr std::size_t kMaxLineLength = 254;
    static constexpr int kMaxPicks = 198;

    // False with the message text ("Phase File Open Error", "Phase File Parse Error", …).
    bool read(const std::filesystem::path& path, std::string& error);
    bool parse(std::string_view text, std::string& error);

    int format() const { return shadows_ ? 5 : 3; }
    const std::vector<EwPick>& picks() const { return picks_; }
    std::vector<EwPick>& picks() { return picks_; }

    // The file as it is saved: picks at their current times and weights, disabled ones left out.
    std::string text() const;
    bool write(const std::filesystem::path& path, std::string& error) const;

    // Inserts the pick's phase line before the closing line(s); refused more than five minutes
    // from the first pick.
    bool addPick(const EwNewPick& pick, std::string& error);

  private:
    void buildPicks();

    std::vector<std::string> lines_;
    bool shadows_ = false;
    std::vector<EwPick> picks_;
};

} // namespace tlx
