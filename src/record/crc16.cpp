#include "record/crc16.h"

#include <array>

namespace tlx {
namespace {

// tables[k][x]: the CRC register contribution of byte x followed by k zero bytes. Eight tables let
// the fast path fold eight bytes per step (the register only reaches into the first two).
struct CrcTables {
    std::array<std::array<std::uint16_t, 256>, 8> t{};
    CrcTables() {
        for (unsigned x = 0; x < 256; ++x) {
            std::uint16_t crc = static_cast<std::uint16_t>(x << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
            t[0][x] = crc;
        }
        for (int k = 1; k < 8; ++k)
            for (unsigned x = 0; x < 256; ++x) {
                const std::uint16_t prev = t[k - 1][x];
                t[k][x] = static_cast<std::uint16_t>((prev << 8) ^ t[0][prev >> 8]);
            }
    }
};

const CrcTables& tables() {
    static const CrcTables instance;
    return instance;
}

} // namespace

std::uint16_t crc16XmodemBytewise(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
    const auto& t0 = tables().t[0];
    for (std::uint8_t b : bytes)
        crc = static_cast<std::uint16_t>((crc << 8) ^ t0[((crc >> 8) ^ b) & 0xff]);
    return crc;
}

std::uint16_t crc16Xmodem(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
    const auto& t = tables().t;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    while (n >= 8) {
        crc = static_cast<std::uint16_t>(t[7][(crc >> 8) ^ p[0]] ^ t[6][(crc & 0xff) ^ p[1]] ^ t[5][p[2]] ^
                                         t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
        p += 8;
        n -= 8;
    }
    return crc16XmodemBytewise({p, n}, crc);
}

} // namespace tlx
