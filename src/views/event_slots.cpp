#include "views/event_slots.h"

namespace tlx::views {

EventSlots::EventSlots(CEqDoc& doc) : doc_(doc) {
    doc_.addObserver(this);
    rebuild();
}

EventSlots::~EventSlots() {
    doc_.removeObserver(this);
}

void EventSlots::rebuild() {
    pyramids_.clear();
    for (int i = 0; i < doc_.recordCount(); ++i)
        pyramids_.push_back(std::make_unique<MinMaxPyramid>(doc_.samples(i)));
    if (onDataChanged) onDataChanged();
}

void EventSlots::recordsChanged() {
    rebuild();
}
void EventSlots::samplesChanged() {
    rebuild();
}
void EventSlots::statisticsChanged() {
    if (onDataChanged) onDataChanged();
}
void EventSlots::cropped() {
    rebuild();
}
void EventSlots::selectionChanged() {
    if (onSelectionChanged) onSelectionChanged();
}

std::vector<TraceSource> EventSlots::sources() const {
    std::vector<TraceSource> s;
    for (int i = 0; i < doc_.recordCount() && static_cast<std::size_t>(i) < pyramids_.size(); ++i) {
        TraceSource t;
        t.record = &doc_.record(i);
        t.samples = doc_.samples(i);
        t.pyramid = pyramids_[static_cast<std::size_t>(i)].get();
        t.manualDcOffset = doc_.slot(i).manualDcOffset;
        t.slotName = doc_.record(i).stationName();
        s.push_back(std::move(t));
    }
    return s;
}

} // namespace tlx::views
