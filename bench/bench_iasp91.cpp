// The time to load the shipped iasp91.dat at start (to stay below 20 ms) and IASP91 look-ups per
// second.
#include "bench_support.h"

#include "core/data_paths.h"
#include "seismo/iasp91.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tlx;

int main() {
    const std::filesystem::path dir = shippedDataDirectory();
    Iasp91Tables model;
    const double load = bench::bestSeconds(20, [&] {
        if (!model.loadIasp91({dir})) std::abort();
    });
    const int n = 2'000'000;
    volatile double sink = 0;
    const double lookups = bench::bestSeconds(5, [&] {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += model.iasp91Time(i % model.phaseCount(), (i % 6993) * 0.1, (i % 17989) * 0.01);
        sink = sum;
    });
    std::vector<SpEntry> sp;
    const double spTables = bench::bestSeconds(5, [&] {
        for (int i = 0; i < 1000; ++i)
            model.spTable(i % 700, sp);
    });
    (void)sink;
    std::printf("iasp91.dat load (%d phases, %d x %d grid): %.3f ms\n", model.phaseCount(),
                model.distanceCount(), model.depthCount(), load * 1e3);
    std::printf("iasp91Time: %.1f million look-ups/s; S-P table from IASP91: %.1f us\n", n / lookups / 1e6,
                spTables / 1000 * 1e6);
    return 0;
}
