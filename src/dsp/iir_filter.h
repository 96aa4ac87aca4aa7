// Butterworth low- and high-pass filters: analog prototype, frequency transform and the
// bilinear transform with pre-warping, run as a cascade of second-order sections.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace tlx {

// One design, filled by the caller and completed by designIir.
struct IirDesign {
    double passbandAttenuation = -3; // dB, negative
    double stopbandAttenuation = -6; // dB, negative
    double passbandEdge = 0;         // rad/s after design (converted back, for display)
    double stopbandEdge = 0;
    double sampleRate = 0;
    double gain = 1;
    double cutoff = 0; // Hz, as entered
    // Triples per section: before the bilinear step (s², s, 1), after it (1, z⁻¹, z⁻²).
    std::vector<double> numerator;
    std::vector<double> denominator;
    int order = 0;
    char responseType = 'L'; // 'L' low-pass, 'H' high-pass
    char family = 'B';
    char realisation = 'I';

    int sectionCount() const { return static_cast<int>(numerator.size() / 3); }
};

enum class IirStatus { Ok, Invalid, DesignFailed };

// Validates and designs. The stopband attenuation defaults to -6 dB per pole.
IirStatus designIir(char responseType, double cutoffHz, int poles, double sampleRate, IirDesign& design);
IirStatus designIir(char responseType, double cutoffHz, double sampleRate, double passbandDb,
                    double stopbandDb, IirDesign& design);

// What the runner uses: per section (1 + b1 z⁻¹ + b2 z⁻²) / (1 + a1 z⁻¹ + a2 z⁻²).
struct IirSection {
    double a1 = 0, a2 = 0, b1 = 0, b2 = 0;
};
struct IirSections {
    double gain = 1;
    std::vector<IirSection> sections;
};
IirSections sectionsOf(const IirDesign& design);

enum class Direction { Backward = 0, Forward = 1 };

// Filters one record in place: a pad of the edge sample (first forward, last backward) is fed
// trunc(10 × rate / cutoff) times to settle the sections, then N more times, then the samples.
void runIir(const IirSections& sections, double sampleRate, double cutoffHz, Direction direction,
            std::span<double> samples);

// The history line of one run.
std::string iirHistoryLine(char responseType, Direction direction, double cutoffHz, int poles);

} // namespace tlx
