// A window of records in memory that applies filter operations with one level of undo, as the
// event window does: the test's stand-in for the document.
#pragma once

#include "dsp/filter_target.h"

#include <string>
#include <vector>

namespace tlx::test {

class FakeWindow : public FilterTarget {
  public:
    struct Record {
        std::vector<double> samples;
        std::vector<std::string> history;
    };

    explicit FakeWindow(double rate, std::vector<std::vector<double>> records) : rate_(rate) {
        for (auto& r : records)
            records_.push_back({std::move(r), {}});
    }
    double sampleRate() const override { return rate_; }
    bool apply(const FilterOperation& op) override {
        if (!op.undoLabel.empty()) {
            undo_.clear();
            for (const Record& r : records_)
                undo_.push_back(r);
            undoLabel = op.undoLabel;
            ++filterCount;
        }
        for (std::size_t i = 0; i < records_.size(); ++i) {
            if (op.onlyRecord >= 0 && static_cast<int>(i) != op.onlyRecord) continue;
            for (const std::string& h : op.history)
                records_[i].history.push_back(h);
            if (!op.work(records_[i].samples)) return false;
        }
        ++operations;
        return true;
    }
    void undo() {
        if (undo_.empty()) return;
        records_ = undo_;
        undo_.clear();
        undoLabel.clear();
    }
    Record& record(int i) { return records_[i]; }

    std::string undoLabel;
    int filterCount = 0;
    int operations = 0;

  private:
    double rate_;
    std::vector<Record> records_;
    std::vector<Record> undo_;
};

} // namespace tlx::test
