// Region names, S-P distances and start-up table loading.
//   regionName: against a look-up in a precomputed 1x1-degree grid of region numbers (the fastest
//   possible answer, one array index).
//   distanceFromSp: against std::upper_bound over the same S-P entries plus one interpolation.
//   Start-up: loading the region file and the four *.JB tables, against reading their bytes.
#include "bench_support.h"

#include "core/data_paths.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "seismo/geodesy.h"
#include "seismo/regions.h"
#include "seismo/travel_times.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace tlx;

namespace {

volatile long sink = 0;

} // namespace

int main() {
    const std::filesystem::path data = shippedDataDirectory();
    if (!std::filesystem::is_regular_file(data / kRegionFileName)) {
        std::fprintf(stderr, "data folder not found (set TLX_DATA_DIR)\n");
        return 1;
    }
    const char* tables[] = {"P.JB", "S.JB", "P_b.JB", "S_b.JB"};

    // Start-up loading.
    RecordingMessages messages;
    const double startup = bench::bestSeconds(15, [&] {
        RegionTable regions;
        if (!regions.load(data / kRegionFileName)) std::abort();
        CTravelTm tm;
        if (!tm.load(data, TableSettings(), messages)) std::abort();
    });
    const double bytesOnly = bench::bestSeconds(15, [&] {
        std::string text;
        long total = 0;
        readTextFile(data / kRegionFileName, text);
        total += static_cast<long>(text.size());
        for (const char* t : tables) {
            readTextFile(data / t, text);
            total += static_cast<long>(text.size());
        }
        sink = sink + total;
    });

    // Region names.
    if (!loadRegionTable(data / kRegionFileName)) return 1;
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> ulat(-90, 90), ulon(-180, 180);
    std::vector<std::pair<double, double>> points(1 << 20);
    for (auto& p : points)
        p = {ulat(rng), ulon(rng)};
    const double regionSec = bench::bestSeconds(5, [&] {
        long s = 0;
        for (const auto& [lat, lon] : points)
            s += static_cast<long>(regionName(lat, lon).size());
        sink = sink + s;
    });
    std::vector<std::int16_t> grid(181 * 361);
    for (int a = 0; a <= 180; ++a)
        for (int o = 0; o <= 360; ++o)
            grid[static_cast<std::size_t>(a * 361 + o)] =
                static_cast<std::int16_t>(regionTable().regionNumber(a - 90, o - 180));
    const double gridSec = bench::bestSeconds(5, [&] {
        long s = 0;
        for (const auto& [lat, lon] : points) {
            const int n = grid[static_cast<std::size_t>(static_cast<int>(lat + 90) * 361 +
                                                        static_cast<int>(lon + 180))];
            s += static_cast<long>(regionTable().name(n).size());
        }
        sink = sink + s;
    });

    // Distances from S-P times over the teleseismic table at 33 km.
    CTravelTm tm;
    if (!tm.load(data, TableSettings(), messages)) return 1;
    WindowTravelTimes w = tm.newWindow(TableSettings());
    std::uniform_int_distribution<int> usp(1000, w.sp.back().sp);
    std::vector<int> sps(1 << 20);
    for (int& v : sps)
        v = usp(rng);
    const double spSec = bench::bestSeconds(5, [&] {
        double s = 0;
        for (int v : sps)
            s += distanceFromSp(w, v).degrees;
        sink = sink + static_cast<long>(s);
    });
    const double boundSec = bench::bestSeconds(5, [&] {
        double s = 0;
        for (int v : sps) {
            const auto it = std::lower_bound(w.sp.begin(), w.sp.end(), v,
                                             [](const SpEntry& e, int a) { return e.sp < a; });
            if (it == w.sp.begin() || it == w.sp.end()) continue;
            const auto lo = it - 1;
            s += lo->distance / 100.0 +
                 (v - lo->sp) * ((it->distance - lo->distance) / 100.0) / (it->sp - lo->sp);
        }
        sink = sink + static_cast<long>(s);
    });

    const double n = static_cast<double>(points.size());
    std::printf("start-up table loading (region file + 4 JB tables): %.2f ms; reading their bytes: %.2f ms\n",
                startup * 1e3, bytesOnly * 1e3);
    std::printf("regionName: %.1f M calls/s; grid look-up reference: %.1f M calls/s; ratio %.2f\n",
                n / regionSec / 1e6, n / gridSec / 1e6, regionSec / gridSec);
    std::printf(
        "distanceFromSp (%zu entries): %.2f M calls/s; lower_bound reference: %.2f M calls/s; ratio %.2f\n",
        w.sp.size(), n / spSec / 1e6, n / boundSec / 1e6, spSec / boundSec);
    return 0;
}
