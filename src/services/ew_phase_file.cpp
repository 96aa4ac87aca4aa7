#include "services/ew_phase_file.h"

#include "core/atomic_file.h"
#include "core/civil_time.h"
#include "core/file_io.h"
#include "core/text.h"
#include "services/fixed_columns.h"

#include <cmath>

namespace tlx {

namespace {

constexpr double kMaxSpreadSeconds = 300;

struct SplitTime {
    CivilTime civil;
    int hundredths = 0;
};

SplitTime splitTime(double time) {
    const double raised = time + 0.0005;
    const double whole = std::floor(raised);
    SplitTime out;
    out.civil = civilFromEpoch(static_cast<std::int64_t>(whole));
    out.hundredths = std::min(99, static_cast<int>((raised - whole) * 100));
    return out;
}

// The 17 characters of a phase line's date and time (seconds in three columns, as read).
std::string phaseTimeField(double time) {
    const SplitTime t = splitTime(time);
    return format("%04d%02d%02d%02d%02d%3d%02d", t.civil.year, t.civil.month, t.civil.day, t.civil.hour,
                  t.civil.minute, t.civil.second, t.hundredths);
}

double phaseTime(std::string_view line) {
    CivilTime t;
    t.year = leadingInt(columns(line, 17, 4));
    t.month = leadingInt(columns(line, 21, 2));
    t.day = leadingInt(columns(line, 23, 2));
    t.hour = leadingInt(columns(line, 25, 2));
    t.minute = leadingInt(columns(line, 27, 2));
    const int seconds = leadingInt(columns(line, 29, 3));
    const int hundredths = leadingInt(columns(line, 32, 2));
    return static_cast<double>(epochSeconds(t)) + seconds + hundredths / 100.0;
}

bool isPhaseLine(std::string_view line) {
    return !line.empty() && line[0] != ' ' && line[0] != '$';
}

} // namespace

std::string ewWeightLabel(const EwPick& pick) {
    if (pick.disabled) return "<Disabled>";
    switch (pick.weight) {
    case ' ':
    case '0':
        return "<Full>";
    case '1':
        return "<3/4>";
    case '2':
        return "<1/2>";
    case '3':
        return "<1/4>";
    default:
        return pick.weight >= '4' && pick.weight <= '9' ? "<None>" : "<?>";
    }
}

std::string ewTimeText(double time) {
    const SplitTime t = splitTime(time);
    return format("%04d.%02d.%02d %02d:%02d:%02d.%02d", t.civil.year, t.civil.month, t.civil.day,
                  t.civil.hour, t.civil.minute, t.civil.second, t.hundredths);
}

std::string ewPickListLine(const EwPick& pick) {
    const std::string padding(pick.name.size() < 10 ? 10 - pick.name.size() : 0, ' ');
    return pick.name + padding + ewTimeText(pick.time) + " " + ewWeightLabel(pick);
}

std::string ewNewPhaseLine(const EwNewPick& pick) {
    std::string line =
        "SSSSSNN  CCC  P 0YYYYMMDDHHMMSSSTT   0000    0   0   0      0 0  0   0   0   0 0000  0  "
        "0.0  0  0  0   0   0WE -- 0 1.  ";
    const std::size_t locationAt = line.find("--");
    placeAt(line, 0, fixedWidth(pick.station, 5));
    placeAt(line, 5, fixedWidth(pick.network, 2));
    placeAt(line, 9, fixedWidth(pick.component, 3));
    placeAt(line, 17, phaseTimeField(pick.time));
    placeAt(line, locationAt, fixedWidth(pick.location.empty() ? "--" : pick.location, 2));
    return line;
}

bool EwPhaseFile::read(const std::filesystem::path& path, std::string& error) {
    std::string text;
    if (!readTextFile(path, text)) {
        error = "Phase File Open Error";
        return false;
    }
    return parse(text, error);
}

bool EwPhaseFile::parse(std::string_view text, std::string& error) {
    lines_.clear();
    TextLines reader(text, kMaxLineLength);
    std::string_view line;
    while (static_cast<int>(lines_.size()) < kMaxLines && reader.next(line))
        lines_.emplace_back(line);
    if (lines_.size() < 2) {
        error = "Phase File Number of Lines < 2 Error";
        return false;
    }
    shadows_ = !lines_[1].empty() && lines_[1][0] == '$';
    buildPicks();
    if (static_cast<int>(picks_.size()) > kMaxPicks) {
        picks_.clear();
        error = "Phase File Parse Error";
        return false;
    }
    return true;
}

void EwPhaseFile::buildPicks() {
    picks_.clear();
    const std::size_t first = shadows_ ? 2 : 1;
    const std::size_t closing = shadows_ ? 2 : 1;
    const std::size_t end = lines_.size() >= first + closing ? lines_.size() - closing : first;
    for (std::size_t i = first; i < end; ++i) {
        const std::string& line = lines_[i];
        if (!isPhaseLine(line)) continue;
        EwPick pick;
        pick.name = wordAt(line, 0, 5) + "." + wordAt(line, 9, 3);
        pick.time = phaseTime(line);
        pick.weight = line.size() > 16 ? line[16] : ' ';
        pick.line = static_cast<int>(i);
        picks_.push_back(pick);
    }
}

std::string EwPhaseFile::text() const {
    const std::size_t first = shadows_ ? 2 : 1;
    const std::size_t closing = shadows_ ? 2 : 1;
    std::string out;
    auto emit = [&out](std::string_view line) {
        out.append(line);
        out += '\n';
    };
    for (std::size_t i = 0; i < first && i < lines_.size(); ++i)
        emit(lines_[i]);
    for (const EwPick& pick : picks_) {
        if (pick.disabled) continue;
        std::string line = lines_[static_cast<std::size_t>(pick.line)];
        placeAt(line, 16, std::string(1, pick.weight));
        placeAt(line, 17, phaseTimeField(pick.time));
        emit(line);
        if (shadows_) {
            const std::size_t next = static_cast<std::size_t>(pick.line) + 1;
            const bool hasShadow = next < lines_.size() && !lines_[next].empty() && lines_[next][0] == '$';
            emit(hasShadow ? std::string_view(lines_[next]) : std::string_view("$"));
        }
    }
    for (std::size_t i = lines_.size() >= first + closing ? lines_.size() - closing : lines_.size();
         i < lines_.size(); ++i)
        emit(lines_[i]);
    return out;
}

bool EwPhaseFile::write(const std::filesystem::path& path, std::string& error) const {
    if (!writeFileAtomically(path, text())) {
        error = tlx::format("Error Saving Phase File %s", path.string().c_str());
        return false;
    }
    return true;
}

bool EwPhaseFile::addPick(const EwNewPick& pick, std::string& error) {
    if (!picks_.empty() && std::fabs(pick.time - picks_.front().time) > kMaxSpreadSeconds) {
        error = "Error adding phase. Phase time > 5 minutes from first phase.";
        return false;
    }
    if (static_cast<int>(picks_.size()) >= kMaxPicks ||
        lines_.size() + 2 > static_cast<std::size_t>(kMaxLines)) {
        error = "Phase File Parse Error";
        return false;
    }
    const std::size_t closing = shadows_ ? 2 : 1;
    const std::size_t at = lines_.size() >= closing ? lines_.size() - closing : lines_.size();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), ewNewPhaseLine(pick));
    if (shadows_) lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at) + 1, "$");
    // The lines before the insertion keep their places, and so do the picks already edited.
    std::vector<EwPick> kept = std::move(picks_);
    buildPicks();
    for (EwPick& p : picks_)
        for (const EwPick& old : kept)
            if (old.line == p.line) {
                p = old;
                break;
            }
    return true;
}

} // namespace tlx
