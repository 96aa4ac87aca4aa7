// What the waveform view draws from an event document: each record's samples with a min/max
// pyramid that is rebuilt whenever the document's samples or records change.
#pragma once

#include "document/eq_doc.h"
#include "views/eq_view_model.h"
#include "views/minmax_pyramid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tlx::views {

class EventSlots : public DocObserver {
  public:
    explicit EventSlots(CEqDoc& doc);
    ~EventSlots() override;
    EventSlots(const EventSlots&) = delete;
    EventSlots& operator=(const EventSlots&) = delete;

    CEqDoc& doc() { return doc_; }
    const CEqDoc& doc() const { return doc_; }
    std::size_t size() const { return static_cast<std::size_t>(doc_.recordCount()); }
    const EventRecord& record(std::size_t i) const { return doc_.record(static_cast<int>(i)); }
    std::span<const double> samples(std::size_t i) const { return doc_.samples(static_cast<int>(i)); }
    std::vector<TraceSource> sources() const;

    // Called after the pyramids follow a change of the document's data.
    std::function<void()> onDataChanged;
    // Called when the current record or the single-record display changes.
    std::function<void()> onSelectionChanged;

    void recordsChanged() override;
    void samplesChanged() override;
    void statisticsChanged() override;
    void cropped() override;
    void selectionChanged() override;

  private:
    void rebuild();

    CEqDoc& doc_;
    std::vector<std::unique_ptr<MinMaxPyramid>> pyramids_;
};

} // namespace tlx::views
