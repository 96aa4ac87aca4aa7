// The *.JB travel-time table reader and the look-ups over whatever it accepts: no input makes
// them read out of bounds or divide by zero into a crash.
#include "seismo/phase_table.h"
#include "seismo/travel_times.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::PhaseTable table;
    if (!tlx::parsePhaseTable(std::string_view(reinterpret_cast<const char*>(data), size), table)) return 0;
    for (double depth : {-1.0, 0.0, 5.0, 33.0, 700.0, 1e9})
        for (double x : {0.0, 0.004, 1.0, 17.3, 99.9, 1e9})
            tlx::travelTime(depth, table, x);
    tlx::CTravelTm tm;
    tlx::WindowTravelTimes w;
    w.tables[0] = table;
    w.tables[1] = table;
    if (tm.buildSpTable(w, tlx::kTeleseismic, 5, 33))
        for (int sp : {1, 1000, 60000, 1 << 30})
            tlx::distanceFromSp(w, sp);
    tm.predictArrivals(w, 86399999, 12.5, tlx::kTeleseismic);
    return 0;
}
