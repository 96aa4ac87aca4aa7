// Whole-file reading and case-insensitive look-up of the program's data files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

// Reads a whole file; false when it cannot be opened or read, or is larger than maxBytes.
bool readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   std::uint64_t maxBytes = std::uint64_t{1} << 32);
bool readTextFile(const std::filesystem::path& path, std::string& out, std::uint64_t maxBytes = 64u << 20);

// Data files are named in upper or lower case; this finds the file whatever its case on disk.
// Returns the path as it exists, or an empty path when the folder holds no such name.
std::filesystem::path findFileAnyCase(const std::filesystem::path& directory, std::string_view name);

// Looks for a data file in each folder in turn (empty folders are skipped).
std::filesystem::path findDataFile(const std::vector<std::filesystem::path>& folders, std::string_view name);

} // namespace tlx
