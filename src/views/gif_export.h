// A rendered picture written as a GIF image.
#pragma once

#include <QImage>

#include <string>

namespace tlx::views {

// Hands the image's pixels to the GIF writer; `message` holds the writer's text on failure.
bool saveImageAsGif(const QImage& image, const std::string& path, std::string& message);

} // namespace tlx::views
