// Reading and writing fixed-width numbers in a stated byte order, from unaligned bytes.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tlx {

template <typename T> T byteSwap(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) {
        unsigned char t = bytes[i];
        bytes[i] = bytes[sizeof(T) - 1 - i];
        bytes[sizeof(T) - 1 - i] = t;
    }
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <typename T> T readNative(const void* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

template <typename T> T readLE(const void* p) {
    T value = readNative<T>(p);
    if constexpr (std::endian::native == std::endian::big) value = byteSwap(value);
    return value;
}

template <typename T> T readBE(const void* p) {
    T value = readNative<T>(p);
    if constexpr (std::endian::native == std::endian::little) value = byteSwap(value);
    return value;
}

// Reads in the byte order named at run time (formats such as SAC and SEED carry either).
template <typename T> T readOrdered(const void* p, bool bigEndian) {
    return bigEndian ? readBE<T>(p) : readLE<T>(p);
}

template <typename T> void writeLE(void* p, T value) {
    if constexpr (std::endian::native == std::endian::big) value = byteSwap(value);
    std::memcpy(p, &value, sizeof(T));
}

template <typename T> void writeBE(void* p, T value) {
    if constexpr (std::endian::native == std::endian::little) value = byteSwap(value);
    std::memcpy(p, &value, sizeof(T));
}

} // namespace tlx
