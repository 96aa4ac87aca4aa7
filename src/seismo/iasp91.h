// The IASP91 model file iasp91.dat: many phases on a regular distance/depth grid, read whole into
// memory, and its grid look-up.
#pragma once

#include "seismo/travel_times.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tlx {

inline constexpr const char* kIasp91FileName = "iasp91.dat";

class Iasp91Tables : public Iasp91Model {
  public:
    static constexpr int kNameBytes = 10;
    static constexpr int kHeaderBytes = 20;

    // Takes the file image; false (and nothing loaded) when it is short, inconsistent or lacks P or S.
    bool parse(std::span<const std::uint8_t> bytes);
    // Looks for the file in each folder in turn (local data folder, then program folder).
    bool loadIasp91(const std::vector<std::filesystem::path>& folders);
    void clear() { *this = Iasp91Tables(); }

    bool available() const override { return pIndex_ >= 0; }
    int largestDepth() const override { return depthCount_ * depthStep_; }
    double pTime(double depthKm, double x) const override { return iasp91Time(pIndex_, depthKm, x); }
    double sTime(double depthKm, double x) const override { return iasp91Time(sIndex_, depthKm, x); }
    bool spTable(double depthKm, std::vector<SpEntry>& entries) const override;
    int phaseCount() const override { return static_cast<int>(names_.size()); }
    std::string phaseName(int index) const override;
    int phaseIndex(const std::string& name) const override;
    // Seconds or -1: linear in distance within the grid row at or above the depth, then linear
    // towards the next row down when both of its neighbours exist.
    double iasp91Time(int phase, double depthKm, double distanceDegrees) const override;
    int distanceCount() const override { return distanceCount_; }
    int depthCount() const override { return depthCount_; }

    int distanceStep() const { return distanceStep_; }
    int depthStep() const { return depthStep_; }
    int pIndex() const { return pIndex_; }
    int sIndex() const { return sIndex_; }

  private:
    double at(int phase, int i, int k) const {
        return times_[(static_cast<std::size_t>(phase) * distanceCount_ + i) * depthCount_ + k];
    }
    // Distance-interpolated time in one depth row; -1 when a needed value is missing.
    double rowTime(int phase, int i, double x, int k) const;

    int distanceCount_ = 0, depthCount_ = 0, distanceStep_ = 0, depthStep_ = 0;
    int pIndex_ = -1, sIndex_ = -1;
    std::vector<std::string> names_;
    std::vector<float> times_;
};

} // namespace tlx
