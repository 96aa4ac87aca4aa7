// Shared helpers of the seismo tests: the shipped data folder and small table texts.
#pragma once

#include "support/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tlx::test {

inline std::filesystem::path shippedData() {
    return sourceDir() / "data";
}

// A *.JB text: title, depths (km), distances (degrees), times (s) row by row (depth-major).
std::string makeTableText(const std::string& title, const std::vector<double>& depths,
                          const std::vector<double>& distances, const std::vector<double>& times);

} // namespace tlx::test
