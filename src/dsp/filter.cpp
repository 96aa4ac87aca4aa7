#include "dsp/filter.h"

#include "core/text.h"

#include <cmath>

namespace tlx {

namespace {
constexpr double kTwoPi = 6.2831853071796;
}

CPeriodExtend::CPeriodExtend(double sampleRate, double sensorPeriod, double sensorQ, double highPassHz)
    : sensorPeriod_(sensorPeriod), sensorQ_(sensorQ), highPassPeriod_(1 / highPassHz),
      sampleRate_(sampleRate) {
    reset();
}

void CPeriodExtend::reset() {
    const double s = sampleRate_;
    dcSamples_ = highPassPeriod_ * s;
    periodSamples_ = sensorPeriod_ * s;
    const double steps = 1 - std::trunc(-50 / periodSamples_);
    f_ = std::isfinite(steps) && steps >= 1 && steps < 1e6 ? static_cast<int>(steps) : 1;
    wh_ = kTwoPi / (s * highPassPeriod_ * f_);
    wh2_ = wh_ * wh_;
    w0_ = kTwoPi / (s * sensorPeriod_ * f_);
    d_ = wh_ / damping_;
    k1_ = w0_ / sensorQ_ - d_;
    k2_ = w0_ * w0_ - wh2_;
    a_ = b_ = c_ = m_ = 0;
}

void CPeriodExtend::process(std::span<double> samples) {
    reset();
    const double n = dcSamples_;
    for (double& x : samples) {
        const double dcs = x / n + m_;
        m_ = dcs - dcs / n;
        const double u = x - dcs;
        double y = 0;
        for (int i = 0; i < f_; ++i) {
            y = u + k1_ * a_ + k2_ * c_;
            a_ = a_ + u - d_ * a_ - wh2_ * c_;
            c_ = b_;
            b_ = b_ + a_;
        }
        x = y;
    }
}

std::string CPeriodExtend::historyLine(double sensorPeriod, double sensorQ, double highPassHz) {
    return format("Sensor Period: %g s Sensor Q: %g HP Filter: %g Hz", sensorPeriod, sensorQ, highPassHz);
}

} // namespace tlx
