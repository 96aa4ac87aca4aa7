#include "app/eq_app.h"

#include "app/convert_mode.h"
#include "app/event_window.h"
#include "app/picture_server.h"
#include "app/shell_commands.h"
#include "app/single_instance.h"
#include "core/data_paths.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/file_associations.h"
#include "services/geography.h"
#include "views/event_session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace tlx::app {

int CEqApp::run(const std::vector<std::string>& args) {
    QElapsedTimer clock;
    clock.start();
    // Program directory: TELLURIX_HOME when set, else the executable's own directory. Settings,
    // log and the user's files stay there when it can be written, else in the user's config folder.
    const char* home = std::getenv("TELLURIX_HOME");
    const fs::path installDir =
        home && *home ? fs::path(home) : fs::path(QCoreApplication::applicationDirPath().toStdString());
    const fs::path programDir = userFolder(installDir);
    if (programDir.empty()) {
        GuiMessages boxes;
        boxes.error("Directory Write Error please run Tellurix as Administrator");
        return 1;
    }
    setDebugLogDirectory(programDir.string());
    ctx_.ini.load(programDir / "TELLURIX.INI");

    ctx_.commandLine = parseCommandLine(args);
    anchorToWorkingDirectory(ctx_.commandLine);
    const bool batch = ctx_.commandLine.mode == RunMode::Print || ctx_.commandLine.mode == RunMode::Picture;
    ctx_.messages.setSuppressed(batch || ctx_.commandLine.mode == RunMode::Server);
    if (ctx_.commandLine.tooLong) ctx_.messages.error("Command line too long to process");

    LoaderSettings loaderSettings;
    loaderSettings.programDirectory = programDir;
    loaderSettings.geography = &ctx_.geography;
    if (ctx_.commandLine.mode == RunMode::Convert) {
        loaderSettings.eventDirectory = loaderSettings.localDirectory = programDir;
        const ConversionSummary done =
            convertEventFiles(ctx_.commandLine.files.empty() ? std::string() : ctx_.commandLine.files.front(),
                              ctx_.commandLine.target, loaderSettings);
        return done.failed > 0 || (done.converted == 0 && done.unreadable > 0) ? 1 : 0;
    }
    const QString instance = instanceName(programDir);
    if (ctx_.commandLine.mode == RunMode::Normal && !ctx_.commandLine.files.empty() &&
        handToRunningInstance(instance, ctx_.commandLine.files))
        return 0;

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const bool largeScreen = desk.width() > 800 && desk.height() > 600;
    ctx_.settings = readAppSettings(ctx_.ini, programDir, largeScreen);
    ctx_.style = views::readViewStyle(ctx_.ini, largeScreen);
    loaderSettings.eventDirectory = ctx_.settings.eventDirectory;
    loaderSettings.localDirectory = ctx_.settings.localDirectory;
    loaderSettings.datalessDirectory = ctx_.settings.datalessDirectory;
    loaderSettings.datalessExtension = ctx_.settings.datalessExtension;
    ctx_.loader = std::make_unique<EventLoader>(ctx_.messages, loaderSettings);

    frame_ = std::make_unique<CMainFrame>(ctx_);
    ctx_.messages.setParent(frame_.get());
    frame_->placeWindow(desk);
    if (!batch) frame_->show();
    loadProgramTables(ctx_);
    ctx_.seismo.magnitudeUnits = magnitudeUnitsFromSetting(ctx_.settings.magAuto);

    // TLX_STARTUP_TIMING prints the time to the first painted event window ("quit": then ends);
    // TLX_SCREENSHOT saves a picture of the main window at that moment.
    if (std::getenv("TLX_STARTUP_TIMING") || std::getenv("TLX_SCREENSHOT"))
        frame_->setFirstPaintCallback([this, clock] {
            const char* timing = std::getenv("TLX_STARTUP_TIMING");
            if (timing)
                std::printf("first paint after %.1f ms\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            if (const char* shot = std::getenv("TLX_SCREENSHOT"))
                frame_->grab().save(QString::fromLocal8Bit(shot));
            if (timing && std::string(timing) == "quit") QApplication::quit();
        });

    if (!batch && ctx_.commandLine.mode != RunMode::Server) offerAssociation();
    if (batch) {
        frame_->startBatch();
    } else if (ctx_.commandLine.mode == RunMode::Server) {
        pictureServer_ = std::make_unique<PictureServer>(*frame_, ctx_.commandLine.target);
    } else {
        instanceServer_ = std::make_unique<InstanceServer>(
            instance, [this](const std::vector<std::string>& paths) { frame_->openHandedFiles(paths); });
        if (ctx_.commandLine.files.empty())
            QTimer::singleShot(0, frame_.get(), [this] { frame_->run(Cmd::Open); });
        else
            frame_->openCommandLineFiles(ctx_.commandLine.files);
    }
    const int rc = QApplication::exec();
    return rc != 0 ? rc : ctx_.exitCode;
}

void CEqApp::offerAssociation() {
    // Without a screen there is no one to answer.
    if (QGuiApplication::platformName() == "offscreen" || readSetting(ctx_.ini, keys::kCheckAssoc)) return;
    if (!eventFilesAssociated(desktopFolders()) &&
        ctx_.messages.ask("Associate file type .SVX to Tellurix", Buttons::YesNo) != Answer::No)
        frame_->run(Cmd::AssociateSvx);
    writeSetting(ctx_.ini, keys::kCheckAssoc, true);
}

} // namespace tlx::app
