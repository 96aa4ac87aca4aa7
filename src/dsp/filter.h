// Time-domain filters that change a record's samples in place, one record at a time.
#pragma once

#include "dsp/iir_filter.h"

#include <span>

namespace tlx {

class CFilter {
  public:
    virtual ~CFilter() = default;
    // Filters one record; the filter starts from its initial state for every record.
    virtual void process(std::span<double> samples) = 0;
};

class CIirFilter : public CFilter {
  public:
    CIirFilter(const IirDesign& design, Direction direction)
        : sections_(sectionsOf(design)), sampleRate_(design.sampleRate), cutoff_(design.cutoff),
          direction_(direction) {}
    void process(std::span<double> samples) override {
        runIir(sections_, sampleRate_, cutoff_, direction_, samples);
    }

  private:
    IirSections sections_;
    double sampleRate_;
    double cutoff_;
    Direction direction_;
};

// Replaces the response of a short-period sensor (period T0, quality Q) by that of a sensor with
// the period 1 / high-pass frequency, with a running DC removal of the same time constant.
class CPeriodExtend : public CFilter {
  public:
    CPeriodExtend(double sampleRate, double sensorPeriod, double sensorQ, double highPassHz);
    void process(std::span<double> samples) override;

    int subSteps() const { return f_; }
    static std::string historyLine(double sensorPeriod, double sensorQ, double highPassHz);

  private:
    void reset();

    double wh_ = 0, wh2_ = 0, d_ = 0, w0_ = 0, k1_ = 0, k2_ = 0;
    double a_ = 0, b_ = 0, c_ = 0, m_ = 0;
    double dcSamples_ = 0, periodSamples_ = 0;
    double damping_ = 0.707;
    int f_ = 1;
    double sensorPeriod_, sensorQ_, highPassPeriod_, sampleRate_;
};

} // namespace tlx
