#include "services/gif_writer.h"

#include "core/atomic_file.h"
#include "core/text.h"

#include <gif_lib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

namespace tlx {

void unpack16(std::uint16_t p, bool gif32k, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b) {
    if (gif32k) {
        r = static_cast<std::uint8_t>(((p >> 10) & 31) * 255 / 31);
        g = static_cast<std::uint8_t>(((p >> 5) & 31) * 255 / 31);
    } else {
        r = static_cast<std::uint8_t>(((p >> 11) & 31) * 255 / 31);
        g = static_cast<std::uint8_t>(((p >> 5) & 63) * 255 / 63);
    }
    b = static_cast<std::uint8_t>((p & 31) * 255 / 31);
}

namespace {

struct MapDeleter {
    void operator()(ColorMapObject* m) const { GifFreeMapObject(m); }
};

// A picture of at most 256 colours (the usual case: background, traces, grid, text) keeps every
// colour exactly.
bool exactPalette(const std::vector<GifByteType>& r, const std::vector<GifByteType>& g,
                  const std::vector<GifByteType>& b, std::vector<GifByteType>& indices,
                  std::vector<GifColorType>& colors) {
    std::unordered_map<std::uint32_t, GifByteType> seen;
    std::uint32_t last = 0xFFFFFFFF;
    GifByteType lastIndex = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const std::uint32_t key = (std::uint32_t{r[i]} << 16) | (std::uint32_t{g[i]} << 8) | b[i];
        if (key != last) {
            auto it = seen.find(key);
            if (it == seen.end()) {
                if (seen.size() == 256) return false;
                const GifByteType index = static_cast<GifByteType>(seen.size());
                colors[index] = {r[i], g[i], b[i]};
                it = seen.emplace(key, index).first;
            }
            last = key;
            lastIndex = it->second;
        }
        indices[i] = lastIndex;
    }
    return true;
}

// The median-cut map holds box averages at 5 bits a primary; each entry becomes the exact mean of
// the pixels mapped to it, so that flat areas keep their true colour.
void refineColours(const std::vector<GifByteType>& r, const std::vector<GifByteType>& g,
                   const std::vector<GifByteType>& b, const std::vector<GifByteType>& indices,
                   std::vector<GifColorType>& colors) {
    std::vector<std::array<std::uint64_t, 4>> sums(256, {0, 0, 0, 0});
    for (std::size_t i = 0; i < indices.size(); ++i) {
        auto& s = sums[indices[i]];
        s[0] += r[i];
        s[1] += g[i];
        s[2] += b[i];
        ++s[3];
    }
    for (std::size_t k = 0; k < 256; ++k)
        if (sums[k][3] > 0)
            colors[k] = {static_cast<GifByteType>((sums[k][0] + sums[k][3] / 2) / sums[k][3]),
                         static_cast<GifByteType>((sums[k][1] + sums[k][3] / 2) / sums[k][3]),
                         static_cast<GifByteType>((sums[k][2] + sums[k][3] / 2) / sums[k][3])};
}

bool buildIndices(const GifBitmap& bm, std::vector<GifByteType>& indices, std::vector<GifColorType>& colors,
                  std::string& message) {
    const std::size_t n = static_cast<std::size_t>(bm.width) * static_cast<std::size_t>(bm.height);
    colors.assign(256, GifColorType{0, 0, 0});
    try {
        indices.assign(n, 0);
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
        return false;
    }
    if (bm.bitsPerPixel == 8) {
        if (!bm.paletteDisplay) {
            message = "Palette Not Supported";
            return false;
        }
        if (bm.palette == nullptr || bm.paletteEntries < 256) {
            message = "Palette Error";
            return false;
        }
        for (int i = 0; i < 256; ++i)
            colors[static_cast<std::size_t>(i)] = {bm.palette[3 * i], bm.palette[3 * i + 1],
                                                   bm.palette[3 * i + 2]};
        for (int y = 0; y < bm.height; ++y)
            for (int x = 0; x < bm.width; ++x)
                indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width) +
                        static_cast<std::size_t>(x)] =
                    bm.bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.stride) +
                            static_cast<std::size_t>(x)];
        return true;
    }
    if (bm.bitsPerPixel != 16 && bm.bitsPerPixel != 24 && bm.bitsPerPixel != 32) {
        message = format("Unsupported Bits/Pixel = %u", static_cast<unsigned>(bm.bitsPerPixel));
        return false;
    }
    std::vector<GifByteType> red, green, blue;
    try {
        red.resize(n);
        green.resize(n);
        blue.resize(n);
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
        return false;
    }
    const int bytes = bm.bitsPerPixel / 8;
    std::size_t k = 0;
    for (int y = 0; y < bm.height; ++y) {
        const std::uint8_t* row = bm.bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.stride);
        for (int x = 0; x < bm.width; ++x, ++k) {
            const std::uint8_t* p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes);
            if (bytes == 2)
                unpack16(static_cast<std::uint16_t>(p[0] | (p[1] << 8)), bm.gif32k, red[k], green[k],
                         blue[k]);
            else {
                blue[k] = p[0];
                green[k] = p[1];
                red[k] = p[2];
            }
        }
    }
    if (exactPalette(red, green, blue, indices, colors)) return true;
    int mapSize = 256;
    if (GifQuantizeBuffer(static_cast<unsigned>(bm.width), static_cast<unsigned>(bm.height), &mapSize,
                          red.data(), green.data(), blue.data(), indices.data(),
                          colors.data()) == GIF_ERROR) {
        message = "QuantizeBuffer Error";
        return false;
    }
    for (std::size_t i = static_cast<std::size_t>(mapSize); i < colors.size(); ++i)
        colors[i] = {0, 0, 0};
    refineColours(red, green, blue, indices, colors);
    return true;
}

