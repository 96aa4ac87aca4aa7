// The conversion mode "/c source [destination]": event files into SVX Type 4, the program's own
// format. A source ending in a separator, or without a dot, is a folder whose files are all
// converted (names starting with "." skipped); a source with a dot is one file.
#pragma once

#include "record/loader.h"

#include <string>

namespace tlx::app {

struct ConversionSummary {
    int converted = 0;
    int unreadable = 0; // not an event file the loader reads: left alone
    int failed = 0;     // read but not written
};

// Each file goes to destination (empty: its own folder) as "<name>.svx", reaching its records
// through an event session; an SVX Type 4 file that would be written over itself is left as it is.
ConversionSummary convertEventFiles(const std::string& source, const std::string& destination,
                                    const LoaderSettings& settings);

} // namespace tlx::app
