#include "dsp/iir_filter.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tlx {
namespace {

constexpr double kTwoPi = 6.2831853071796;
constexpr double kPi = 3.1415926535898;

bool validDesign(char type, double cutoff, double stopEdge, double nyquist, double ap, double as) {
    if (!(ap >= -3.0103 && ap <= -0.01) || !(as >= -200 && as <= -3.0103)) return false;
    if (!(cutoff >= 0.0001 && cutoff <= nyquist)) return false;
    if (type == 'L') return stopEdge >= cutoff + 0.0001 && stopEdge <= nyquist;
    return stopEdge >= 0.0001 && stopEdge <= cutoff - 0.0001;
}

void prototype(IirDesign& d) {
    const int n = d.order;
    const double c = std::pow(std::sqrt(std::pow(10.0, -0.1 * d.passbandAttenuation) - 1), -1.0 / n);
    d.numerator.clear();
    d.denominator.clear();
    if (n % 2) {
        d.numerator.insert(d.numerator.end(), {0, 0, c});
        d.denominator.insert(d.denominator.end(), {0, 1, c});
    }
    for (int k = 0; k < n / 2; ++k) {
        const double theta = (n + 1 + 2 * k) * kPi / (2.0 * n);
        d.numerator.insert(d.numerator.end(), {0, 0, c * c});
        d.denominator.insert(d.denominator.end(), {1, -2 * c * std::cos(theta), c * c});
    }
    d.gain = 1;
}

void transformLowPass(IirDesign& d, double w) {
    for (int s = 0; s < d.sectionCount(); ++s) {
        for (std::vector<double>* poly : {&d.numerator, &d.denominator}) {
            double* p = poly->data() + 3 * s;
            if (d.denominator[3 * s] == 0) {
                p[2] *= w; // first order: constant term only
            } else {
                p[1] *= w;
                p[2] *= w * w;
            }
        }
    }
}

void transformHighPass(IirDesign& d, double w) {
    for (int s = 0; s < d.sectionCount(); ++s) {
        double* num = d.numerator.data() + 3 * s;
        double* den = d.denominator.data() + 3 * s;
        d.gain *= num[2] / den[2];
        if (den[0] == 0) {
            const double c = den[2];
            num[0] = 0, num[1] = 1, num[2] = w * 0 / c;
            den[0] = 0, den[1] = 1, den[2] = w / c;
        } else {
            for (double* p : {num, den}) {
                const double x = p[0], y = p[1], z = p[2];
                p[0] = 1, p[1] = w * y / z, p[2] = w * w * x / z;
            }
        }
    }
}

void bilinear(IirDesign& d, double k) {
    for (int s = 0; s < d.sectionCount(); ++s) {
        double* num = d.numerator.data() + 3 * s;
        double* den = d.denominator.data() + 3 * s;
        if (den[0] == 0) {
            d.gain *= (k * num[1] + num[2]) / (k * den[1] + den[2]);
            for (double* p : {num, den}) {
                const double y = p[1], z = p[2];
                p[0] = 1, p[1] = (z - k * y) / (k * y + z), p[2] = 0;
            }
        } else {
            double t[2];
            int i = 0;
            for (double* p : {num, den}) {
                const double x = p[0], y = p[1], z = p[2];
                t[i] = z + k * k * x + k * y;
                p[0] = 1, p[1] = 2 * (z - k * k * x) / t[i], p[2] = (z + k * k * x - k * y) / t[i];
                ++i;
            }
            d.gain *= t[0] / t[1];
        }
    }
}

} // namespace

IirStatus designIir(char responseType, double cutoffHz, int poles, double sampleRate, IirDesign& design) {
    return designIir(responseType, cutoffHz, sampleRate, -3, -6.0 * poles, design);
}

IirStatus designIir(char responseType, double cutoffHz, double sampleRate, double passbandDb,
                    double stopbandDb, IirDesign& d) {
    d = IirDesign{};
    d.responseType = responseType == 'H' ? 'H' : 'L';
    d.passbandAttenuation = passbandDb;
    d.stopbandAttenuation = stopbandDb;
    d.sampleRate = sampleRate;
    d.cutoff = cutoffHz;
    const bool low = d.responseType == 'L';
    const double stopHz = low ? 2 * cutoffHz : 0.5 * cutoffHz;
    if (!(sampleRate > 0) || !std::isfinite(sampleRate) ||
        !validDesign(d.responseType, cutoffHz, stopHz, sampleRate / 2, passbandDb, stopbandDb))
        return IirStatus::Invalid;

    const double k = 2 * sampleRate;
    const double wp = k * std::tan(cutoffHz * kTwoPi / k);
    const double ws = k * std::tan(stopHz * kTwoPi / k);
    // A cut-off at Nyquist puts an edge on the tangent's pole: a high-pass there has no design,
    // a low-pass stopband edge there is as steep as can be (order 1).
    if (!(wp > 0) || !std::isfinite(wp)) return IirStatus::DesignFailed;
    double ratio = low ? ws / wp : wp / ws;
    if (!(ratio > 0) || !std::isfinite(ratio)) ratio = std::numeric_limits<double>::max();
    const double x =
        std::log10((std::pow(10.0, -0.1 * stopbandDb) - 1) / (std::pow(10.0, -0.1 * passbandDb) - 1)) /
        (2 * std::log10(ratio));
    if (!(x <= 200)) return IirStatus::DesignFailed;
    d.order = static_cast<int>(std::ceil(x));
    if (d.order <= 0) return IirStatus::DesignFailed;

    prototype(d);
    if (low)
        transformLowPass(d, wp);
    else
        transformHighPass(d, wp);
    bilinear(d, k);
    d.passbandEdge = k * std::atan(wp / k);
    d.stopbandEdge = k * std::atan(ws / k);
    if (!std::isfinite(d.gain)) return IirStatus::DesignFailed;
    return IirStatus::Ok;
}

