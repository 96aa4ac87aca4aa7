// Loading a 24-hour 100 sps Steim2 MINISEED file (8,640,000 samples in 512-byte records, cut to
// 5,242,880 by the loader) from a warm cache, against libmseed's ms_readtraces of the same file.
#include "bench_support.h"
#include "seed_bench.h"

#include "record/loader.h"

#include <cstdio>
#include <cstdlib>

using namespace tlx;

int main() {
    const std::size_t samples = 8'640'000;
    const std::string path = bench::scratchPath("day.mseed");
    {
        const auto records = bench::packRecords(bench::testSignal(samples), 11, 512);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(records.data(), 1, records.size(), f) != records.size()) return 1;
        std::fclose(f);
    }
    RecordingMessages messages;
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = path;
    request.mode = LoadMode::PictureServer; // no message for the cut
    const auto [load, reference] = bench::alternatingBest(
        9,
        [&] {
            LoadResult r = loader.load(request);
            if (!r.ok || r.commonCount != kMaxSampleCount) {
                std::fprintf(stderr, "load failed: ok %d count %d\n", r.ok, r.commonCount);
                std::abort();
            }
        },
        [&] {
            MSTraceGroup* group = nullptr;
            const int rc = ms_readtraces(&group, path.c_str(), 0, -1.0, -1.0, 0, 1, 1, 0);
            if ((rc != MS_NOERROR && rc != MS_ENDOFFILE) || !group || group->numtraces != 1 ||
                group->traces->numsamples != static_cast<std::int64_t>(samples)) {
                std::fprintf(stderr, "libmseed read failed: %d\n", rc);
                std::abort();
            }
            mst_freegroup(&group);
        });
    const std::int64_t peak = bench::peakMemoryBytes([&] { LoadResult r = loader.load(request); });
    std::remove(path.c_str());
    std::printf("24 h at 100 sps, Steim2, 512-byte records (%zu samples): tellurix load %.1f ms, "
                "libmseed ms_readtraces %.1f ms, ratio %.2f; peak memory added %.1f MB\n",
                samples, load * 1e3, reference * 1e3, load / reference, peak / 1e6);

    return 0;
}
