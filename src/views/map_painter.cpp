#include "views/map_painter.h"

#include "views/scene_painter.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace tlx::views {
namespace {

// The net's parallels every 10° (points every 2° of longitude) and meridians every 10° (points
// every 2.5° of latitude), built once.
const std::vector<std::vector<UnitPoint>>& netLines() {
    static const std::vector<std::vector<UnitPoint>> lines = [] {
        std::vector<std::vector<UnitPoint>> out;
        for (int lat = -90; lat <= 90; lat += 10) {
            std::vector<UnitPoint> line;
            for (int lon = -180; lon <= 180; lon += 2)
                line.push_back(unitPoint(lat, lon));
            out.push_back(std::move(line));
        }
        for (int lon = -180; lon <= 170; lon += 10) {
            std::vector<UnitPoint> line;
            for (double lat = -90; lat <= 90; lat += 2.5)
                line.push_back(unitPoint(lat, lon));
            out.push_back(std::move(line));
        }
        return out;
    }();
    return lines;
}

void drawPolylines(QPainter& p, const std::vector<Polyline>& lines) {
    QPolygonF poly;
    for (const Polyline& line : lines) {
        poly.clear();
        poly.reserve(static_cast<int>(line.size()));
        for (const ScreenPoint& s : line)
            poly.append(QPointF(s.x, s.y));
        p.drawPolyline(poly);
    }
}

void drawLines(QPainter& p, const MapProjection& proj, const MapLines& lines, const QColor& colour) {
    if (lines.points.empty()) return;
    LineProjector projector(proj);
    std::uint32_t start = 0;
    for (std::uint32_t end : lines.ends) {
        projector.begin();
        for (std::uint32_t i = start; i < end; ++i)
            projector.add(lines.points[i]);
        start = end;
    }
    p.setPen(QPen(colour, 1));
    drawPolylines(p, projector.finish());
}

void drawUnitLine(QPainter& p, const MapProjection& proj, const std::vector<UnitPoint>& line) {
    LineProjector projector(proj);
    for (const UnitPoint& u : line)
        projector.add(u);
    drawPolylines(p, projector.finish());
}

QPoint pixel(const ScreenPoint& s) {
    return {static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y))};
}

} // namespace

QColor mapColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

MapPainter::MapPainter(const CMapDoc& doc)
    : doc_(doc), panelFont_(makeFont(doc.style().panelFont)), cityFont_(makeFont(doc.style().cityFont)) {}

MapLayout MapPainter::layout(int width, int height) const {
    const int panel = QFontMetrics(panelFont_).horizontalAdvance(QString::fromLatin1(kPanelSampleLine)) + 6;
    const int w = std::min(panel, width);
    return {MapRect{0, 0, w, height}, MapRect{w, 0, std::max(1, width - w), height}};
}

