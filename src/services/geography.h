// The geography the readers and writers are given: great-circle arcs and Flinn-Engdahl region
// names from the seismological library. The region table is read when a name is first asked for.
#pragma once

#include "record/geography.h"
#include "seismo/regions.h"

#include <filesystem>
#include <mutex>

namespace tlx {

class SeismoGeography final : public Geography {
  public:
    // The shipped region table by default.
    SeismoGeography();
    explicit SeismoGeography(std::filesystem::path regionFile);

    bool greatCircle(double lat1, double lon1, double lat2, double lon2,
                     GreatCircleResult& out) const override;
    std::string regionName(double lat, double lon) const override;
    // False when there is no region table (region names then stay blank).
    bool hasRegionFile() const { return !regionFile_.empty(); }

  private:
    std::filesystem::path regionFile_;
    mutable std::mutex mutex_;
    mutable bool tried_ = false;
    mutable RegionTable regions_;
};

} // namespace tlx
