// The -log A0 table, MAGCORR.DAT and response.dat parsers on any text.
#include "seismo/attenuation_table.h"
#include "seismo/magnitude_corrections.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tlx::AttenuationTables tables;
    if (tlx::parseAttenuationTables(text, tables))
        for (int km = 0; km <= tables.limit + 1; km += 1 + tables.limit / 200)
            tlx::minusLogA0(tables, km);
    tlx::MagnitudeCorrections corrections;
    corrections.parse(text);
    corrections.byStationChannel("ABC", "BHZ");
    corrections.byFileName("event.abc.svx", 'Z');
    tlx::responseCorrection(text, "ABC", "BHZ");
    return 0;
}
