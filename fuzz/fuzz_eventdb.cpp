// eventdb.dat as the search reads it, then each parsed line written and read back unchanged.
#include "browser/event_database.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tlx::browser::DatabaseFile db;
    if (!tlx::browser::parseDatabase(text, db)) return 0;
    for (const tlx::browser::DatabaseLine& line : db.lines) {
        const auto again = tlx::browser::parseLine(tlx::browser::formatLine(line));
        if (!again || again->path != line.path || again->distanceKm != line.distanceKm) std::abort();
    }
    tlx::browser::searchDatabase(db, tlx::browser::parseCriteria(tlx::browser::kDefaultFileSearch));
    return 0;
}
