// Loading a 1,000,000-sample SVX ASCII 2.0 file, against reading the same file and converting
// every data line with std::from_chars in a bare loop.
#include "bench_support.h"

#include "record/loader.h"
#include "record/svx_ascii_writer.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace tlx;

int main() {
    const int count = 1'000'000;
    const std::string path = bench::scratchPath("ascii-load.txt");
    {
        const EventRecord record = bench::benchRecord();
        std::vector<double> samples(count);
        for (int i = 0; i < count; ++i)
            samples[i] = static_cast<double>((static_cast<std::int64_t>(i) * 7919) % 200000 - 100000);
        RecordingMessages messages;
        if (!writeSvxAscii(path, {&record, samples, 0}, {}, TimeColumn::None, messages)) return 1;
    }
    const double load = bench::bestLoadSeconds(path, 7, count);
    const double bare = bench::bestSeconds(7, [&] {
        std::vector<unsigned char> bytes = bench::freadWholeFile(path);
        bytes.push_back(0);
        const char* p = reinterpret_cast<const char*>(bytes.data());
        const char* end = p + bytes.size() - 1;
        p = std::strstr(p, "\nData:\n") + 7;
        std::vector<double> out(count);
        for (int i = 0; i < count && p < end; ++i) {
            const auto r = std::from_chars(p, end, out[i]);
            p = r.ptr + 1;
        }
        if (out[count - 1] == 12345.678) std::abort();
    });
    std::printf("svx ascii load, %d samples: tellurix %.1f ms, fread + from_chars loop %.1f ms, ratio %.2f\n",
                count, load * 1e3, bare * 1e3, load / bare);
    std::remove(path.c_str());
    return 0;
}
