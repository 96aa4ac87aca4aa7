// Draws the location map with QPainter: one routine for the window (a cached picture of the map
// with the circles and the panel over it), the printer, GIF images and the console.
#pragma once

#include "views/map_doc.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <optional>

namespace tlx::views {

// The left panel and the map area right of it.
struct MapLayout {
    MapRect panel, map;
};

class MapPainter {
  public:
    explicit MapPainter(const CMapDoc& doc);
    MapLayout layout(int width, int height) const;

    // White ground, coasts, rivers, plates, the net, cities, stations and the event, clipped to the
    // map area: what the window caches.
    void paintMap(QPainter& painter, const MapRect& map) const;
    // The distance circles over the map, the panel with the cursor read-out, and for printing and
    // images a black frame round the map.
    void paintOverlay(QPainter& painter, const MapLayout& layout, const std::optional<MapPosition>& cursor,
                      bool frame) const;

  private:
    const CMapDoc& doc_;
    QFont panelFont_, cityFont_;
};

QColor mapColor(const Rgb& c);
// The whole picture (map, circles, panel, frame) at a size: Save, Copy, Print and the console.
QImage renderMap(const CMapDoc& doc, int width, int height, const std::optional<MapPosition>& cursor = {});

} // namespace tlx::views