void MapPainter::paintMap(QPainter& p, const MapRect& map) const {
    const QRect area(map.left, map.top, map.width, map.height);
    p.save();
    p.setClipRect(area);
    p.fillRect(area, Qt::white);
    const MapProjection proj = doc_.projection(map);
    const MapData& data = doc_.data();
    const MapOptions& o = doc_.style().options;
    drawLines(p, proj, data.coasts, QColor(128, 64, 0));
    if (o.rivers) drawLines(p, proj, data.rivers, QColor(0, 0, 255));
    if (o.plates) drawLines(p, proj, data.plates, QColor(255, 0, 0));

    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    for (const std::vector<UnitPoint>& line : netLines())
        drawUnitLine(p, proj, line);

    const MapColors& colours = doc_.style().colors;
    if (o.cities) {
        const int limit = cityClassLimit(doc_.scaleKm());
        const QFontMetrics fm(cityFont_);
        p.setFont(cityFont_);
        for (const MapCity& city : data.cities) {
            if (city.flag != 1 || city.sizeClass > limit) continue;
            const std::optional<ScreenPoint> s = proj.project(city.point);
            if (!s || !map.contains(s->x, s->y)) continue;
            const QPoint at = pixel(*s);
            p.setPen(Qt::black);
            p.setBrush(mapColor(colours.cities));
            p.drawRoundedRect(QRect(at.x() - 3, at.y() - 3, 7, 7), 2, 2);
            if (!o.cityLabels) continue;
            const QString name = QString::fromUtf8(city.name.data(), static_cast<int>(city.name.size()));
            const int w = fm.horizontalAdvance(name);
            const QRect text(at.x() - w / 2, at.y() + 3 + 2, w, fm.height());
            if (text.left() >= map.left && text.right() < map.left + map.width &&
                text.bottom() < map.top + map.height)
                p.drawText(text, Qt::AlignCenter, name);
        }
    }

    for (const MapStation& st : doc_.contents().stations) {
        const std::optional<ScreenPoint> s = proj.project(st.lat, st.lon);
        if (!s) continue;
        const QPoint at = pixel(*s);
        const QColor c = mapColor(colours.stations[st.window % 8]);
        p.setPen(c);
        p.setBrush(c);
        const QPoint tri[3] = {{at.x(), at.y() - 5}, {at.x() - 6, at.y() + 5}, {at.x() + 6, at.y() + 5}};
        p.drawPolygon(tri, 3);
    }
    if (const std::optional<MapEvent>& e = doc_.contents().event)
        if (const std::optional<ScreenPoint> s = proj.project(e->lat, e->lon)) {
            const QPoint at = pixel(*s);
            p.fillRect(QRect(at.x() - 5, at.y() - 5, 11, 11), mapColor(colours.event));
        }
    p.restore();
}

void MapPainter::paintOverlay(QPainter& p, const MapLayout& layout, const std::optional<MapPosition>& cursor,
                              bool frame) const {
    const MapRect& map = layout.map;
    const MapColors& colours = doc_.style().colors;
    const MapProjection proj = doc_.projection(map);
    p.save();
    p.setClipRect(QRect(map.left, map.top, map.width, map.height));
    p.setBrush(Qt::NoBrush);
    for (const MapStation& st : doc_.contents().stations) {
        if (st.spDegrees <= 0) continue;
        p.setPen(QPen(mapColor(colours.stations[st.window % 8]), 1));
        drawUnitLine(p, proj,
                     smallCircle(st.lat, st.lon, st.spDegrees * std::numbers::pi / 180 * kEarthRadiusKm));
    }
    p.setClipping(false);
    if (frame) {
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(QRectF(map.left + 1, map.top + 1, map.width - 2, map.height - 2));
    }

    const MapRect& panel = layout.panel;
    p.fillRect(QRect(panel.left, panel.top, panel.width, panel.height), Qt::white);
    p.setFont(panelFont_);
    const QFontMetrics fm(panelFont_);
    const int step = fm.lineSpacing();
    int y = panel.top + 4 + fm.ascent();
    auto line = [&](const std::string& text, int indent, const QColor& colour) {
        p.setPen(colour);
        p.drawText(panel.left + 3 + indent, y, QString::fromUtf8(text.c_str()));
        y += step;
    };
    line("Cursor:", 0, Qt::black);
    for (const std::string& text : cursorLines(cursor, doc_.scaleKm()))
        line(text, 10, Qt::black);
    y += step / 2;
    const std::vector<MapStation>& stations = doc_.contents().stations;
    if (!stations.empty()) {
        line(stations.size() == 1 ? "Station:" : "Stations:", 0, Qt::black);
        for (const MapStation& st : stations)
            line(st.name, 10, mapColor(colours.stations[st.window % 8]));
        y += step / 2;
    }
    if (const std::optional<MapEvent>& e = doc_.contents().event) {
        line("Event:", 0, Qt::black);
        for (const std::string& text : eventLines(*e))
            line(text, 10, Qt::black);
    }
    p.restore();
}

QImage renderMap(const CMapDoc& doc, int width, int height, const std::optional<MapPosition>& cursor) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const MapPainter painter(doc);
    const MapLayout layout = painter.layout(width, height);
    painter.paintMap(p, layout.map);
    painter.paintOverlay(p, layout, cursor, true);
    return image;
}

} // namespace tlx::views
