// "Calculate Ms Period" and "Calculate Mb Period": the period of the largest wave shown in the
// window becomes its Ms or Mb period when it lies in that magnitude's range.
#pragma once

#include "views/eq_view_model.h"

#include <optional>

namespace tlx {
class Messages;
}

namespace tlx::app {

// The measured period, or nothing after the message that says why.
std::optional<double> measureWindowPeriod(const views::EqViewModel& model, Messages& messages);
// Measures and, in range, sets the window's period; the message tells either way.
bool setWindowPeriod(views::EqViewModel& model, bool ms, Messages& messages);

} // namespace tlx::app
