#include "app/shell_commands.h"

#include "app/event_window.h"

#include "core/data_paths.h"
#include "core/file_io.h"
#include "core/text.h"
#include "document/record_info_edit.h"
#include "platform/file_associations.h"
#include "views/event_session.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace fs = std::filesystem;

namespace tlx::app {

void associateEventFiles(AppContext& ctx) {
    std::string failed;
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    if (!tlx::associateEventFiles(desktopFolders(), program, failed)) {
        ctx.messages.error(format("Can not create or open %s", failed.c_str()));
        return;
    }
    ctx.messages.information("File type .SVX now associated to Tellurix");
}

namespace {

bool chooseFolder(QWidget* parent, const char* title, fs::path& folder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(parent, title, QString::fromStdString(folder.string()));
    if (chosen.isEmpty()) return false;
    folder = chosen.toStdString();
    return true;
}

// The loader finds event files, response data and dataless volumes where the settings say.
void updateLoaderFolders(AppContext& ctx) {
    LoaderSettings folders = ctx.loader->settings();
    folders.localDirectory = ctx.settings.localDirectory;
    folders.datalessDirectory = ctx.settings.datalessDirectory;
    folders.datalessExtension = ctx.settings.datalessExtension;
    ctx.loader->setSettings(folders);
}

} // namespace

void chooseLocalDataDirectory(AppContext& ctx, QWidget* parent) {
    if (!chooseFolder(parent, "Local Data Directory", ctx.settings.localDirectory)) return;
    writeSetting(ctx.ini, keys::kLocalDirectory, ctx.settings.localDirectory.string());
    updateLoaderFolders(ctx);
}

void chooseTablesDirectory(AppContext& ctx, const std::vector<EventWindow*>& windows, QWidget* parent) {
    if (!chooseFolder(parent, "Tables Directory", ctx.settings.phaseDirectory)) return;
    writeSetting(ctx.ini, keys::kPhaseDirectory, ctx.settings.phaseDirectory.string());
    loadProgramTables(ctx);
    // Open windows take the new tables with the table choice and depths they had.
    for (EventWindow* w : windows) {
        WindowTravelTimes& travel = w->session().travelTimes();
        const WindowTravelTimes before = travel;
        travel = views::newWindowTravelTimes(ctx.seismo);
        travel.useTable = before.useTable;
        travel.eventApplied = before.eventApplied;
        ctx.seismo.travel.buildSpTable(travel, before.useTable, before.regDepth, before.teleDepth);
        w->refresh();
    }
}

void loadProgramTables(AppContext& ctx) {
    const fs::path& program = ctx.settings.programDirectory;
    const views::TableFolders folders =
        views::tableFolders(program, ctx.settings.localDirectory, ctx.settings.phaseDirectory);
    ctx.seismo.load(ctx.ini, folders.tables, folders.data, ctx.messages);
    // Without a phases.dat of the user's, the one shipped with the program is read.
    const bool ownPhases = !findDataFile({ctx.settings.localDirectory, program}, "phases.dat").empty();
    ctx.seismo.travel.slots().resize(CTravelTm::kFirstExtra);
    ctx.seismo.travel.readPhases(ctx.settings.localDirectory, ownPhases ? program : shippedDataDirectory(),
                                 ctx.settings.phaseDirectory, ctx.messages);
}

void chooseDatalessDirectory(AppContext& ctx, QWidget* parent) {
    fs::path folder = ctx.settings.datalessDirectory;
    if (!chooseFolder(parent, "Dataless SEED File Directory", folder)) return;
    ctx.settings.datalessDirectory = folder.string();
    writeSetting(ctx.ini, keys::kDatalessDir, ctx.settings.datalessDirectory);
    updateLoaderFolders(ctx);
}

void chooseDatalessExtension(AppContext& ctx, QWidget* parent) {
    bool ok = false;
    const QString ext = QInputDialog::getText(parent, "Dataless SEED File Extension",
                                              "Dataless SEED File Extension:", QLineEdit::Normal,
                                              QString::fromStdString(ctx.settings.datalessExtension), &ok)
                            .trimmed();
    if (!ok) return;
    ctx.settings.datalessExtension = ext.toStdString();
    writeSetting(ctx.ini, keys::kDatalessExt, ctx.settings.datalessExtension);
    updateLoaderFolders(ctx);
}

void addHeaderInformation(EventWindow& window, AppContext& ctx, QWidget* parent) {
    const std::string start = ctx.settings.datalessDirectory.empty() ? ctx.settings.eventDirectory.string()
                                                                     : ctx.settings.datalessDirectory;
    const QString file = QFileDialog::getOpenFileName(parent, "Add MINISEED Information",
                                                      QString::fromStdString(start), "All Files (*)");
    if (file.isEmpty()) return;
    std::string message;
    if (addMiniSeedInformation(window.doc(), file.toStdString(), message) == 0) ctx.messages.error(message);
    window.refresh();
}

void showHelp(AppContext& ctx, QWidget* parent, const std::string& anchor) {
    fs::path page = findFileAnyCase(ctx.settings.programDirectory / "help", "index.html");
    if (page.empty() && !shippedDataDirectory().empty())
        page = findFileAnyCase(shippedDataDirectory() / "help", "index.html");
    if (page.empty()) {
        ctx.messages.error("No Default Web Browser; Can't display help page");
        return;
    }
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle("Tellurix Help");
    auto* browser = new QTextBrowser;
    browser->setOpenExternalLinks(true);
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
    if (!anchor.empty()) url.setFragment(QString::fromStdString(anchor));
    browser->setSource(url);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser);
    dialog->resize(760, 640);
    dialog->show();
}

} // namespace tlx::app
