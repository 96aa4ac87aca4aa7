#include "app/outside_programs.h"

#include "app/event_window.h"
#include "app/setting_keys.h"
#include "core/debug_log.h"
#include "platform/process.h"
#include "services/report_kml.h"

#include <QFileDialog>

namespace fs = std::filesystem;

namespace tlx::app {

fs::path showPointsInGoogleEarth(AppContext& ctx, const std::vector<KmlPoint>& points, double range) {
    const fs::path file = writeGoogleEarthFile(ctx.settings.programDirectory, points, range);
    if (file.empty()) {
        ctx.messages.error("Error Creating GoogleEarth.kml file");
        return file;
    }
    if (!showInGoogleEarth(file, ctx.settings.googleEarthPath))
        logFormat("Google Earth could not be started for %s", file.string().c_str());
    return file;
}

void showRecordInGoogleEarth(EventWindow& window, bool withEvent, AppContext& ctx) {
    const CEqDoc& doc = window.doc();
    if (doc.recordCount() == 0) return;
    const RecordKml kml = recordKmlPoints(doc.record(doc.currentRecord()), withEvent, &ctx.geography);
    showPointsInGoogleEarth(ctx, kml.points, kml.range);
}

void chooseGoogleEarthProgram(AppContext& ctx, QWidget* parent) {
    const QString chosen = QFileDialog::getOpenFileName(
        parent, "Locate Google Earth Exe", QString::fromStdString(ctx.settings.googleEarthPath),
        "Google Earth (google-earth* googleearth*);;All Files (*)");
    if (chosen.isEmpty()) return;
    ctx.settings.googleEarthPath = chosen.toStdString();
    writeSetting(ctx.ini, keys::kGoogleEarthPath, ctx.settings.googleEarthPath);
}

void openWebCommand(Cmd cmd, AppContext& ctx) {
    const keys::S& page = cmd == Cmd::WebBroadband  ? keys::kWebBroadband
                          : cmd == Cmd::WebArchives ? keys::kWebArchives
                                                    : keys::kWebNewEvents;
    const std::string address = readSetting(ctx.ini, page);
    if (cmd == Cmd::WebFerncast) {
        fs::path browser = readSetting(ctx.ini, keys::kWebFerncast);
        if (browser.is_relative()) browser = ctx.settings.programDirectory / browser;
        std::error_code ec;
        if (fs::is_regular_file(browser, ec) && startDetached({browser.string(), address})) return;
    }
    if (!openWithDesktop(address)) ctx.messages.error("Unable to open Web Browser");
}

} // namespace tlx::app
