#include "services/gif_writer.h"
#include "support/temp_dir.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <tuple>
#include <unistd.h>
#include <vector>

// Counts every switch of the process umask: the file mode is another thread's business, so the
// writer must never touch it, not even for a moment.
namespace {
std::atomic<int> umaskCalls{0};
}
extern "C" mode_t umask(mode_t mask) noexcept {
    ++umaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace tlx {
namespace {

struct Decoded {
    int width = 0, height = 0;
    std::vector<std::tuple<int, int, int>> pixels; // red, green, blue
};

bool decode(const std::string& path, Decoded& out) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return false;
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1 || !gif->SColorMap) {
        DGifCloseFile(gif, &error);
        return false;
    }
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    const SavedImage& img = gif->SavedImages[0];
    for (int i = 0; i < out.width * out.height; ++i) {
        const GifColorType c = gif->SColorMap->Colors[img.RasterBits[i]];
        out.pixels.emplace_back(c.Red, c.Green, c.Blue);
    }
    DGifCloseFile(gif, &error);
    return true;
}

TEST(GifWriter, SixteenBitUnpacking) {
    const struct {
        std::uint16_t pixel;
        bool k32;
        int r, g, b;
    } cases[] = {{0xFFFF, false, 255, 255, 255}, {0xFFFF, true, 255, 255, 255}, {0x7C00, true, 255, 0, 0},
                 {0xF800, false, 255, 0, 0},     {0x0001, false, 0, 0, 8},      {0x0020, false, 0, 4, 0},
                 {0x0020, true, 0, 8, 0}};
    for (const auto& c : cases) {
        std::uint8_t r, g, b;
        unpack16(c.pixel, c.k32, r, g, b);
        EXPECT_EQ(std::make_tuple(int(r), int(g), int(b)), std::make_tuple(c.r, c.g, c.b))
            << std::hex << c.pixel;
    }
}

// An odd-width picture at every depth reads back unsheared with the same colours.
TEST(GifWriter, EveryDepthRoundTripsAnOddWidthPicture) {
    test::TempDir dir;
    const int w = 101, h = 37;
    auto colourAt = [](int x, int y) { return x < 50 ? (y < 18 ? 0 : 1) : 2; };
    const std::uint8_t rgb[3][3] = {{255, 0, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int bpp : {8, 16, 24, 32}) {
        const int bytes = bpp / 8;
        const int stride = ((w * bytes + 3) / 4) * 4 + 2; // padded rows
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride * h), 0xAB);
        std::vector<std::uint8_t> palette(256 * 3, 0);
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k)
                palette[static_cast<std::size_t>(3 * i + k)] = rgb[i][k];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int c = colourAt(x, y);
                std::uint8_t* p = &bits[static_cast<std::size_t>(y * stride + x * bytes)];
                if (bpp == 8)
                    p[0] = static_cast<std::uint8_t>(c);
                else if (bpp == 16) {
                    const std::uint16_t v = static_cast<std::uint16_t>(
                        ((rgb[c][0] >> 3) << 11) | ((rgb[c][1] >> 2) << 5) | (rgb[c][2] >> 3));
                    p[0] = static_cast<std::uint8_t>(v & 0xFF);
                    p[1] = static_cast<std::uint8_t>(v >> 8);
                } else {
                    p[0] = rgb[c][2];
                    p[1] = rgb[c][1];
                    p[2] = rgb[c][0];
                }
            }
        GifBitmap bm{w, h, bpp, stride, bits.data(), palette.data(), 256, true, false};
        const std::string path = (dir / ("d" + std::to_string(bpp) + ".gif")).string();
        std::string message;
        const int umaskCallsBefore = umaskCalls;
        const mode_t mask = ::umask(027);
        ASSERT_TRUE(saveBitmapAsGif(bm, path, message)) << bpp << ": " << message;
        EXPECT_EQ(::umask(mask), 027) << "the process umask is unchanged";
        EXPECT_EQ(umaskCalls - umaskCallsBefore, 2) << "only the test's own two calls";
        const std::vector<std::uint8_t> file = test::readBytes(path);
        ASSERT_GT(file.size(), 13u);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF87a");
        EXPECT_EQ(file[10], 0xF7); // global 256-colour table, 8-bit resolution
        Decoded d;
        ASSERT_TRUE(decode(path, d)) << bpp;
        EXPECT_EQ(d.width, w);
        EXPECT_EQ(d.height, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int c = colourAt(x, y);
                ASSERT_EQ(d.pixels[static_cast<std::size_t>(y * w + x)],
                          std::make_tuple(int(rgb[c][0]), int(rgb[c][1]), int(rgb[c][2])))
                    << "bpp " << bpp << " at " << x << "," << y;
            }
    }
}

TEST(GifWriter, FailuresGiveTheirTextsAndKeepTheOldFile) {
    test::TempDir dir;
    std::vector<std::uint8_t> bits(64 * 4, 0);
    std::string message;
    GifBitmap bad{8, 8, 12, 32, bits.data()};
    EXPECT_FALSE(saveBitmapAsGif(bad, (dir / "x.gif").string(), message));
    EXPECT_EQ(message, "Unsupported Bits/Pixel = 12");
    GifBitmap noPalette{8, 8, 8, 8, bits.data()};
    EXPECT_FALSE(saveBitmapAsGif(noPalette, (dir / "x.gif").string(), message));
    EXPECT_EQ(message, "Palette Not Supported");
    noPalette.paletteDisplay = true;
    EXPECT_FALSE(saveBitmapAsGif(noPalette, (dir / "x.gif").string(), message));
    EXPECT_EQ(message, "Palette Error");
    const std::string missing = (dir / "no-such-dir" / "x.gif").string();
    GifBitmap ok{8, 8, 32, 32, bits.data()};
    EXPECT_FALSE(saveBitmapAsGif(ok, missing, message));
    EXPECT_EQ(message, "Error Opening " + missing + " File.");
    // A failed write leaves an existing image as it was.
    const std::string existing = (dir / "old.gif").string();
    test::writeBytes(existing, {'o', 'l', 'd'});
    EXPECT_FALSE(saveBitmapAsGif(bad, existing, message));
    EXPECT_EQ(test::readBytes(existing), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

} // namespace
} // namespace tlx
