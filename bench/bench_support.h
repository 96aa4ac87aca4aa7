// Plain timing helpers for the benchmarks: best-of-N wall time and peak memory of a piece of work.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "record/event_record.h"

namespace tlx::bench {

// Best wall time in seconds over `repeats` runs (the least disturbed run on a shared machine).
double bestSeconds(int repeats, const std::function<void()>& work);

// Peak resident memory in bytes that `work` adds, measured in a child process (Linux).
std::int64_t peakMemoryBytes(const std::function<void()>& work);

std::string scratchPath(const std::string& name);

// The record the loading benchmarks write their files from: 100 samples/s, 2024-01-01.
EventRecord benchRecord();

// Best time of loading `path` through the event loader; aborts when the load fails or gives
// another sample count than `expectedCount`.
double bestLoadSeconds(const std::string& path, int repeats, std::size_t expectedCount);

// The reference's first step: the whole file with one fread.
std::vector<unsigned char> freadWholeFile(const std::string& path);

// A "kB" line of /proc/self/status ("VmRSS:", "VmHWM:"), or -1.
std::int64_t statusKb(const char* key);

} // namespace tlx::bench
