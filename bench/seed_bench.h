// Helpers of the SEED benchmarks: test signals packed into MINISEED records by libmseed (the
// reference encoder), and alternating timing of two contenders on a shared, busy machine.
#pragma once

#include <libmseed.h>

#include <chrono>
#include <functional>
#include <utility>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tlx::bench {

// A seismogram-like signal: slow swell, microseism and noise, in counts.
inline std::vector<std::int32_t> testSignal(std::size_t n) {
    std::vector<std::int32_t> v(n);
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 24) - 128.0;
        v[i] = static_cast<std::int32_t>(2000.0 * std::sin(static_cast<double>(i) * 0.0021) +
                                         300.0 * std::sin(static_cast<double>(i) * 0.09) + noise);
    }
    return v;
}

// Packs `samples` into records of `recordLength` bytes with the given Steim encoding (10 or 11).
inline std::vector<std::uint8_t> packRecords(std::vector<std::int32_t> samples, int encoding,
                                             int recordLength) {
    std::vector<std::uint8_t> out;
    MSRecord* msr = msr_init(nullptr);
    std::strcpy(msr->network, "XX");
    std::strcpy(msr->station, "BENCH");
    std::strcpy(msr->channel, "HHZ");
    msr->dataquality = 'D';
    char when[] = "2024,061,00:00:00.000000";
    msr->starttime = ms_seedtimestr2hptime(when);
    msr->samprate = 100.0;
    msr->reclen = recordLength;
    msr->encoding = static_cast<std::int8_t>(encoding);
    msr->byteorder = 1;
    msr->datasamples = samples.data();
    msr->numsamples = static_cast<std::int64_t>(samples.size());
    msr->sampletype = 'i';
    std::int64_t packed = 0;
    msr_pack(
        msr,
        [](char* record, int length, void* handler) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(handler);
            bytes->insert(bytes->end(), record, record + length);
        },
        &out, &packed, 1, 0);
    msr->datasamples = nullptr;
    msr_free(&msr);
    return out;
}

// Best wall times of `a` and `b` over `rounds` alternating runs, so that both meet the same load.
inline std::pair<double, double> alternatingBest(int rounds, const std::function<void()>& a,
                                                 const std::function<void()>& b) {
    const auto time = [](const std::function<void()>& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double bestA = 1e300, bestB = 1e300;
    for (int i = 0; i < rounds; ++i) {
        bestA = std::min(bestA, time(a));
        bestB = std::min(bestB, time(b));
    }
    return {bestA, bestB};
}

} // namespace tlx::bench
