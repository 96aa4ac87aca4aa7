// The File menu's recent files (numbered, above Exit) and its Recent Directories sub-menu.
#include "app/main_frame.h"

#include <QAction>
#include <QMenu>

#include <filesystem>
#include <memory>

namespace tlx::app {

void CMainFrame::noteRecent(const std::vector<std::string>& files) {
    for (const std::string& f : files) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(f, ec);
        ctx_.settings.recentFiles.add(absolute.string());
        ctx_.settings.recentDirectories.add(absolute.parent_path().string());
    }
}

void CMainFrame::addRecentEntries(QMenu* file) {
    QAction* exit = action(Cmd::Exit);
    auto* recentSeparator = file->insertSeparator(exit);
    auto* directories = file->addMenu("Recent &Directories");
    auto shown = std::make_shared<std::vector<std::unique_ptr<QAction>>>();
    // Filled each time the menu opens: the lists change with every file opened.
    connect(file, &QMenu::aboutToShow, this, [this, file, exit, recentSeparator, directories, shown] {
        shown->clear();
        const std::vector<std::string>& files = ctx_.settings.recentFiles.entries();
        for (std::size_t i = 0; i < files.size(); ++i) {
            auto a =
                std::make_unique<QAction>(QString("&%1 %2").arg(i + 1).arg(QString::fromStdString(files[i])));
            connect(a.get(), &QAction::triggered, this,
                    [this, path = files[i]] { openCommandLineFiles({path}); });
            file->insertAction(exit, a.get());
            shown->push_back(std::move(a));
        }
        recentSeparator->setVisible(!files.empty());
        directories->clear();
        for (const std::string& dir : ctx_.settings.recentDirectories.entries())
            connect(directories->addAction(QString::fromStdString(dir)), &QAction::triggered, this,
                    [this, dir] {
                        ctx_.settings.eventDirectory = dir;
                        run(Cmd::Open);
                    });
        directories->setEnabled(!directories->isEmpty());
    });
}

} // namespace tlx::app
