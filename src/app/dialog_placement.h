// Where a measurement dialog stood: "%d %d %d %d %d %d %d %d" in the Settings section, of which
// the last four are the normal left, top, right and bottom.
#pragma once

#include "core/ini_profile.h"

class QWidget;

namespace tlx::app {

void restorePlacement(QWidget* dialog, const IniProfile& ini, const char* key,
                      const char* section = "Settings");
void storePlacement(const QWidget* dialog, IniProfile& ini, const char* key,
                    const char* section = "Settings");

} // namespace tlx::app
