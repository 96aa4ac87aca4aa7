#include "seismo/phase_control.h"

#include "core/debug_log.h"
#include "core/ini_profile.h"
#include "core/messages.h"
#include "core/text.h"
#include "seismo/phase_table.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace tlx {
namespace {

std::string firstLine(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line(127, '\0');
    in.read(line.data(), static_cast<std::streamsize>(line.size()));
    line.resize(static_cast<std::size_t>(in.gcount()));
    line = line.substr(0, line.find_first_of("\r\n"));
    return line;
}

std::string fileTextOf(const std::vector<std::string>& files, const std::vector<std::size_t>& picked) {
    if (picked.empty()) return {};
    if (picked.size() > 1) return "???";
    return picked[0] < files.size() ? files[picked[0]] : std::string();
}

} // namespace

std::vector<PhaseCandidate> tableFileCandidates(const std::filesystem::path& dir) {
    std::vector<PhaseCandidate> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string line = firstLine(it->path());
        if (line.rfind("n # ", 0) != 0 && line.rfind("# IASPEI", 0) != 0) continue;
        const std::string phase = phaseNameFromTitle(line);
        if (phase.empty()) continue;
        const std::string name = it->path().filename().string();
        out.push_back({name, name + "  " + phase, name});
    }
    std::sort(out.begin(), out.end(),
              [](const PhaseCandidate& a, const PhaseCandidate& b) { return a.text < b.text; });
    return out;
}

PhaseControl::PhaseControl(CTravelTm& tables, std::filesystem::path dir, bool iasp91Kind)
    : tables_(tables), directory_(std::move(dir)), iasp91Kind_(iasp91Kind && tables.iasp91()),
      initialKind_(iasp91Kind_) {}

void PhaseControl::setIasp91Kind(bool on) {
    if (on && !iasp91Enabled()) return;
    iasp91Kind_ = on;
}

std::vector<std::size_t> PhaseControl::selectedSlots() const {
    std::vector<std::size_t> out;
    const std::vector<PhaseTable>& slots = tables_.slots();
    for (std::size_t k = CTravelTm::kFirstExtra; k < slots.size(); ++k)
        if (!slots[k].empty() && (slots[k].iasp91 != 0) == iasp91Kind_) out.push_back(k);
    return out;
}

std::vector<std::string> PhaseControl::selected() const {
    std::vector<std::string> out;
    for (const std::size_t k : selectedSlots())
        out.push_back(tables_.slot(k).phaseName);
    return out;
}

std::vector<PhaseCandidate> PhaseControl::candidates() const {
    if (!iasp91Kind_) return tableFileCandidates(directory_);
    std::vector<PhaseCandidate> out;
    const Iasp91Model* model = tables_.iasp91();
    if (!model) return out;
    const std::vector<std::string> taken = selected();
    for (int p = 0; p < model->phaseCount(); ++p) {
        const std::string name = model->phaseName(p);
        if (std::find(taken.begin(), taken.end(), name) == taken.end())
            out.push_back({name + " I91", name, "IASP91.DAT"});
    }
    return out;
}

std::string PhaseControl::candidateFileText(const std::vector<std::size_t>& picked) const {
    std::vector<std::string> files;
    for (const PhaseCandidate& c : candidates())
        files.push_back(c.file);
    return fileTextOf(files, picked);
}

std::string PhaseControl::selectedFileText(const std::vector<std::size_t>& picked) const {
    std::vector<std::string> files;
    for (const std::size_t k : selectedSlots())
        files.push_back(iasp91Kind_ ? std::string("IASP91.DAT") : tables_.slot(k).fileName);
    return fileTextOf(files, picked);
}

int PhaseControl::add(const std::vector<std::size_t>& picked, Messages& messages) {
    const std::vector<PhaseCandidate> all = candidates();
    int added = 0;
    for (const std::size_t i : picked) {
        if (i >= all.size()) continue;
        if (tables_.addPhase(directory_, all[i].text, messages) == CTravelTm::AddResult::Added) ++added;
    }
    if (added) changed_ = true;
    return added;
}

int PhaseControl::remove(const std::vector<std::size_t>& picked) {
    const std::vector<std::size_t> slots = selectedSlots();
    int removed = 0;
    for (const std::size_t i : picked) {
        if (i >= slots.size() || tables_.slot(slots[i]).empty()) continue;
        tables_.slots()[slots[i]].clear();
        ++removed;
    }
    if (removed) changed_ = true;
    return removed;
}

bool PhaseControl::ok(IniProfile& settings, const std::filesystem::path& localDataDirectory) const {
    const bool kindChanged = iasp91Kind_ != initialKind_;
    if (!changed_ && !kindChanged) return false;
    if (kindChanged) settings.setString("Tables", "I91Phases", iasp91Kind_ ? "1" : "0");
    if (changed_ && !tables_.writePhases(localDataDirectory))
        logFormat("phases.dat could not be written to %s", localDataDirectory.string().c_str());
    return true;
}

} // namespace tlx
