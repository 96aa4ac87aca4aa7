// Read-only view of a whole file's bytes (memory-mapped where possible, so that a large
// event file is not copied before it is decoded).
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tlx {

class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool open(const std::filesystem::path& path);
    void close();
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

  private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
    std::vector<std::uint8_t> copy_; // empty files and files that cannot be mapped
};

} // namespace tlx
