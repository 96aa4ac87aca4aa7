// Start-up wiring of the geography that readers need: loads the region table and gives the record
// library the great-circle and region-name functions (SAC distance words, GSE2.0 station places).
#pragma once

namespace tlx {

// False when the shipped region table could not be read (region names then stay empty).
bool installGeography();

} // namespace tlx
