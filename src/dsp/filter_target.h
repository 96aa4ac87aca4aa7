// How filters reach the samples of an event window: the window applies one operation to its
// affected records, keeping the undo copy, history and filter count as its own rules say.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tlx {

struct FilterOperation {
    // Label of the undo copy taken before the samples change; empty: no new copy (the operation
    // continues one that already took it).
    std::string undoLabel;
    std::vector<std::string> history; // lines appended to each changed record's history
    int onlyRecord = -1;              // -1: the window's affected records; else that record alone
    // Changes one record's samples; false abandons the operation.
    std::function<bool(std::span<double>)> work;
};

class FilterTarget {
  public:
    virtual ~FilterTarget() = default;
    virtual double sampleRate() const = 0;
    virtual bool apply(const FilterOperation& operation) = 0;
};

} // namespace tlx
