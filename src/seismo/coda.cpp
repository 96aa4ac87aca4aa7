#include "seismo/coda.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tlx {
namespace {

double rmsAround(std::span<const double> x, double reference) {
    double sum = 0;
    for (double v : x)
        sum += (v - reference) * (v - reference);
    return std::sqrt(sum / static_cast<double>(x.size()));
}

} // namespace

std::optional<double> codaEndSeconds(std::span<const double> samples, double sps, double pSeconds,
                                     const CodaSearchSettings& settings) {
    if (!(sps > 0) || !(pSeconds >= 0) || !(settings.windowSeconds > 0) || !(settings.endRatio > 0))
        return std::nullopt;
    const std::size_t n = samples.size();
    const double pIndex = std::ceil(pSeconds * sps);
    const double widthSamples = std::max(4.0, std::round(settings.windowSeconds * sps));
    if (pIndex >= static_cast<double>(n) || widthSamples > static_cast<double>(n)) return std::nullopt;
    const auto p = static_cast<std::size_t>(pIndex);
    const auto w = static_cast<std::size_t>(widthSamples);
    if (p < w) return std::nullopt;

    const std::span<const double> noise = samples.first(p);
    double mean = 0;
    for (double v : noise)
        mean += v;
    mean /= static_cast<double>(p);
    const double endLevel = settings.endRatio * rmsAround(noise, mean);

    std::vector<double> envelope;
    for (std::size_t start = p; start + w <= n; start += w)
        envelope.push_back(rmsAround(samples.subspan(start, w), mean));
    if (envelope.empty()) return std::nullopt;
    const std::size_t peak =
        static_cast<std::size_t>(std::max_element(envelope.begin(), envelope.end()) - envelope.begin());
    if (envelope[peak] <= endLevel) return std::nullopt;
    const auto centre = [&](std::size_t k) {
        return (static_cast<double>(p + k * w) + (static_cast<double>(w) - 1) / 2) / sps;
    };
    for (std::size_t k = peak + 1; k < envelope.size(); ++k) {
        if (envelope[k] > endLevel) continue;
        const double above = envelope[k - 1], below = envelope[k];
        return centre(k - 1) + (above - endLevel) / (above - below) * (centre(k) - centre(k - 1));
    }
    return std::nullopt;
}

} // namespace tlx
