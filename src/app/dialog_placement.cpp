#include "app/dialog_placement.h"

#include "app/app_settings.h"

#include <QWidget>

namespace tlx::app {

void restorePlacement(QWidget* dialog, const IniProfile& ini, const char* key, const char* section) {
    const std::optional<FramePos> pos = parseFramePos(ini.getString(section, key, ""));
    if (!pos) return;
    const FramePos& p = *pos;
    if (p[6] > p[4] && p[7] > p[5]) dialog->setGeometry(p[4], p[5], p[6] - p[4], p[7] - p[5]);
}

void storePlacement(const QWidget* dialog, IniProfile& ini, const char* key, const char* section) {
    const QRect r = dialog->geometry();
    const FramePos p = {0, 0, 0, 0, r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    ini.setString(section, key, framePosText(p));
}

} // namespace tlx::app
