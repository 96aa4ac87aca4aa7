// The perceptually uniform colour map of the spectrogram (viridis: dark violet through blue and
// green to yellow), 256 entries interpolated from its published control points.
#pragma once

#include "views/view_style.h"

#include <cstdint>

namespace tlx::views {

// Colour of a fraction in [0, 1] (clamped).
Rgb viridis(double fraction);
// The same as 0xffRRGGBB, from the 256-entry table.
std::uint32_t viridisArgb(int index);

} // namespace tlx::views
