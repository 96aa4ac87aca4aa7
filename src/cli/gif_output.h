// The end of every tellurix-render command: the picture written as GIF and its path printed.
#pragma once

#include <string>

class QImage;

namespace tlx::cli {

// 0 with the path on standard output; 1 after "Error Making GIF Image." on standard error.
int writeGifAndReport(const QImage& image, const std::string& path);

} // namespace tlx::cli
