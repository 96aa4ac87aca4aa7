// CRC-16/XMODEM (polynomial 0x1021, initial 0, no reflection, no final XOR) of SVX Type 4 channels.
#pragma once

#include <cstdint>
#include <span>

namespace tlx {

// Continues a CRC over more bytes (start with crc = 0).
std::uint16_t crc16Xmodem(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

// One byte at a time from the single 256-entry table; kept as the reference for the fast path.
std::uint16_t crc16XmodemBytewise(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

} // namespace tlx
