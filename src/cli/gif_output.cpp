#include "cli/gif_output.h"

#include "views/gif_export.h"

#include <QImage>

#include <cstdio>

namespace tlx::cli {

int writeGifAndReport(const QImage& image, const std::string& path) {
    std::string message;
    if (!views::saveImageAsGif(image, path, message)) {
        std::fprintf(stderr, "Error Making GIF Image.\nError: %s\n", message.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}

} // namespace tlx::cli
