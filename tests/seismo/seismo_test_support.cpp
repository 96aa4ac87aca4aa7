#include "seismo_test_support.h"

#include <cstdio>

namespace tlx::test {

std::string makeTableText(const std::string& title, const std::vector<double>& depths,
                          const std::vector<double>& distances, const std::vector<double>& times) {
    std::string s = title + "\n" + std::to_string(depths.size()) + "\n";
    char buf[64];
    for (double d : depths) {
        std::snprintf(buf, sizeof buf, "%g ", d);
        s += buf;
    }
    s += "\n" + std::to_string(distances.size()) + "\n";
    for (double d : distances) {
        std::snprintf(buf, sizeof buf, "%g\n", d);
        s += buf;
    }
    std::size_t k = 0;
    for (double d : depths) {
        std::snprintf(buf, sizeof buf, "# depth %g\n", d);
        s += buf;
        for (std::size_t j = 0; j < distances.size(); ++j, ++k) {
            std::snprintf(buf, sizeof buf, "%.3f\n", times[k]);
            s += buf;
        }
    }
    return s;
}

} // namespace tlx::test
