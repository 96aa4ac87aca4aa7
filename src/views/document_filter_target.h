// The event document as the target of the filters: each filter operation becomes one data
// operation of the document, which keeps the undo copy, history lines and filter count.
// (The views library holds it: the first one that sees both sides.)
#pragma once

#include "document/eq_doc.h"
#include "dsp/filter_target.h"

namespace tlx {

class DocumentFilterTarget : public FilterTarget {
  public:
    explicit DocumentFilterTarget(CEqDoc& doc) : doc_(doc) {}
    double sampleRate() const override { return doc_.sps(); }
    bool apply(const FilterOperation& op) override {
        DataOperation data;
        data.undoLabel = op.undoLabel;
        data.historyLines = op.history;
        data.countsAsFilter = !op.undoLabel.empty();
        data.slot = op.onlyRecord;
        return doc_.applyDataOperation(
            data, [&op](int, const EventRecord&, std::span<double> samples) { return op.work(samples); });
    }

  private:
    CEqDoc& doc_;
};

} // namespace tlx
