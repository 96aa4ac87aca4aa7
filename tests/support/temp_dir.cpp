#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace tlx::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tlx-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path sharedDataDir() {
    const char* dir = std::getenv("TLX_SHARED_DATA");
    std::error_code ec;
    if (dir && std::filesystem::is_directory(dir, ec)) return dir;
    return {};
}

std::filesystem::path sourceDir() {
    const char* dir = std::getenv("TLX_SOURCE_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::path(TLX_SOURCE_DIR_DEFAULT);
}

} // namespace tlx::test