IirSections sectionsOf(const IirDesign& design) {
    IirSections out;
    out.gain = design.gain;
    for (int s = 0; s < design.sectionCount(); ++s)
        out.sections.push_back({design.denominator[3 * s + 1], design.denominator[3 * s + 2],
                                design.numerator[3 * s + 1], design.numerator[3 * s + 2]});
    return out;
}

namespace {

struct State {
    double w1 = 0, w2 = 0;
};

inline double step(const IirSections& f, State* st, double x) {
    double u = f.gain * x;
    const std::size_t n = f.sections.size();
    for (std::size_t s = 0; s < n; ++s) {
        const IirSection& c = f.sections[s];
        const double w0 = u - c.a1 * st[s].w1 - c.a2 * st[s].w2;
        u = w0 + c.b1 * st[s].w1 + c.b2 * st[s].w2;
        st[s].w2 = st[s].w1;
        st[s].w1 = w0;
    }
    return u;
}

// Feeds one value `count` times. Once a feed leaves every state as it was, further feeds of the
// same value change nothing, so the rest are skipped (same result, bit for bit).
void settle(const IirSections& f, std::vector<State>& st, double pad, long long count) {
    for (long long i = 0; i < count; ++i) {
        step(f, st.data(), pad);
        bool fixed = true;
        for (const State& s : st)
            fixed = fixed && s.w1 == s.w2;
        if (fixed) {
            // One more step confirms that the values are a fixed point of the cascade.
            const std::vector<State> before = st;
            step(f, st.data(), pad);
            ++i;
            bool same = true;
            for (std::size_t k = 0; k < st.size(); ++k)
                same = same && st[k].w1 == before[k].w1 && st[k].w2 == before[k].w2;
            if (same) return;
        }
    }
}

template <int Sections>
void runFixed(const IirSections& f, State* st, double* x, std::ptrdiff_t n, std::ptrdiff_t stride) {
    IirSection c[Sections];
    double w1[Sections], w2[Sections];
    for (int s = 0; s < Sections; ++s)
        c[s] = f.sections[s], w1[s] = st[s].w1, w2[s] = st[s].w2;
    const double gain = f.gain;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        double u = gain * x[i * stride];
        for (int s = 0; s < Sections; ++s) {
            const double w0 = u - c[s].a1 * w1[s] - c[s].a2 * w2[s];
            u = w0 + c[s].b1 * w1[s] + c[s].b2 * w2[s];
            w2[s] = w1[s];
            w1[s] = w0;
        }
        x[i * stride] = u;
    }
    for (int s = 0; s < Sections; ++s)
        st[s].w1 = w1[s], st[s].w2 = w2[s];
}

void runSpan(const IirSections& f, std::vector<State>& st, double* x, std::ptrdiff_t n,
             std::ptrdiff_t stride) {
    switch (f.sections.size()) {
    case 1:
        return runFixed<1>(f, st.data(), x, n, stride);
    case 2:
        return runFixed<2>(f, st.data(), x, n, stride);
    case 3:
        return runFixed<3>(f, st.data(), x, n, stride);
    case 4:
        return runFixed<4>(f, st.data(), x, n, stride);
    default:
        for (std::ptrdiff_t i = 0; i < n; ++i)
            x[i * stride] = step(f, st.data(), x[i * stride]);
    }
}

} // namespace

void runIir(const IirSections& f, double sampleRate, double cutoffHz, Direction direction,
            std::span<double> samples) {
    if (samples.empty()) return;
    std::vector<State> st(f.sections.size());
    const bool forward = direction == Direction::Forward;
    const double pad = forward ? samples.front() : samples.back();
    const double warm = 10 * sampleRate / cutoffHz;
    const long long warmCount = warm > 0 ? static_cast<long long>(std::min(warm, 1e12)) : 0;
    settle(f, st, pad, warmCount + static_cast<long long>(samples.size()));
    const auto n = static_cast<std::ptrdiff_t>(samples.size());
    if (forward)
        runSpan(f, st, samples.data(), n, 1);
    else
        runSpan(f, st, samples.data() + n - 1, n, -1);
}

std::string iirHistoryLine(char responseType, Direction direction, double cutoffHz, int poles) {
    if (responseType == 'L') return format("IIR Filter BW LP Freq: %g Hz  Poles: %d", cutoffHz, poles);
    if (direction == Direction::Backward)
        return format("Backward IIR Filter BW HP Freq: %g Hz  Poles: %d", cutoffHz, poles);
    return format("IIR Filter BW HP Freq: %g Hz  Poles: %d", cutoffHz, poles);
}

} // namespace tlx
