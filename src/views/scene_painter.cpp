#include "views/scene_painter.h"

#include <cmath>

#include <QFontMetrics>
#include <QPen>

namespace tlx::views {

QFont makeFont(const FontSpec& spec) {
    if (spec.height == 0) return QFont();
    QFont f(QString::fromStdString(spec.faceName));
    f.setPixelSize(spec.height < 0 ? -spec.height : spec.height);
    f.setWeight(spec.weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

FontSpec fontSpecFromFont(const QFont& font, const FontSpec& base, double dpi) {
    FontSpec spec = base;
    spec.faceName = font.family().toStdString();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize()
                                            : static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0));
    spec.height = -std::max(1, pixels);
    spec.weight = font.bold() ? 700 : 400;
    spec.italic = font.italic();
    spec.underline = font.underline();
    return spec;
}

QColor toQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

ScenePainter::ScenePainter(const ViewStyle& style)
    : font_(makeFont(style.font)), textFont_(makeFont(style.textFont)), markFont_(makeFont(style.markFont)) {}

const QFont& ScenePainter::font(FontRole role) const {
    switch (role) {
    case FontRole::Text:
        return textFont_;
    case FontRole::Mark:
        return markFont_;
    default:
        return font_;
    }
}

TextMetrics ScenePainter::metrics() const {
    TextMetrics m;
    m.lineHeight = std::max(QFontMetrics(font_).height(), QFontMetrics(textFont_).height());
    const QFontMetrics fm(font_), tm(textFont_), mm(markFont_);
    m.width = [fm, tm, mm](std::string_view s, FontRole role) {
        const QString q = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
        return role == FontRole::Text   ? tm.horizontalAdvance(q)
               : role == FontRole::Mark ? mm.horizontalAdvance(q)
                                        : fm.horizontalAdvance(q);
    };
    return m;
}

namespace {

QPen penFor(const QColor& color, Pen pen) {
    QPen p(color, 0);
    switch (pen) {
    case Pen::Solid:
        break;
    case Pen::Dotted:
        p.setStyle(Qt::DotLine);
        break;
    case Pen::Dashed:
        p.setStyle(Qt::DashLine);
        break;
    case Pen::PrintDash4:
        p.setDashPattern({4, 4});
        break;
    case Pen::PrintDash5:
        p.setDashPattern({5, 5});
        break;
    }
    return p;
}

QColor roleColor(Role role, const ViewColors& c) {
    switch (role) {
    case Role::Graph:
        return toQColor(c.graph);
    case Role::XGrid:
        return toQColor(c.xGrid);
    case Role::YGrid:
        return toQColor(c.yGrid);
    case Role::Markers:
        return toQColor(c.markers);
    case Role::Text:
        return toQColor(c.text);
    case Role::Label:
        return toQColor(c.label);
    case Role::Separator:
        return toQColor(c.graph);
    case Role::Phases:
        return toQColor(c.phases);
    }
    return Qt::black;
}

} // namespace

void ScenePainter::paint(QPainter& painter, const Scene& scene, const ViewColors& colors) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    const Rect& c = scene.client;
    const QColor bg = toQColor(scene.output == Output::Print ? colors.printBackground : colors.background);
    painter.fillRect(QRect(c.left, c.top, c.width(), c.height()), bg);
    for (const Segment& s : scene.lines) {
        painter.setPen(penFor(roleColor(s.role, colors), s.pen));
        painter.drawLine(s.x1, s.y1, s.x2, s.y2);
    }
    const QPen tracePen(toQColor(colors.graph), 0);
    for (const TraceDraw& t : scene.traces) {
        painter.setPen(tracePen);
        painter.setClipRect(QRect(t.strip.left, t.strip.top, t.strip.width() + 1, t.strip.height() + 1));
        if (t.polyline.size() == 1) painter.drawPoint(t.polyline[0].x, t.polyline[0].y);
        if (t.polyline.size() > 1) {
            QVector<QPoint> pts;
            pts.reserve(static_cast<qsizetype>(t.polyline.size()));
            for (const Point& p : t.polyline)
                pts.push_back(QPoint(p.x, p.y));
            painter.drawPolyline(pts.data(), static_cast<int>(pts.size()));
        }
        if (!t.columns.empty()) {
            QVector<QLine> lines;
            lines.reserve(static_cast<qsizetype>(t.columns.size()));
            for (const Segment& s : t.columns)
                lines.push_back(QLine(s.x1, s.y1, s.x2, s.y2));
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        const int h = t.plusSize / 2;
        for (const Point& p : t.dataPoints) {
            painter.drawLine(p.x - h, p.y, p.x + h, p.y);
            painter.drawLine(p.x, p.y - h, p.x, p.y + h);
        }
        painter.setClipping(false);
    }
    for (const TextItem& t : scene.texts) {
        const QFont& f = font(t.font);
        painter.setFont(f);
        painter.setPen(roleColor(t.role, colors));
        const QFontMetrics fm(f);
        const QString q = QString::fromStdString(t.text);
        int x = t.x;
        const int w = fm.horizontalAdvance(q);
        if (t.align == Align::Center) x -= w / 2;
        if (t.align == Align::Right) x -= w;
        painter.drawText(x, t.y + fm.ascent(), q);
    }
    if (scene.rubberBand) {
        const Rect& r = *scene.rubberBand;
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.left, r.top, r.width(), r.height());
    }
}

QImage renderPicture(EqViewModel& model, const ViewStyle& style, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    ScenePainter sp(style);
    model.layout({0, 0, width, height}, sp.metrics(), Output::Picture);
    const Scene scene = model.scene();
    QPainter painter(&image);
    sp.paint(painter, scene, style.colors);
    painter.end();
    return image;
}

} // namespace tlx::views
