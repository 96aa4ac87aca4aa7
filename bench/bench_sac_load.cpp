// Loading a 5,000,000-sample SAC file in each byte order, against a bare fread of the same
// file plus conversion of its float32 samples (in that byte order) to doubles.
#include "bench_support.h"

#include "core/byte_order.h"
#include "record/loader.h"
#include "record/sac_writer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace tlx;

int main() {
    const int count = 5'000'000;
    for (const SacByteOrder order : {SacByteOrder::Little, SacByteOrder::Big}) {
        const bool big = order == SacByteOrder::Big;
        const std::string path = bench::scratchPath(big ? "sac-load-be.sac" : "sac-load-le.sac");
        {
            const EventRecord record = bench::benchRecord();
            std::vector<double> samples(count);
            for (int i = 0; i < count; ++i)
                samples[i] = 1000 * std::sin(i * 0.001) + (i % 97);
            RecordingMessages messages;
            if (!writeSacFile(path, {&record, samples, 0}, WriterOptions{}, order, messages)) return 1;
        }
        const double load = bench::bestLoadSeconds(path, 7, count);
        const double freadConvert = bench::bestSeconds(7, [&] {
            const std::vector<unsigned char> bytes = bench::freadWholeFile(path);
            std::vector<double> out(count);
            const unsigned char* p = bytes.data() + 632;
            if (big) {
                for (int i = 0; i < count; ++i)
                    out[i] = readBE<float>(p + 4 * i);
            } else {
                for (int i = 0; i < count; ++i)
                    out[i] = readLE<float>(p + 4 * i);
            }
        });
        std::printf(
            "sac load, %d float32 samples, %s-endian: tellurix %.1f ms, fread+convert %.1f ms, ratio %.2f\n",
            count, big ? "big" : "little", load * 1e3, freadConvert * 1e3, load / freadConvert);
        std::remove(path.c_str());
    }
    return 0;
}
