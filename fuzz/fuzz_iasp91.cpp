// The iasp91.dat reader and its look-ups over whatever it accepts: counts and steps from the file
// never lead to reads beyond it.
#include "seismo/iasp91.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::Iasp91Tables model;
    if (!model.parse({data, size})) return 0;
    for (int p = -1; p <= model.phaseCount(); ++p)
        for (double depth : {-3.0, 0.0, 7.5, 33.0, 700.0, 1e9})
            for (double x : {-1.0, 0.0, 0.5, 17.3, 179.9, 180.0, 1e9})
                model.iasp91Time(p, depth, x);
    std::vector<tlx::SpEntry> sp;
    model.spTable(33, sp);
    return 0;
}
