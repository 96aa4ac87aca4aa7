// Writes a rendered view bitmap as a GIF image through giflib: 256-entry global colour map from the
// median-cut quantiser (or the palette of an 8-bit bitmap), one image, one line at a time.
#pragma once

#include <cstdint>
#include <string>

namespace tlx {

struct GifBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32; // 8, 16, 24 or 32
    int stride = 0;        // bytes per row
    const std::uint8_t* bits = nullptr;
    const std::uint8_t* palette = nullptr; // 8 bits: 256 entries of red, green, blue
    int paletteEntries = 0;
    bool paletteDisplay = false; // the display is palette-based (needed for 8 bits)
    bool gif32k = false;         // 16 bits packed 5-5-5 instead of 5-6-5
};

// Writes the GIF (into a temporary file renamed over `path` only when complete). On failure
// `message` holds the writer's text ("QuantizeBuffer Error", "Error Opening %s File." ...).
bool saveBitmapAsGif(const GifBitmap& bitmap, const std::string& path, std::string& message);

// 16-bit pixel to red, green, blue bytes (5-bit v -> v * 255 / 31, 6-bit v -> v * 255 / 63).
void unpack16(std::uint16_t pixel, bool gif32k, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b);

} // namespace tlx
