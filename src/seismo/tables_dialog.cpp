#include "seismo/tables_dialog.h"

#include "core/file_io.h"
#include "core/ini_profile.h"
#include "core/messages.h"
#include "core/text.h"

#include <algorithm>

namespace tlx {

TravelTimeTablesDialog::TravelTimeTablesDialog(const CTravelTm& tables, const WindowTravelTimes& window,
                                               const TableSettings& settings, std::filesystem::path dir)
    : tm_(tables), dir_(std::move(dir)), tables_(window.tables), mode_(window.useTable),
      teleDepth_(static_cast<int>(window.teleDepth)), regDepth_(static_cast<int>(window.regDepth)),
      initialMode_(mode_), initialTele_(teleDepth_), initialReg_(regDepth_) {
    files_ = {settings.pFile, settings.sFile, settings.pFileReg, settings.sFileReg};
    for (std::size_t i = 0; i < 4; ++i)
        if (!tables_[i].fileName.empty()) files_[i] = tables_[i].fileName;
    if (mode_ == kIasp91 && !iasp91Enabled()) mode_ = initialMode_ = kTeleseismic;
}

void TravelTimeTablesDialog::setMode(int mode) {
    if (mode == kIasp91 && !iasp91Enabled()) return;
    if (mode < kRegional || mode > kIasp91) return;
    mode_ = mode;
    setDepth(depth()); // keep the depth inside the new mode's range
}

DepthRange TravelTimeTablesDialog::depthRange() const {
    DepthRange r;
    if (mode_ == kIasp91) {
        r.maximum = tm_.iasp91() ? tm_.iasp91()->largestDepth() : 0;
    } else {
        r.maximum = table(mode_ == kRegional ? CTravelTm::kRegP : CTravelTm::kTeleP).largestDepth;
        if (mode_ == kRegional) r.pageStep = 5;
    }
    return r;
}

void TravelTimeTablesDialog::setDepth(int km) {
    const DepthRange r = depthRange();
    km = std::clamp(km, r.minimum, std::max(r.minimum, r.maximum));
    (mode_ == kRegional ? regDepth_ : teleDepth_) = km;
}

bool TravelTimeTablesDialog::changeTable(int slot, const std::string& file, Messages& messages) {
    if (slot < 0 || slot > 3) return false;
    std::filesystem::path path(file);
    if (path.is_relative()) {
        const std::filesystem::path found = findFileAnyCase(dir_, file);
        path = found.empty() ? dir_ / file : found;
    }
    PhaseTable loaded;
    if (!readPhaseTable(path, loaded)) {
        messages.error(format("Error With File %s", file.c_str()));
        return false;
    }
    const std::size_t i = static_cast<std::size_t>(slot);
    tables_[i] = std::move(loaded);
    files_[i] = tables_[i].fileName;
    replaced_[i] = true;
    setDepth(depth());
    return true;
}

bool TravelTimeTablesDialog::changed() const {
    return mode_ != initialMode_ || teleDepth_ != initialTele_ || regDepth_ != initialReg_ ||
           std::any_of(replaced_.begin(), replaced_.end(), [](bool b) { return b; });
}

void TravelTimeTablesDialog::applyTo(WindowTravelTimes& window) const {
    for (std::size_t i = 0; i < 4; ++i)
        if (replaced_[i] || window.tables[i].empty()) window.tables[i] = tables_[i];
    window.teleLoaded =
        !window.tables[CTravelTm::kTeleP].empty() && !window.tables[CTravelTm::kTeleS].empty();
    window.useTable = mode_;
    tm_.buildSpTable(window, mode_, regDepth_, teleDepth_);
}

bool TravelTimeTablesDialog::accept(WindowTravelTimes& window, TableSettings& settings,
                                    IniProfile* profile) const {
    const bool change = changed();
    if (change) applyTo(window);
    if (saveAsDefault) {
        settings.pFile = files_[0];
        settings.sFile = files_[1];
        settings.pFileReg = files_[2];
        settings.sFileReg = files_[3];
        settings.depth = teleDepth_;
        settings.regDepth = regDepth_;
        settings.useTable = mode_;
        if (profile) settings.writeDefaults(*profile);
    }
    return change;
}

} // namespace tlx
