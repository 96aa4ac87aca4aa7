// CMapView: the location map on screen. The map itself is drawn into a cached picture that is
// redrawn only when the document's version or the size changes; the distance circles and the
// panel with the cursor read-out are drawn over it, so moving the mouse never redraws the coasts.
#pragma once

#include "views/map_painter.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace tlx::views {

class CMapView : public QWidget {
    Q_OBJECT
  public:
    explicit CMapView(CMapDoc& doc, QWidget* parent = nullptr);

    MapLayout currentLayout() const;
    const std::optional<MapPosition>& cursor() const { return cursor_; }
    // How often the map picture was drawn (tests and figures).
    int mapDraws() const { return mapDraws_; }
    // Redraws everything after a change of the document.
    void refresh() { update(); }

  Q_SIGNALS:
    // The pointer moved over the map (absent off the globe or over the panel).
    void cursorMoved(const std::optional<tlx::views::MapPosition>& at);
    // The centre or the zoom level changed from the view itself (double-click, keys).
    void mapChanged();
    // The right button: the position under it (absent off the globe) and the widget point.
    void contextMenuAt(const std::optional<tlx::views::MapPosition>& at, QPoint point);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::optional<MapPosition> positionAt(QPointF p) const;

    CMapDoc& doc_;
    QImage picture_;
    std::uint64_t pictureVersion_ = 0;
    std::optional<MapPosition> cursor_;
    int mapDraws_ = 0;
};

} // namespace tlx::views
