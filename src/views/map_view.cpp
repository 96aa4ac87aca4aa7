#include "views/map_view.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPaintEvent>

namespace tlx::views {

CMapView::CMapView(CMapDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

MapLayout CMapView::currentLayout() const {
    return MapPainter(doc_).layout(width(), height());
}

std::optional<MapPosition> CMapView::positionAt(QPointF p) const {
    const MapLayout layout = currentLayout();
    if (!layout.map.contains(p.x(), p.y())) return std::nullopt;
    return doc_.projection(layout.map).inverse(p.x(), p.y());
}

void CMapView::paintEvent(QPaintEvent* event) {
    const MapPainter painter(doc_);
    const MapLayout layout = painter.layout(width(), height());
    if (picture_.size() != size() || pictureVersion_ != doc_.version()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
        QPainter cache(&picture_);
        painter.paintMap(cache, layout.map);
        pictureVersion_ = doc_.version();
        ++mapDraws_;
    }
    QPainter p(this);
    p.setClipRegion(event->region());
    p.drawImage(event->rect().topLeft(), picture_, event->rect());
    painter.paintOverlay(p, layout, cursor_, false);
}

void CMapView::mouseMoveEvent(QMouseEvent* event) {
    cursor_ = positionAt(event->position());
    // Only the panel's read-out changes.
    const MapRect panel = currentLayout().panel;
    update(QRect(panel.left, panel.top, panel.width, panel.height));
    Q_EMIT cursorMoved(cursor_);
}

void CMapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const MapLayout layout = currentLayout();
    if (!layout.map.contains(event->position().x(), event->position().y())) return;
    if (doc_.recentre(layout.map, event->position().x(), event->position().y())) {
        update();
        Q_EMIT mapChanged();
    }
}

void CMapView::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT contextMenuAt(positionAt(event->pos()), event->pos());
}

} // namespace tlx::views
