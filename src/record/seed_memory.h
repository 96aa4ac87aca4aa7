// Large sample buffers: asks the kernel to back them with huge pages, which spares a day-long
// trace tens of thousands of page faults. Only a hint; without it nothing changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tlx {

template <typename T> void reserveLarge(std::vector<T>& v, std::size_t count) {
    v.reserve(count);
#ifdef __linux__
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const std::size_t bytes = v.capacity() * sizeof(T);
    if (bytes < 4 * kHuge) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(v.data());
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

} // namespace tlx
