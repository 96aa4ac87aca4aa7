// Draws the spectrogram view from its layout: the coloured plot, the time and frequency axes and
// the dB legend (screen, printer and pictures alike).
#pragma once

#include "views/spectrogram_layout.h"
#include "views/view_style.h"

#include <QImage>
#include <QPainter>

namespace tlx::views {

// Lays `layout` out at `size` and draws. `print` uses the print background.
void paintSpectrogram(QPainter& painter, QSize size, SpectrogramLayout& layout, const Spectrogram& s,
                      DecibelRange range, const ViewStyle& style, bool print = false);
QImage spectrogramPicture(int width, int height, SpectrogramLayout& layout, const Spectrogram& s,
                          DecibelRange range, const ViewStyle& style);

} // namespace tlx::views
