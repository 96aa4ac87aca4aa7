// Loading a 5,242,879-sample SVX Type 4 file, against a bare fread of the same file plus
// conversion of its int32 samples to doubles.
#include "bench_support.h"

#include "record/loader.h"
#include "record/svx4_writer.h"

#include <cstdio>
#include <cstring>
#include <vector>

using namespace tlx;

int main() {
    const int count = kMaxSampleCount - 1;
    const std::string path = bench::scratchPath("svx4-load.svx");
    {
        const EventRecord record = bench::benchRecord();
        std::vector<double> samples(count);
        for (int i = 0; i < count; ++i)
            samples[i] = static_cast<double>((static_cast<std::int64_t>(i) * 7919) % 200000 - 100000);
        WriterOptions options;
        options.sampleType = 1;
        RecordingMessages messages;
        if (!writeSvx4File(path, {&record, samples, 0}, options, messages)) return 1;
    }
    const double load = bench::bestLoadSeconds(path, 7, count);
    const double freadConvert = bench::bestSeconds(7, [&] {
        const std::vector<unsigned char> bytes = bench::freadWholeFile(path);
        std::vector<double> out(count);
        const unsigned char* p = bytes.data() + 154;
        for (int i = 0; i < count; ++i) {
            std::int32_t v;
            std::memcpy(&v, p + 4 * i, 4);
            out[i] = v;
        }
    });
    const std::int64_t peak = bench::peakMemoryBytes([&] {
        RecordingMessages messages;
        EventLoader loader(messages);
        LoadRequest request;
        request.fileName = path;
        LoadResult r = loader.load(request);
    });
    const double arrayBytes = count * 8.0;
    std::printf("svx4 load, %d int32 samples: tellurix %.1f ms, fread+convert %.1f ms, ratio %.2f\n", count,
                load * 1e3, freadConvert * 1e3, load / freadConvert);
    std::printf("peak memory added by a load: %.1f MB = %.2f x the final sample array (%.1f MB)\n",
                peak / 1e6, peak / arrayBytes, arrayBytes / 1e6);
    std::remove(path.c_str());
    return 0;
}
