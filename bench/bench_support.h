// Plain timing helpers for the benchmarks: best-of-N wall time and peak memory of a piece of work.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace tlx::bench {

// Best wall time in seconds over `repeats` runs (the least disturbed run on a shared machine).
double bestSeconds(int repeats, const std::function<void()>& work);

// Peak resident memory in bytes that `work` adds, measured in a child process (Linux).
std::int64_t peakMemoryBytes(const std::function<void()>& work);

std::string scratchPath(const std::string& name);

// A "kB" line of /proc/self/status ("VmRSS:", "VmHWM:"), or -1.
std::int64_t statusKb(const char* key);

} // namespace tlx::bench
