// CM6 decoding of 1,000,000 samples (the characters, then the two integrations), and a whole
// GSE2.0 message of the same data through the parser, in MB of text per second.
#include "bench_support.h"

#include "record/cm6.h"
#include "record/gse2_reader.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace tlx;

int main() {
    const int count = 1'000'000;
    std::vector<std::int32_t> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<std::int32_t>(20000 * std::sin(i * 0.003) + 300 * std::sin(i * 0.7) +
                                              (static_cast<std::int64_t>(i) * 7919) % 61);
    const std::string text = encodeCm6(secondDifferences(values));
    const double mb = static_cast<double>(text.size()) / 1e6;

    std::vector<std::int32_t> out;
    const double decode = bench::bestSeconds(7, [&] {
        out.clear();
        out.reserve(count);
        Cm6Decoder decoder;
        decoder.feed(text, out, count);
        integrate(out);
        integrate(out);
    });
    if (out != values) return 1;

    const std::string message = "BEGIN GSE2.0\nWID2 2024/01/01 00:00:00.000 STA1  SHZ      CM6  " +
                                std::to_string(count) +
                                "  100.000000   1.00e+00   1.000 LE-3D   -1.0  0.0\nDAT2\n" + text + "CHK2 " +
                                std::to_string(chk2Checksum(values)) + "\nSTOP\n";
    const StationTable stations;
    const double parse = bench::bestSeconds(7, [&] {
        CGse20 gse;
        gse.parse(message, stations, 1);
        if (gse.waveforms().size() != 1 || gse.waveforms()[0].checksumError) std::abort();
    });
    std::printf("cm6 decode, %d samples, %.2f MB of text: %.1f ms, %.0f MB/s\n", count, mb, decode * 1e3,
                mb / decode);
    std::printf("gse2 message parse (lines, CM6, integration, CHK2): %.1f ms, %.0f MB/s\n", parse * 1e3,
                mb / parse);
    return 0;
}
