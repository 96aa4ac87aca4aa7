// Start-up wiring of the geography that readers need: gives the record library the great-circle and
// region-name functions (SAC distance words, GSE2.0 station places); the region table is read on
// first use.
#pragma once

namespace tlx {

// False when there is no shipped region table (region names then stay empty).
bool installGeography();

} // namespace tlx
