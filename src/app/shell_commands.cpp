#include "app/shell_commands.h"

#include "core/data_paths.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/file_associations.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
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

} // namespace

void chooseLocalDataDirectory(AppContext& ctx, QWidget* parent) {
    if (!chooseFolder(parent, "Local Data Directory", ctx.settings.localDirectory)) return;
    writeSetting(ctx.ini, keys::kLocalDirectory, ctx.settings.localDirectory.string());
    LoaderSettings folders = ctx.loader->settings();
    folders.localDirectory = ctx.settings.localDirectory;
    ctx.loader->setSettings(folders);
}

void chooseTablesDirectory(AppContext& ctx, QWidget* parent) {
    if (!chooseFolder(parent, "Tables Directory", ctx.settings.phaseDirectory)) return;
    writeSetting(ctx.ini, keys::kPhaseDirectory, ctx.settings.phaseDirectory.string());
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
