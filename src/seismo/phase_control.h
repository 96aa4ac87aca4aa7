// The "Phase Control" dialog without its window: the selected extra phases of one kind, the
// candidates to add, and what OK and Cancel do.
#pragma once

#include "seismo/travel_times.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tlx {

class IniProfile;
class Messages;

struct PhaseCandidate {
    std::string text;  // what addPhase takes: a file name, or "NAME I91"
    std::string label; // as listed: "FILE  PHASE" or the IASP91 name
    std::string file;  // shown in "File:"
};

// Table files in the tables directory whose first line is a table title ("n # ..." or
// "# IASPEI ...") giving a phase name.
std::vector<PhaseCandidate> tableFileCandidates(const std::filesystem::path& tablesDirectory);

class PhaseControl {
  public:
    PhaseControl(CTravelTm& tables, std::filesystem::path tablesDirectory, bool iasp91Kind);

    bool iasp91Kind() const { return iasp91Kind_; }
    // The "&IASP91 Phases" box; disabled without the IASP91 model.
    bool iasp91Enabled() const { return tables_.iasp91() != nullptr; }
    void setIasp91Kind(bool on);

    // "Selected Phases:": the extra phases of the current kind, with their slots.
    std::vector<std::string> selected() const;
    std::vector<std::size_t> selectedSlots() const;
    // "Select From:".
    std::vector<PhaseCandidate> candidates() const;
    // "File:" text for a selection of candidates or of selected phases.
    std::string candidateFileText(const std::vector<std::size_t>& picked) const;
    std::string selectedFileText(const std::vector<std::size_t>& picked) const;
    std::string directoryText() const { return directory_.string(); }

    // "&Add" and "&Remove" with indexes into candidates() and selected().
    int add(const std::vector<std::size_t>& picked, Messages& messages);
    int remove(const std::vector<std::size_t>& picked);
    bool changed() const { return changed_; }

    // "&Ok": when something changed, saves the kind if it changed and writes phases.dat.
    // Returns true when the windows must be redrawn.
    bool ok(IniProfile& settings, const std::filesystem::path& localDataDirectory) const;
    // "&Cancel": true when the caller must reload all tables to drop the changes.
    bool cancelNeedsReload() const { return changed_; }

  private:
    CTravelTm& tables_;
    std::filesystem::path directory_;
    bool iasp91Kind_;
    bool initialKind_;
    bool changed_ = false;
};

} // namespace tlx
