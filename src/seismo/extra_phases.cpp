#include "seismo/extra_phases.h"

#include "core/atomic_file.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/text.h"

#include <algorithm>
#include <cmath>

namespace tlx {
namespace {

constexpr std::size_t kMaxPhaseLine = 79;
constexpr const char* kI91Suffix = " I91";

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> wordsOf(std::string_view line) {
    std::vector<std::string> out;
    for (const std::string_view w : words(line))
        out.emplace_back(w);
    return out;
}

} // namespace

bool iasp91SpTable(const Iasp91Model& model, WindowTravelTimes& w) {
    if (!model.spTable(w.teleDepth, w.sp)) return false;
    w.spDepth = w.teleDepth;
    return true;
}

void CTravelTm::setIasp91(const Iasp91Model* model) {
    iasp91_ = model;
    const Iasp91Model* m = iasp91();
    if (!m) return;
    for (std::size_t k = kFirstExtra; k < slots_.size(); ++k) {
        PhaseTable& s = slots_[k];
        if (s.empty() || !s.iasp91 || s.phaseIndex >= 0) continue;
        s.phaseIndex = m->phaseIndex(s.phaseName);
        s.depthCount = m->depthCount();
        s.distanceCount = m->distanceCount();
        if (s.phaseIndex < 0) {
            logFormat("phases.dat: %s is no IASP91 phase", s.phaseName.c_str());
            s.clear();
        }
    }
}

CTravelTm::AddResult CTravelTm::addPhase(const std::filesystem::path& dir, const std::string& text,
                                         Messages& messages) {
    const std::size_t mark = text.find(kI91Suffix);
    const bool i91 = mark != std::string::npos;
    const std::string name = i91 ? text.substr(0, mark) : text;
    for (std::size_t k = kFirstExtra; k < slots_.size(); ++k) {
        const PhaseTable& s = slots_[k];
        if (s.empty() || (s.iasp91 != 0) != i91) continue;
        if (i91 ? s.phaseName == name : sameIgnoringCase(s.fileName, name)) {
            messages.error("Phase already being displayed or used");
            return AddResult::Duplicate;
        }
    }
    std::size_t k = kFirstExtra;
    while (k < slots_.size() && !slots_[k].empty())
        ++k;
    if (k == slots_.size()) slots_.emplace_back();
    PhaseTable& slot = slots_[k];
    bool ok = false;
    if (i91) {
        const Iasp91Model* model = iasp91();
        const int index = model ? model->phaseIndex(name) : -1;
        if (index >= 0) {
            slot.iasp91 = 1;
            slot.phaseIndex = index;
            slot.phaseName = name;
            slot.fileName = text.substr(0, mark + std::string_view(kI91Suffix).size());
            slot.depthCount = model->depthCount();
            slot.distanceCount = model->distanceCount();
            ok = slot.depthCount > 0;
        }
    } else {
        const std::filesystem::path path = findFileAnyCase(dir, name);
        ok = !path.empty() && readPhaseTable(path, slot);
        if (ok) slot.fileName = name;
    }
    if (!ok) {
        slot.clear();
        messages.error("Can't Display New Phase: File Error");
        return AddResult::FileError;
    }
    logFormat("extra phase %s in slot %d", slot.phaseName.c_str(), static_cast<int>(k));
    return AddResult::Added;
}

bool CTravelTm::removePhase(const std::string& name, bool i91) {
    bool removed = false;
    for (std::size_t k = kFirstExtra; k < slots_.size(); ++k) {
        PhaseTable& s = slots_[k];
        if (s.empty() || (s.iasp91 != 0) != i91) continue;
        if (s.phaseName == name || (!i91 && sameIgnoringCase(s.fileName, name))) {
            s.clear();
            removed = true;
        }
    }
    return removed;
}

int CTravelTm::readPhases(const std::filesystem::path& localDataDirectory,
                          const std::filesystem::path& programDirectory, const std::filesystem::path& dir,
                          Messages& messages) {
    const std::filesystem::path path = findDataFile({localDataDirectory, programDirectory}, kPhasesFileName);
    std::string text;
    if (path.empty() || !readTextFile(path, text, 1u << 20)) {
        messages.error("File PHASES.DAT not found!");
        return 0;
    }
    int added = 0;
    TextLines lines(text, kMaxPhaseLine, '!');
    for (std::string_view line; lines.next(line);) {
        const std::vector<std::string> w = wordsOf(line);
        if (w.empty()) continue;
        if (w.size() >= 2 && !iasp91()) {
            // the model is loaded on first use: keep the phase by name so the list is not lost
            std::size_t k = kFirstExtra;
            while (k < slots_.size() && !slots_[k].empty())
                ++k;
            if (k == slots_.size()) slots_.emplace_back();
            PhaseTable& slot = slots_[k];
            slot.iasp91 = 1;
            slot.phaseIndex = -1;
            slot.phaseName = w[0];
            slot.fileName = w[0] + kI91Suffix;
            slot.depthCount = slot.distanceCount = 1;
            continue;
        }
        const std::string entry = w.size() >= 2 ? w[0] + kI91Suffix : w[0];
        if (addPhase(dir, entry, messages) == AddResult::Added) ++added;
    }
    return added;
}

std::string CTravelTm::phasesText() const {
    std::string out;
    for (std::size_t k = kFirstExtra; k < slots_.size(); ++k) {
        const PhaseTable& s = slots_[k];
        if (s.empty()) continue;
        out += s.iasp91 ? format("%s I91\n", s.phaseName.c_str()) : s.fileName + "\n";
    }
    return out;
}

bool CTravelTm::writePhases(const std::filesystem::path& localDataDirectory) const {
    return writeFileAtomically(localDataDirectory / kPhasesFileName, phasesText());
}

int CTravelTm::phaseArrival(const WindowTravelTimes& w, int originMs, double x, std::size_t slot) const {
    if (slot < kFirstExtra || slot >= slots_.size() || slots_[slot].empty() || !std::isfinite(x)) return -1;
    const PhaseTable& t = slots_[slot];
    const double depth = w.depthFor(w.useTable);
    double seconds = -1;
    if (t.iasp91) {
        const Iasp91Model* model = iasp91();
        if (model && t.phaseIndex >= 0) seconds = model->iasp91Time(t.phaseIndex, depth, x);
    } else {
        seconds = travelTime(depth, t, x);
    }
    if (seconds < 0 || seconds > kDayMs / 1000.0) return -1;
    long long ms =
        static_cast<long long>(originMs) + static_cast<long long>(std::trunc(seconds * 1000.0 + 0.5));
    if (ms >= kDayMs) ms -= kDayMs;
    return static_cast<int>(ms);
}

PhaseMarkerLabel phaseMarkerLabel(const PhaseTable& table) {
    PhaseMarkerLabel label;
    label.text = table.phaseName;
    const std::string suffix = "-(IASP91)";
    if (const std::size_t at = label.text.find(suffix); at != std::string::npos)
        label.text.replace(at, suffix.size(), " (I91)");
    label.iasp91 = table.iasp91;
    label.phaseIndex = table.phaseIndex;
    return label;
}

std::string timeOfDayText(int ms) {
    ms = ((ms % kDayMs) + kDayMs) % kDayMs;
    return format("%02d:%02d:%02d.%02d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000 / 10);
}

std::vector<PhaseTimeRow> phaseTimeRows(const CTravelTm& tables, const WindowTravelTimes& w, int originMs,
                                        double x, int pMs, int sMs, bool iasp91Kind) {
    struct Item {
        std::string name;
        int ms;
        long long after;
    };
    std::vector<Item> items;
    auto push = [&](const std::string& name, int ms) {
        if (ms < 0) return;
        long long after = static_cast<long long>(ms) - originMs;
        if (after < 0) after += kDayMs; // arrives after midnight
        items.push_back({name, ms, after});
    };
    push("P", pMs);
    push("S", sMs);
    const std::vector<PhaseTable>& slots = tables.slots();
    for (std::size_t k = CTravelTm::kFirstExtra; k < slots.size(); ++k) {
        if (slots[k].empty() || (slots[k].iasp91 != 0) != iasp91Kind) continue;
        push(phaseMarkerLabel(slots[k]).text, tables.phaseArrival(w, originMs, x, k));
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.after < b.after; });
    std::vector<PhaseTimeRow> rows;
    rows.push_back({"Origin", originMs, ""});
    for (const Item& it : items) {
        if (rows.size() == kMaxPhaseTimeRows) break;
        rows.push_back({it.name, it.ms,
                        format("%ld.%02ld", static_cast<long>(it.after / 1000),
                               static_cast<long>(it.after % 1000 / 10))});
    }
    return rows;
}

} // namespace tlx
