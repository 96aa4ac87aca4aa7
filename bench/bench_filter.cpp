// A 4-pole Butterworth band (low-pass 5 Hz + high-pass 0.5 Hz at 100 samples/s) over 5,242,880
// samples, against scipy.signal.sosfilt running the same four second-order sections on the same
// data (timed by bench/python_reference.py in the same run).
#include "bench_support.h"
#include "python_reference.h"

#include "dsp/filter.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

using namespace tlx;

int main() {
    const std::size_t count = 5'242'880;
    const double rate = 100;
    std::vector<double> data(count);
    std::mt19937_64 rng(1);
    std::normal_distribution<double> noise(0, 50);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = 1000 * std::sin(i * 0.01) + noise(rng);

    IirDesign low, high;
    if (designIir('L', 5, 4, rate, low) != IirStatus::Ok ||
        designIir('H', 0.5, 4, rate, high) != IirStatus::Ok)
        return 1;
    const CIirFilter lowPass(low, Direction::Forward), highPass(high, Direction::Forward);

    std::vector<double> work(count);
    const double ours = bench::bestSeconds(5, [&] {
        work = data;
        CIirFilter(low, Direction::Forward).process(work);
        CIirFilter(high, Direction::Forward).process(work);
    });
    const double copyOnly = bench::bestSeconds(5, [&] { work = data; });

    // The same cascade for scipy: the overall gains folded into the first section of each design.
    const std::string dataPath = bench::scratchPath("filter.f64"), sosPath = bench::scratchPath("filter.sos");
    std::ofstream(dataPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), count * sizeof(double));
    bench::writeSosFile(sosPath, {&low, &high});
    const bench::PythonTiming ref = bench::runPythonReference({"sosfilt", dataPath, sosPath, "5"});
    std::remove(dataPath.c_str());
    std::remove(sosPath.c_str());
    std::printf("4-pole band (LP 5 Hz + HP 0.5 Hz, 4 sections) on %zu samples:\n", count);
    std::printf("  tellurix (edge padding and warm-up included, plus a %.1f ms copy): %.1f ms\n",
                copyOnly * 1e3, ours * 1e3);
    if (!ref.ok) {
        std::printf("  scipy.signal.sosfilt: not available\n");
        return 0;
    }
    std::printf("  scipy.signal.sosfilt: %.1f ms\n  ratio %.2f\n", ref.seconds * 1e3, ours / ref.seconds);
    return 0;
}
