#include "views/gif_export.h"

#include "services/gif_writer.h"

namespace tlx::views {

bool saveImageAsGif(const QImage& source, const std::string& path, std::string& message) {
    const QImage image =
        source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    GifBitmap bm;
    bm.width = image.width();
    bm.height = image.height();
    bm.bitsPerPixel = 32; // blue, green, red, unused in memory
    bm.stride = static_cast<int>(image.bytesPerLine());
    bm.bits = image.constBits();
    return saveBitmapAsGif(bm, path, message);
}

} // namespace tlx::views
