#include "views/readout.h"

#include "core/text.h"
#include "views/eq_view_model.h"
#include "views/view_math.h"

namespace tlx::views {
namespace {

std::string valuesText(const MagnitudeValues& m) {
    std::string text;
    const std::pair<const char*, std::optional<double>> order[] = {
        {"Ml", m.ml}, {"Ms", m.ms}, {"Md", m.md}, {"Mb", m.mb}};
    for (const auto& [name, value] : order)
        if (value) text += format("%s%2.1f ", name, *value);
    return text;
}

} // namespace

MagnitudeValues shownMagnitudes(int magMode, const MagnitudeValues& m) {
    MagnitudeValues shown;
    if (magMode == kMagMb) {
        shown.mb = m.mb;
        return shown;
    }
    // Without a -log A0 table there is no Ml; the other magnitudes are shown alone.
    shown.ml = m.ml;
    if (magMode == kMagMd && m.md)
        shown.md = m.md;
    else
        shown.ms = m.ms;
    return shown;
}

std::string magnitudeText(int magMode, const MagnitudeValues& computed) {
    return valuesText(shownMagnitudes(magMode, computed));
}

std::string readoutLine(const Readout& r) {
    const std::string p = r.pMs ? timeOfDayText(*r.pMs) : "***";
    const std::string s = r.sMs ? timeOfDayText(*r.sMs) : "***";
    const std::string diff = r.spMs && *r.spMs >= 0 ? spDiffText(*r.spMs) : "***";
    if (r.outOfRange)
        return format("Org: *** P: %s S: %s Diff: %s  Table Out Of Range  ", p.c_str(), s.c_str(),
                      diff.c_str());
    if (!r.found)
        return format("Org: *** P: %s S: %s Diff: %s  Dist: *** Mag: ***", p.c_str(), s.c_str(),
                      diff.c_str());
    const std::string mags = r.magnitudes && r.magnitudes->any() ? valuesText(*r.magnitudes) : "***";
    return format("Org: %s P: %s S: %s Diff: %s  Dist: %1.1fkm %1.1fmi %1.3fdeg Mag: %s %s",
                  timeOfDayText(r.originMs).c_str(), p.c_str(), s.c_str(), diff.c_str(), r.km, r.miles,
                  r.degrees, mags.c_str(), r.tableName.c_str());
}

} // namespace tlx::views
