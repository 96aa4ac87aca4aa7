// Spectrogram of 5,242,880 samples (window 1024, overlap 512), against scipy.signal.spectrogram with
// the same window, length and overlap (timed by bench/python_reference.py in the same run).
#include "bench_support.h"
#include "python_reference.h"

#include "dsp/spectrogram.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

using namespace tlx;

int main() {
    const std::size_t count = 5'242'880;
    std::vector<double> data(count);
    std::mt19937_64 rng(3);
    std::normal_distribution<double> noise(0, 50);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = 500 + 1000 * std::sin(i * 0.01 + 1e-7 * i * i) + noise(rng);
    const std::string dataPath = bench::scratchPath("spectrogram.f64");
    std::ofstream(dataPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), count * sizeof(double));
    Spectrogram s;
    std::string error;
    double sum = 0;
    const double ours = bench::bestSeconds(3, [&] {
        if (!s.compute(data, {100, 1024, 512}, nullptr, error)) std::abort();
    });
    for (int c = 0; c < s.columns(); ++c)
        for (int b = 0; b < s.bins(); ++b)
            sum += s.power(c, b);
    const bench::PythonTiming ref = bench::runPythonReference({"spectrogram", dataPath, "1024", "3"});
    std::printf("spectrogram, %zu samples, window 1024, overlap 512 (%d segments): tellurix %.1f ms", count,
                s.columns(), ours * 1e3);
    if (ref.ok)
        std::printf(", scipy.signal.spectrogram %.1f ms, ratio %.2f, sums agree to %.1e\n", ref.seconds * 1e3,
                    ours / ref.seconds, std::abs(sum - ref.checksum) / ref.checksum);
    else
        std::printf(", scipy not available\n");
    std::remove(dataPath.c_str());
    return 0;
}
