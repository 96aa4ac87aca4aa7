// Magnitude look-ups per second with the shipped -log A0 table, and the time to load that table.
#include "bench_support.h"

#include "core/data_paths.h"
#include "seismo/magnitudes.h"

#include <cstdio>

using namespace tlx;

int main() {
    AttenuationTables tables;
    const auto path = shippedDataFile("magtbl.dat");
    const double load = bench::bestSeconds(20, [&] {
        if (!loadAttenuationTables(path, tables)) std::abort();
    });
    const StationResponse station{0.01, 2e-7, 3};
    const int n = 2'000'000;
    volatile double sink = 0;
    const double lookups = bench::bestSeconds(5, [&] {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += minusLogA0(tables, 1 + i % 1900);
        sink = sum;
    });
    const double ml = bench::bestSeconds(5, [&] {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += magnitudeMl(1 + i % 1900, 1000 + i % 77, station, tables).byCorrection.value_or(0);
        sink = sum;
    });
    (void)sink;
    std::printf("magtbl.dat load: %.3f ms\n", load * 1e3);
    std::printf("minusLogA0: %.1f million look-ups/s; Ml (both scales): %.1f million/s\n", n / lookups / 1e6,
                n / ml / 1e6);
    return 0;
}
