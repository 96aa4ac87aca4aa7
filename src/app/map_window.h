// CMapWindow: the location map's MDI child (CMDIMapChildWnd): its own menu bar from the map's
// command table, the view, and the commands that need Qt (colours, fonts, Save, Copy, Print,
// Google Earth, the event reports). The stations and the event come from the open event windows.
#pragma once

#include "platform/process.h"
#include "views/map_view.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QPrinter;

namespace tlx::app {

struct AppContext;
class EventWindow;

class CMapWindow : public QWidget {
    Q_OBJECT
  public:
    using WindowList = std::function<std::vector<EventWindow*>()>;
    CMapWindow(AppContext& context, WindowList windows, QWidget* parent = nullptr);

    views::CMapDoc& doc() { return *doc_; }
    views::CMapView* view() { return view_; }
    QAction* action(views::MapCmd cmd) const { return actions_.at(cmd); }
    // Takes the stations and the event again from the event windows; `fit` recentres and rescales
    // as on opening (Redraw Map).
    void stationsChanged(bool fit = false);
    void run(views::MapCmd cmd);
    // The context menu as it would be shown for a position (tests).
    std::unique_ptr<QMenu> contextMenu(const std::optional<views::MapPosition>& at);
    // The picture of Save, Copy and Print at a size.
    QImage picture(int width, int height) const { return views::renderMap(*doc_, width, height); }
    bool print(QPrinter& printer);
    // Writes the Google Earth file for a position; the path, or empty when it failed.
    std::filesystem::path googleEarth(const views::MapPosition& at);

  Q_SIGNALS:
    void statusChanged(const QStringList& panes);

  private:
    void fillMenu(QMenu* menu, const std::vector<views::MapMenuItem>& items);
    void updateActions();
    void showCursor(const std::optional<views::MapPosition>& at);
    void chooseColor(views::MapCmd cmd);
    void defaultColors();
    void chooseFont(views::MapCmd cmd);
    void saveImage();

    AppContext& ctx_;
    WindowList windows_;
    std::unique_ptr<views::CMapDoc> doc_;
    views::CMapView* view_;
    std::map<views::MapCmd, QAction*> actions_;
    std::optional<views::MapPosition> clicked_; // the right-click position, while its menu is open
    std::optional<views::MapPosition> kept_;    // the last right-click position, for Make Event Report
};

} // namespace tlx::app
