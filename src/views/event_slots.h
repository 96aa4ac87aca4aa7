// The records of one event window as the view needs them: up to three loaded channels with their
// min/max pyramids. Stands in for the event document until that document lands.
#pragma once

#include "record/loader.h"
#include "views/eq_view_model.h"
#include "views/minmax_pyramid.h"

#include <memory>
#include <string>
#include <vector>

namespace tlx::views {

class EventSlots {
public:
    // Loads one to three files (a volume contributes its channels); at most three records are kept.
    bool load(const std::vector<std::string>& paths, EventLoader& loader, LoadMode mode);
    void add(LoadedChannel channel);
    // Rebuilds the pyramid of a slot after its samples changed.
    void samplesChanged(std::size_t slot);

    std::size_t size() const { return channels_.size(); }
    const LoadedChannel& channel(std::size_t i) const { return *channels_[i]; }
    std::vector<TraceSource> sources() const;
    std::string title() const;

private:
    std::vector<std::unique_ptr<LoadedChannel>> channels_;
    std::vector<std::unique_ptr<MinMaxPyramid>> pyramids_;
};

} // namespace tlx::views
