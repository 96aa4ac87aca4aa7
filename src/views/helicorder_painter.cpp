#include "views/helicorder_painter.h"

#include "views/scene_painter.h"

#include <QLine>
#include <QVector>

namespace tlx::views {

void paintHelicorder(QPainter& p, QSize size, HelicorderLayout& layout, const HelicorderScene& scene,
                     const ViewStyle& style, bool print) {
    const ViewColors& c = style.colors;
    layout.setSize(size.width(), size.height());
    p.fillRect(QRect(QPoint(0, 0), size), toQColor(print ? c.printBackground : c.background));
    p.setFont(makeFont(style.font));
    const QFontMetrics fm = p.fontMetrics();
    const PlotArea& a = layout.plot();
    p.setClipRect(QRect(0, a.top, size.width(), a.bottom - a.top));
    // Alternating line colours keep neighbouring lines apart where large amplitudes meet.
    const QColor colours[] = {toQColor(c.graph), QColor(0, 0, 200), QColor(200, 0, 0), QColor(0, 128, 0)};
    const auto [from, to] = layout.visibleLines();
    // One batch of segments per line: a day's repaint is a few thousand segments per line.
    QVector<QLine> segments;
    if (scene.pyramid)
        for (int line = from; line < to; ++line) {
            const std::vector<LineColumn> columns = helicorderLine(layout, *scene.pyramid, scene.mean, line);
            segments.clear();
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const LineColumn& col = columns[i];
                segments.append(QLine(col.x, col.top, col.x, col.bottom));
                // Join to the next column so that a slow trace stays one line.
                if (i + 1 < columns.size() && columns[i + 1].x == col.x + 1) {
                    const LineColumn& next = columns[i + 1];
                    if (next.bottom < col.top) segments.append(QLine(col.x, col.top, next.x, next.bottom));
                    if (next.top > col.bottom) segments.append(QLine(col.x, col.bottom, next.x, next.top));
                }
            }
            p.setPen(QPen(colours[line % 4], 0));
            p.drawLines(segments);
        }
    p.setPen(toQColor(c.label));
    for (const AxisTick& t : layout.hourLabels()) {
        const QString text = QString::fromStdString(t.label);
        p.drawText(a.left - 6 - fm.horizontalAdvance(text), t.pos + fm.ascent() / 2 - 1, text);
    }
    for (const HelicorderMark& m : scene.marks) {
        const int line = layout.lineOf(m.time);
        if (line < 0) continue;
        const int x = layout.xOf(m.time), y = layout.baseline(line);
        const int half = static_cast<int>(layout.lineSpacing() / 2);
        p.setPen(QPen(toQColor(m.colour), 2));
        p.drawLine(x, y - half, x, y + half);
        p.drawText(x + 3, y - half + fm.ascent(), QString::fromStdString(m.label));
    }
    p.setClipping(false);
}

QImage helicorderPicture(int width, int height, HelicorderLayout& layout, const HelicorderScene& scene,
                         const ViewStyle& style) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    paintHelicorder(p, image.size(), layout, scene, style);
    return image;
}

} // namespace tlx::views
