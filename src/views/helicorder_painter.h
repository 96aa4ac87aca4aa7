// Draws the helicorder view from its layout: hour labels, the lines in alternating colours, and
// marks (P and S arrivals, the event's origin) on the lines that hold them.
#pragma once

#include "views/helicorder_layout.h"
#include "views/view_style.h"

#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

namespace tlx::views {

struct HelicorderMark {
    double time = 0; // seconds after midnight of the first sample's day
    std::string label;
    Rgb colour;
};

struct HelicorderScene {
    const MinMaxPyramid* pyramid = nullptr;
    double mean = 0;
    std::vector<HelicorderMark> marks;
};

void paintHelicorder(QPainter& painter, QSize size, HelicorderLayout& layout, const HelicorderScene& scene,
                     const ViewStyle& style, bool print = false);
QImage helicorderPicture(int width, int height, HelicorderLayout& layout, const HelicorderScene& scene,
                         const ViewStyle& style);

} // namespace tlx::views
