#include "views/spectrogram_painter.h"

#include "views/colour_map.h"
#include "views/scene_painter.h"

namespace tlx::views {

void paintSpectrogram(QPainter& p, QSize size, SpectrogramLayout& layout, const Spectrogram& s,
                      DecibelRange range, const ViewStyle& style, bool print) {
    const ViewColors& c = style.colors;
    layout.setSize(size.width(), size.height());
    const QColor background = toQColor(print ? c.printBackground : c.background);
    p.fillRect(QRect(QPoint(0, 0), size), background);
    const PlotArea& a = layout.plot();
    const int width = a.right - a.left, height = a.bottom - a.top;
    std::vector<std::uint32_t> pixels = spectrogramPixels(layout, s, range, background.rgb());
    const QImage image(reinterpret_cast<const uchar*>(pixels.data()), width, height, width * 4,
                       QImage::Format_RGB32);
    p.drawImage(a.left, a.top, image);
    p.setFont(makeFont(style.font));
    const QFontMetrics fm = p.fontMetrics();
    const QColor label = toQColor(c.label);
    p.setPen(QPen(toQColor(c.graph), 0));
    p.drawRect(a.left, a.top, width, height);
    for (const AxisTick& t : layout.timeTicks()) {
        p.setPen(QPen(toQColor(c.graph), 0));
        p.drawLine(t.pos, a.bottom, t.pos, a.bottom + 5);
        p.setPen(label);
        const QString text = QString::fromStdString(t.label);
        p.drawText(t.pos - fm.horizontalAdvance(text) / 2, a.bottom + 6 + fm.ascent(), text);
    }
    for (const AxisTick& t : layout.frequencyTicks()) {
        p.setPen(QPen(toQColor(c.graph), 0));
        p.drawLine(a.left - (t.label.empty() ? 3 : 6), t.pos, a.left, t.pos);
        if (t.label.empty()) continue;
        p.setPen(label);
        const QString text = QString::fromStdString(t.label);
        p.drawText(a.left - 8 - fm.horizontalAdvance(text), t.pos + fm.ascent() / 2 - 1, text);
    }
    p.setPen(label);
    p.save();
    p.translate(fm.height() - 2, (a.top + a.bottom) / 2);
    p.rotate(-90);
    const QString yTitle = "Frequency (Hz)";
    p.drawText(-fm.horizontalAdvance(yTitle) / 2, 0, yTitle);
    p.restore();
    // The legend: the colour map from the low to the high end of the dB range.
    const PlotArea& l = layout.legend();
    for (int y = l.top; y < l.bottom; ++y) {
        const double fraction = static_cast<double>(l.bottom - 1 - y) / std::max(1, l.bottom - l.top - 1);
        p.fillRect(l.left, y, l.right - l.left, 1, toQColor(viridis(fraction)));
    }
    p.setPen(QPen(toQColor(c.graph), 0));
    p.drawRect(l.left, l.top, l.right - l.left, l.bottom - l.top);
    for (const AxisTick& t : layout.legendTicks(range.low, range.high)) {
        p.setPen(QPen(toQColor(c.graph), 0));
        p.drawLine(l.right, t.pos, l.right + 3, t.pos);
        p.setPen(label);
        p.drawText(l.right + 5, t.pos + fm.ascent() / 2 - 1, QString::fromStdString(t.label));
    }
    p.drawText(l.left - 4, a.bottom + 6 + fm.ascent(), "dB");
}

QImage spectrogramPicture(int width, int height, SpectrogramLayout& layout, const Spectrogram& s,
                          DecibelRange range, const ViewStyle& style) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    paintSpectrogram(p, image.size(), layout, s, range, style);
    return image;
}

} // namespace tlx::views
