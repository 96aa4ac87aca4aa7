// Spectrum of 5,242,880 samples, against numpy.fft.rfft of the same data (timed by
// bench/python_reference.py in the same run). The DFT path transforms all 5,242,880 points; the
// FFT path pads to 2^23. Tellurix's time includes planning, mean removal, scaling and amplitudes.
#include "bench_support.h"
#include "python_reference.h"

#include "dsp/spectrum.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

using namespace tlx;

int main() {
    const std::size_t count = 5'242'880;
    std::vector<double> data(count);
    std::mt19937_64 rng(2);
    std::normal_distribution<double> noise(0, 50);
    for (std::size_t i = 0; i < count; ++i)
        data[i] = 500 + 1000 * std::sin(i * 0.01) + noise(rng);
    const std::string dataPath = bench::scratchPath("spectrum.f64");
    std::ofstream(dataPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), count * sizeof(double));

    struct Path {
        const char* name;
        TransformKind kind;
        long long length;
    };
    for (const Path& p :
         {Path{"DFT", TransformKind::Dft, 5'242'880}, Path{"FFT (padded)", TransformKind::Fft, 8'388'608}}) {
        SpectrumRequest r;
        r.kind = p.kind;
        r.sampleRate = 100;
        Spectrum s;
        std::string error;
        const double ours = bench::bestSeconds(5, [&] {
            if (!s.compute(data, r, nullptr, error)) std::abort();
        });
        const bench::PythonTiming ref =
            bench::runPythonReference({"rfft", dataPath, std::to_string(p.length), "5"});
        std::printf("%s, N = %lld: tellurix %.1f ms", p.name, p.length, ours * 1e3);
        if (ref.ok)
            std::printf(", numpy.fft.rfft %.1f ms, ratio %.2f\n", ref.seconds * 1e3, ours / ref.seconds);
        else
            std::printf(", numpy not available\n");
    }
    std::remove(dataPath.c_str());
    return 0;
}
