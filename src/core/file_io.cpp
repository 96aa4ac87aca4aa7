#include "core/file_io.h"

#include "core/text.h"

#include <cstdio>
#include <memory>

namespace tlx {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

template <typename Container>
bool readInto(const std::filesystem::path& path, Container& out, std::uint64_t maxBytes) {
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
    const long length = std::ftell(f.get());
    if (length < 0 || static_cast<std::uint64_t>(length) > maxBytes) return false;
    std::rewind(f.get());
    out.resize(static_cast<std::size_t>(length));
    if (length > 0 && std::fread(out.data(), 1, out.size(), f.get()) != out.size()) return false;
    return true;
}

} // namespace

bool readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   std::uint64_t maxBytes) {
    return readInto(path, out, maxBytes);
}

bool readTextFile(const std::filesystem::path& path, std::string& out, std::uint64_t maxBytes) {
    return readInto(path, out, maxBytes);
}

std::filesystem::path findFileAnyCase(const std::filesystem::path& directory, std::string_view name) {
    std::error_code ec;
    const std::filesystem::path exact = directory / std::string(name);
    if (std::filesystem::is_regular_file(exact, ec)) return exact;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
        if (iequals(entry.path().filename().string(), name) && entry.is_regular_file(ec)) return entry.path();
    }
    return {};
}

std::filesystem::path findDataFile(const std::vector<std::filesystem::path>& folders, std::string_view name) {
    for (const auto& folder : folders) {
        if (folder.empty()) continue;
        std::filesystem::path found = findFileAnyCase(folder, name);
        if (!found.empty()) return found;
    }
    return {};
}

} // namespace tlx
