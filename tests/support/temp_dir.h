// A scratch folder per test, removed afterwards; and access to the shared reference data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tlx::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

// The shared reference data folder, or an empty path when it is absent (tests then skip).
std::filesystem::path sharedDataDir();
std::filesystem::path sourceDir();

} // namespace tlx::test
