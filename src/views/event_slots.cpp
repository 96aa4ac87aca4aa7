#include "views/event_slots.h"

#include <filesystem>

namespace tlx::views {

bool EventSlots::load(const std::vector<std::string>& paths, EventLoader& loader, LoadMode mode) {
    for (const std::string& path : paths) {
        if (channels_.size() >= 3) break;
        LoadRequest request;
        request.fileName = path;
        request.mode = mode;
        LoadResult result = loader.load(request);
        if (!result.ok) continue;
        for (LoadedChannel& c : result.channels) {
            if (channels_.size() >= 3) break;
            if (c.record.fileName.empty()) c.record.fileName = result.path;
            add(std::move(c));
        }
    }
    return !channels_.empty();
}

void EventSlots::add(LoadedChannel channel) {
    channels_.push_back(std::make_unique<LoadedChannel>(std::move(channel)));
    pyramids_.push_back(std::make_unique<MinMaxPyramid>(channels_.back()->samples));
}

void EventSlots::samplesChanged(std::size_t slot) { pyramids_[slot]->rebuild(channels_[slot]->samples); }

std::vector<TraceSource> EventSlots::sources() const {
    std::vector<TraceSource> s;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        TraceSource t;
        t.record = &channels_[i]->record;
        t.samples = channels_[i]->samples;
        t.pyramid = pyramids_[i].get();
        t.slotName = channels_[i]->record.stationName();
        s.push_back(std::move(t));
    }
    return s;
}

std::string EventSlots::title() const {
    std::string t;
    for (const auto& c : channels_) {
        const std::string name = std::filesystem::path(c->record.fileName).filename().string();
        if (t.find(name) != std::string::npos) continue;
        t += t.empty() ? name : ", " + name;
    }
    return t;
}

} // namespace tlx::views
