// CRC-32C (Castagnoli, reflected polynomial 0x82F63B78, initial and final XOR 0xFFFFFFFF), the
// checksum of miniSEED 3 records.
#pragma once

#include <cstdint>
#include <span>

namespace tlx {

// Continues a CRC over more bytes (start with crc = 0).
std::uint32_t crc32c(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

} // namespace tlx
