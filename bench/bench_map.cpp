// The location map: opening it (reading and decoding the four map files, against reading their
// bytes alone), its first full picture at 1200 x 800 for the globe and a 500 km view (against
// painting the same lines already projected), and a cursor move, which redraws only the panel
// over the cached picture (against copying the panel's part of the picture alone).
#include "bench_support.h"

#include "core/file_io.h"
#include "views/map_painter.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

using namespace tlx;

namespace {

void drawFigures(views::CMapDoc& doc, const char* label, double lat, double lon, double scale) {
    doc.setCentre(lat, lon);
    doc.setLevel(views::snapScaleLevel(scale));
    const double draw = bench::bestSeconds(7, [&] { (void)views::renderMap(doc, 1200, 800); });
    // Reference: the coasts, rivers and plates painted from polylines projected beforehand.
    const views::MapPainter painter(doc);
    const views::MapRect map = painter.layout(1200, 800).map;
    const views::MapProjection proj = doc.projection(map);
    std::vector<QPolygonF> polys;
    std::size_t points = 0;
    for (const views::MapLines* lines : {&doc.data().coasts, &doc.data().rivers, &doc.data().plates}) {
        views::LineProjector projector(proj);
        std::uint32_t start = 0;
        for (std::uint32_t end : lines->ends) {
            projector.begin();
            for (std::uint32_t i = start; i < end; ++i)
                projector.add(lines->points[i]);
            start = end;
        }
        for (const views::Polyline& l : projector.finish()) {
            QPolygonF poly;
            for (const views::ScreenPoint& s : l)
                poly.append(QPointF(s.x, s.y));
            points += l.size();
            polys.push_back(poly);
        }
    }
    QImage image(1200, 800, QImage::Format_RGB32);
    const double paintOnly = bench::bestSeconds(7, [&] {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setClipRect(map.left, map.top, map.width, map.height);
        for (const QPolygonF& poly : polys)
            p.drawPolyline(poly);
    });
    std::printf(
        "first full draw 1200x800, %-10s %8.2f ms   painting the %zu projected line points alone %7.2f ms\n",
        label, draw * 1e3, points, paintOnly * 1e3);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::filesystem::path dir = views::mapDataDirectory();
    std::uint64_t bytes = 0;
    const double read = bench::bestSeconds(7, [&] {
        bytes = 0;
        for (const char* name : {"coasts.bin", "rivers.bin", "plates.bin", "city.dat"}) {
            std::vector<std::uint8_t> b;
            if (!readWholeFile(findFileAnyCase(dir, name), b)) std::abort();
            bytes += b.size();
        }
    });
    views::MapData data;
    const double open = bench::bestSeconds(7, [&] { data = views::loadMapData(dir, {}); });
    if (data.failed) std::abort();
    std::printf("map open (4 files, %llu bytes, %zu + %zu + %zu line points, %zu cities): %7.2f ms   "
                "reading the bytes alone %6.2f ms\n",
                static_cast<unsigned long long>(bytes), data.coasts.points.size(), data.rivers.points.size(),
                data.plates.points.size(), data.cities.size(), open * 1e3, read * 1e3);

    views::CMapDoc doc(views::MapStyle{}, std::move(data));
    views::MapContents contents;
    contents.stations.push_back({"ZUR", 47.37, 8.54, 4.5, 0, {}});
    contents.stations.push_back({"SION", 46.23, 7.36, 3.9, 1, {}});
    contents.event = views::MapEvent{45.9, 6.9, 10, "Ml", 455, {}};
    doc.setContents(contents, false);
    drawFigures(doc, "globe", 47.37, 8.54, 15000);
    drawFigures(doc, "500 km", 47.37, 8.54, 500);

    // A cursor move: the widget repaints the panel from the cached picture, with the read-out.
    const views::MapPainter painter(doc);
    const views::MapLayout layout = painter.layout(1200, 800);
    QImage cached(1200, 800, QImage::Format_RGB32);
    {
        QPainter p(&cached);
        painter.paintMap(p, layout.map);
    }
    QImage screen(1200, 800, QImage::Format_RGB32);
    const QRect panel(layout.panel.left, layout.panel.top, layout.panel.width, layout.panel.height);
    const views::MapProjection proj = doc.projection(layout.map);
    int step = 0;
    const double move = bench::bestSeconds(50, [&] {
        const auto at = proj.inverse(layout.map.left + 300 + (step++ % 50), 300);
        QPainter p(&screen);
        p.setClipRect(panel);
        p.drawImage(panel.topLeft(), cached, panel);
        painter.paintOverlay(p, layout, at, false);
    });
    const double blit = bench::bestSeconds(50, [&] {
        QPainter p(&screen);
        p.setClipRect(panel);
        p.drawImage(panel.topLeft(), cached, panel);
    });
    std::printf("cursor move (panel over the cached picture, 500 km): %6.3f ms (aim < 2 ms)   "
                "copying the panel alone %6.3f ms\n",
                move * 1e3, blit * 1e3);
    return 0;
}
