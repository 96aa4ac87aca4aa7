// Draws a Scene with QPainter: one routine for the screen, the printer and images.
#pragma once

#include "views/eq_view_model.h"
#include "views/view_style.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace tlx::views {

QFont makeFont(const FontSpec& spec);
// The settings form of a font chosen in the font dialog: the height is the character height in
// pixels (negative, as stored), from the pixel size or from the point size at `dpi`; the line
// spacing of the font is not its height.
FontSpec fontSpecFromFont(const QFont& font, const FontSpec& base, double dpi);
QColor toQColor(const Rgb& c);

class ScenePainter {
  public:
    explicit ScenePainter(const ViewStyle& style);
    // Text measuring with the style's fonts (for EqViewModel::layout).
    TextMetrics metrics() const;
    // Background, then everything in the scene.
    void paint(QPainter& painter, const Scene& scene, const ViewColors& colors) const;
    const QFont& font(FontRole role) const;

  private:
    QFont font_, textFont_, markFont_;
};

// Lays the model out at width x height and renders it (text lines above the seismogram) into an
// RGB32 image: the picture of GIF export, the command-line renderer and the tests.
QImage renderPicture(EqViewModel& model, const ViewStyle& style, int width, int height);

} // namespace tlx::views
