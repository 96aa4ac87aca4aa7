#include "app/magnitude_period.h"

#include "core/messages.h"
#include "seismo/magnitudes.h"

namespace tlx::app {

std::optional<double> measureWindowPeriod(const views::EqViewModel& model, Messages& messages) {
    if (model.sources().empty()) return std::nullopt;
    const int slot = model.currentRecord();
    const views::TraceSource& src = model.sources()[static_cast<std::size_t>(slot)];
    const auto [first, count] = model.visibleSamples(slot);
    const double zero = model.options().autoDcOffset ? src.record->header.dataMean : model.offset(slot);
    const PeriodMeasurement m = measurePeriod(src.samples, static_cast<std::size_t>(first),
                                              static_cast<std::size_t>(count), zero, src.record->header.sps);
    if (!m.error.empty() || m.seconds <= 0) {
        if (!m.error.empty()) messages.error(m.error);
        return std::nullopt;
    }
    return m.seconds;
}

bool setWindowPeriod(views::EqViewModel& model, bool ms, Messages& messages) {
    const std::optional<double> period = measureWindowPeriod(model, messages);
    if (!period) return false;
    const PeriodCheck check = ms ? checkMsPeriod(*period) : checkMbPeriod(*period);
    if (!check.ok) {
        messages.error(check.message);
        return false;
    }
    if (ms)
        model.setMsPeriod(*period);
    else
        model.setMbPeriod(*period);
    messages.information(check.message);
    return true;
}

} // namespace tlx::app