int writeToFile(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* file = static_cast<AtomicFileWriter*>(gif->UserData);
    return length >= 0 && file->write(bytes, static_cast<std::size_t>(length)) ? length : 0;
}

} // namespace

bool saveBitmapAsGif(const GifBitmap& bm, const std::string& path, std::string& message) {
    message.clear();
    if (bm.width <= 0 || bm.height <= 0 || bm.bits == nullptr) {
        message = "Out of memory";
        return false;
    }
    std::vector<GifByteType> indices;
    std::vector<GifColorType> colors;
    if (!buildIndices(bm, indices, colors, message)) return false;

    // The image goes to a temporary file beside the target and replaces it only when complete;
    // giflib writes through the output function into that file.
    AtomicFileWriter file(path);
    int error = 0;
    GifFileType* gif = file.open() ? EGifOpen(&file, writeToFile, &error) : nullptr;
    if (gif == nullptr) {
        message = format("Error Opening %s File.", path.c_str());
        return false;
    }
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(256, colors.data()));
    bool ok = map != nullptr;
    if (!ok) message = "Out of memory";
    if (ok && EGifPutScreenDesc(gif, bm.width, bm.height, 8, 0, map.get()) == GIF_ERROR) {
        message = "GifPutScreenDesc Error";
        ok = false;
    }
    if (ok && EGifPutImageDesc(gif, 0, 0, bm.width, bm.height, false, nullptr) == GIF_ERROR) {
        message = "GifPutImageDesc Error";
        ok = false;
    }
    for (int y = 0; ok && y < bm.height; ++y)
        if (EGifPutLine(gif,
                        indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width),
                        bm.width) == GIF_ERROR) {
            message = "GifPutLine Error Line";
            ok = false;
        }
    if (EGifCloseFile(gif, &error) == GIF_ERROR && ok) {
        message = format("Error Opening %s File.", path.c_str());
        ok = false;
    }
    if (ok && !file.commit()) {
        message = format("Error Opening %s File.", path.c_str());
        ok = false;
    }
    return ok;
}

} // namespace tlx
