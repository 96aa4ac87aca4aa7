#include "views/eq_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QWheelEvent>

namespace tlx::views {

CEqView::CEqView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    panes_ = QStringList{"", "", "", "", ""};
}

void CEqView::setStyle(const ViewStyle& style) {
    style_ = style;
    refresh();
}

void CEqView::layoutNow() {
    const ScenePainter sp(style_);
    model_.layout({0, 0, width(), height()}, sp.metrics(), Output::Screen);
}

void CEqView::refresh() {
    layoutNow();
    updatePanes(lastMouse_.x(), lastMouse_.y());
    update();
    Q_EMIT readoutsChanged();
}

void CEqView::updatePanes(int x, int y) {
    panes_ = QStringList{
        QString::fromStdString(model_.cursorText(x, y)), QString::fromStdString(model_.leftEdgeText()),
        QString::fromStdString(model_.spanText()), QString::fromStdString(model_.yScaleText()),
        QString::fromStdString(model_.markerLetterText())};
    Q_EMIT statusChanged(panes_);
}

void CEqView::paintEvent(QPaintEvent*) {
    layoutNow();
    const ScenePainter sp(style_);
    QPainter painter(this);
    sp.paint(painter, model_.scene(), style_.colors);
}

void CEqView::resizeEvent(QResizeEvent*) {
    refresh();
}

QImage CEqView::picture(int width, int height) {
    QImage image = renderPicture(model_, style_, width, height);
    layoutNow(); // back to the screen geometry
    return image;
}

QImage CEqView::grabSeismogram() {
    return grab().toImage();
}

bool CEqView::print(QPrinter& printer, const PrintSettings& settings) {
    // The page is drawn at 1024 x 768 logical units (twice that in pixels for sharpness) and scaled
    // onto the paper, so that paper, screen and image share one drawing.
    ViewStyle style = style_;
    if (!settings.color) style.colors = monochrome();
    constexpr int kScale = 2;
    QImage page(1024 * kScale, 768 * kScale, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        ScenePainter sp(style);
        const Rect client{settings.left, settings.top, 1024 - settings.right, 768 - settings.bottom};
        model_.layout(client, sp.metrics(), Output::Print);
        QPainter p(&page);
        p.scale(kScale, kScale);
        sp.paint(p, model_.scene(), style.colors);
    }
    layoutNow();
    printer.setPageOrientation(settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect target = painter.viewport();
    const QSize size = page.size().scaled(target.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(target.topLeft(), size), page);
    return painter.end();
}

void CEqView::keyPressEvent(QKeyEvent* e) {
    if (selecting_) {
        if (e->key() == Qt::Key_Escape) {
            selecting_ = false;
            model_.setRubberBand(std::nullopt);
            update();
        }
        return;
    }
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool distance = model_.options().distance;
    switch (e->key()) {
    case Qt::Key_PageUp:
        model_.zoomBy(-1);
        break;
    case Qt::Key_PageDown:
        model_.zoomBy(1);
        break;
    case Qt::Key_Space:
        if (distance) model_.cycleActiveMarker();
        break;
    case Qt::Key_P:
        if (distance) model_.setActiveMarker(kMarkerP);
        break;
    case Qt::Key_S:
        if (distance) model_.setActiveMarker(kMarkerS);
        break;
    case Qt::Key_M:
    case Qt::Key_D:
    case Qt::Key_B: {
        const int want = e->key() == Qt::Key_M ? kMagMlMs : e->key() == Qt::Key_D ? kMagMd : kMagMb;
        if (distance && model_.magMode() == want) model_.setActiveMarker(kMarkerMag);
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int dir = e->key() == Qt::Key_Up ? -1 : 1;
        if (distance)
            model_.moveActiveMarker(0, dir * (ctrl ? 10 : 1));
        else
            model_.zoomBy(dir * (ctrl ? 4 : 1));
        break;
    }
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int dir = e->key() == Qt::Key_Right ? 1 : -1;
        if (distance)
            model_.moveActiveMarker(dir * (ctrl ? 20 : 1), 0);
        else
            model_.scrollSeconds(dir * (ctrl ? model_.coarseScrollStep() : 1));
        break;
    }
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    refresh();
}

void CEqView::keyReleaseEvent(QKeyEvent* e) {
    QWidget::keyReleaseEvent(e);
}

void CEqView::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
    if (selecting_) return;
    dragging_ = model_.markerAt(p.x(), p.y());
    if (dragging_ < 0 && dragMovesWindow && dragMovesWindow()) {
        windowDrag_ = e->globalPosition().toPoint();
        return;
    }
    if (dragging_ >= 0) {
        model_.setActiveMarker(dragging_);
        refresh();
        return;
    }
    const int slot = model_.slotAtY(p.y());
    if (slot >= 0 && model_.shownSlots().size() > 1 && slot != model_.currentRecord()) {
        if (onSelectRecord)
            onSelectRecord(slot);
        else
            model_.selectRecord(slot);
        refresh();
    }
}

void CEqView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    lastMouse_ = p;
    if (windowDrag_) {
        const QPoint now = e->globalPosition().toPoint();
        if (onWindowDrag) onWindowDrag(now - *windowDrag_);
        windowDrag_ = now;
        return;
    }
    if (selecting_) {
        const Rect& g = model_.graph();
        const int x = std::clamp(p.x(), g.left, g.right);
        model_.setRubberBand(
            Rect{std::min(selectStart_, x), g.top + 5, std::max(selectStart_, x), g.bottom - 5});
        update();
    } else if (dragging_ >= 0 && model_.options().distance) {
        const Marker& m = model_.marker(dragging_);
        if (model_.setMarkerBox(dragging_, p.x() - model_.boxWidth() / 2, m.y)) refresh();
    }
    updatePanes(p.x(), p.y());
}

void CEqView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    windowDrag_.reset();
    if (selecting_) {
        selecting_ = false;
        model_.setRubberBand(std::nullopt);
        model_.zoomToColumns(selectStart_, e->position().toPoint().x());
        refresh();
    }
    dragging_ = -1;
}

void CEqView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton && onTitleToggle) return onTitleToggle();
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    if (model_.inLabelMargin(p.x(), p.y()) && model_.sources().size() > 1) {
        const int alone = model_.shownAlone() >= 0 ? -1 : model_.slotAtY(p.y());
        if (onShowAlone)
            onShowAlone(alone);
        else
            model_.showAlone(alone);
        refresh();
        return;
    }
    if (model_.graph().contains(p.x(), p.y())) {
        selecting_ = true;
        selectStart_ = p.x();
    }
}

void CEqView::wheelEvent(QWheelEvent* e) {
    model_.zoomBy(e->angleDelta().y() > 0 ? -1 : 1);
    refresh();
}

} // namespace tlx::views
