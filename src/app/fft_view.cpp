#include "app/fft_view.h"

#include "views/scene_painter.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace tlx::app {

CFFTView::CFFTView(const views::ViewStyle& style, QWidget* parent) : QWidget(parent), style_(style) {
    setMouseTracking(true);
    setMinimumSize(200, 150);
    setFocusPolicy(Qt::StrongFocus);
}

void CFFTView::paint(QPainter& p, QSize size, bool print) {
    views::SpectrumViewModel& m = model_;
    m.setSize(size.width(), size.height());
    const views::ViewColors& c = style_.colors;
    p.fillRect(QRect(QPoint(0, 0), size), views::toQColor(print ? c.printBackground : c.background));
    const views::PlotArea& a = m.plot();
    p.setFont(views::makeFont(style_.font));
    const QFontMetrics fm = p.fontMetrics();
    // Grids and tick labels.
    for (const views::AxisTick& t : m.xTicks()) {
        p.setPen(QPen(views::toQColor(c.xGrid), 0, t.label.empty() ? Qt::DotLine : Qt::SolidLine));
        if (m.options().xGrid)
            p.drawLine(t.pos, a.top, t.pos, a.bottom);
        else
            p.drawLine(t.pos, a.bottom, t.pos, a.bottom + (t.label.empty() ? 3 : 6));
        if (!t.label.empty()) {
            p.setPen(views::toQColor(c.label));
            const QString s = QString::fromStdString(t.label);
            p.drawText(t.pos - fm.horizontalAdvance(s) / 2, a.bottom + 6 + fm.ascent(), s);
        }
    }
    for (const views::AxisTick& t : m.yTicks()) {
        p.setPen(QPen(views::toQColor(c.yGrid), 0, Qt::DotLine));
        if (m.options().yGrid)
            p.drawLine(a.left, t.pos, a.right, t.pos);
        else
            p.drawLine(a.left - 5, t.pos, a.left, t.pos);
        p.setPen(views::toQColor(c.label));
        const QString s = QString::fromStdString(t.label);
        p.drawText(a.left - 6 - fm.horizontalAdvance(s), t.pos + fm.ascent() / 2, s);
    }
    p.setPen(QPen(views::toQColor(c.graph), 0));
    p.drawRect(a.left, a.top, a.right - a.left, a.bottom - a.top);
    const QString xTitle = "Frequency (Hz)";
    p.setPen(views::toQColor(c.label));
    p.drawText((a.left + a.right - fm.horizontalAdvance(xTitle)) / 2,
               a.bottom + 8 + fm.height() + fm.ascent(), xTitle);
    // The trace: one vertical span per column, joined to the next.
    p.setPen(QPen(views::toQColor(c.graph), 0));
    const std::vector<views::ColumnSpan> cols = m.columns();
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const views::ColumnSpan& s = cols[i];
        if (s.top != s.bottom) p.drawLine(s.x, s.top, s.x, s.bottom);
        if (i > 0) p.drawLine(cols[i - 1].x, cols[i - 1].last, s.x, s.first);
    }
    // The read-out at the cursor.
    const std::vector<std::string> lines = m.readout(cursor_.x(), cursor_.y());
    p.setPen(views::toQColor(c.label));
    int y = a.top + fm.ascent() + 2;
    for (const std::string& line : lines) {
        const QString s = QString::fromStdString(line);
        p.drawText(a.right - 6 - fm.horizontalAdvance(s), y, s);
        y += fm.height();
    }
}

QImage CFFTView::picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const QPoint saved = cursor_;
    cursor_ = {-1, -1};
    {
        QPainter p(&image);
        paint(p, image.size());
    }
    cursor_ = saved;
    model_.setSize(this->width(), this->height());
    return image;
}

void CFFTView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, size());
    if (onPainted) onPainted();
}

void CFFTView::resizeEvent(QResizeEvent*) {
    model_.setSize(width(), height());
}

void CFFTView::mouseMoveEvent(QMouseEvent* e) {
    cursor_ = e->position().toPoint();
    update();
}

void CFFTView::contextMenuEvent(QContextMenuEvent* e) {
    if (onContextMenu) onContextMenu(e->globalPos());
}

} // namespace tlx::app
