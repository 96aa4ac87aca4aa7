// The document's commands that change samples: integration, filters and their undo, crop,
// invert and next event.
#include "core/debug_log.h"
#include "document/eq_doc.h"

#include <cmath>
#include <new>

namespace tlx {
namespace {

void freeArray(std::vector<double>& v) {
    std::vector<double>().swap(v);
}

} // namespace

std::vector<double> CEqDoc::takeArray(int index) {
    RecordSlot& s = mutableSlot(index);
    if (s.spare.size() == static_cast<std::size_t>(commonCount_)) return std::move(s.spare);
    freeArray(s.spare);
    return newSampleArray(static_cast<std::size_t>(commonCount_));
}

bool CEqDoc::copyToArray(int index, std::span<const double> from, std::vector<double>& to) {
    try {
        to = takeArray(index);
    } catch (const std::bad_alloc&) {
        freeArray(to);
        return false;
    }
    std::copy(from.begin(), from.end(), to.begin());
    return true;
}

void CEqDoc::releaseArray(int index, std::vector<double>& array) {
    RecordSlot& s = mutableSlot(index);
    if (s.spare.empty() && array.size() == static_cast<std::size_t>(commonCount_) && s.undoArrays() < 3)
        s.spare.swap(array);
    freeArray(array);
}

void CEqDoc::freeFilterUndo() {
    for (int i = 0; i < kMaxRecords; ++i) {
        RecordSlot& s = mutableSlot(i);
        releaseArray(i, s.filterUndo);
        s.filterHistoryIndex = s.filterHistoryLines = 0;
    }
    undoLabel_.clear();
    undoCountsAsFilter_ = false;
}

void CEqDoc::freeAllUndo() {
    freeFilterUndo();
    for (RecordSlot& s : slots_) {
        for (auto& copy : s.integrationUndo)
            freeArray(copy);
        freeArray(s.spare);
        s.integrated = {};
    }
    integrationLevel_ = 0;
}

// --- integration ---------------------------------------------------------------------------------

bool CEqDoc::integrate() {
    if (count_ == 0 || integrationLevel_ >= kMaxIntegrationLevel) return false;
    const std::vector<int> targets = affectedRecords();
    const auto level = static_cast<std::size_t>(integrationLevel_); // index of the copy for the new level

    // Every output array first: the present samples become the undo copies, so without room
    // for the integral no record is changed.
    std::vector<std::vector<double>> integral(targets.size());
    try {
        for (std::size_t j = 0; j < targets.size(); ++j)
            integral[j] = takeArray(targets[j]);
    } catch (const std::bad_alloc&) {
        messages_.error("Out of memory");
        return false;
    }
    // Undoing the filter after this would throw the integration away with it.
    freeFilterUndo();

    const int k = record(targets.front()).header.sensorType;
    std::string line = "Integrate";
    if (k == 1) line += " - Acceleration to Velocity";
    if (k == 2) line += " - Velocity to Displacement";
    const double dt = 1.0 / sps();
    // The first integration marks every record modified, also one not shown alone; its undo
    // puts each record's flag back.
    if (level == 0)
        for (int i = 0; i < count_; ++i) {
            RecordSlot& s = mutableSlot(i);
            s.integrationModified = s.modified;
            s.modified = true;
        }
    ++integrationLevel_;
    unsigned fresh = 0;
    for (std::size_t j = 0; j < targets.size(); ++j) {
        const int i = targets[j];
        RecordSlot& s = mutableSlot(i);
        ChannelHeader& h = s.record.header;
        s.integrated[level] = true;
        s.integrationHistoryIndex[level] = s.record.info.history.size();
        s.integrationSensorType[level] = h.sensorType;
        s.record.addHistory(line);
        const double storedMean = invert_ ? -h.dataMean : +h.dataMean;
        setStatistics(i, tlx::integrate(s.samples, integral[j], dt, storedMean));
        s.integrationUndo[level].swap(s.samples);
        s.samples.swap(integral[j]);
        fresh |= 1u << i;
        // Acceleration becomes velocity, velocity displacement; an integrated displacement is
        // no kind the program names.
        const int type = h.sensorType;
        if (type == 1 || type == 2)
            h.sensorType = static_cast<std::uint8_t>(type + 1);
        else if (type == 3)
            h.sensorType = 0;
        s.modified = true;
    }
    modified_ = true;
    finishDataChange(fresh);
    return true;
}

bool CEqDoc::canUndoIntegrate() const {
    if (integrationLevel_ == 0) return false;
    const auto level = static_cast<std::size_t>(integrationLevel_ - 1);
    for (int i = 0; i < count_; ++i)
        if (slot(i).integrated[level]) return true;
    return false;
}

bool CEqDoc::undoIntegrate() {
    if (!canUndoIntegrate()) return false;
    const auto level = static_cast<std::size_t>(integrationLevel_ - 1);
    bool anyModified = false;
    for (int i = 0; i < count_; ++i) {
        RecordSlot& s = mutableSlot(i);
        if (s.integrated[level]) {
            s.samples.swap(s.integrationUndo[level]);
            releaseArray(i, s.integrationUndo[level]);
            s.integrated[level] = false;
            s.record.header.sensorType = s.integrationSensorType[level];
            // Lines after the integration describe work that the restored copy no longer holds.
            auto& history = s.record.info.history;
            if (s.integrationHistoryIndex[level] < history.size())
                history.resize(s.integrationHistoryIndex[level]);
        }
        if (level == 0) s.modified = s.integrationModified;
        anyModified = anyModified || s.modified;
    }
    --integrationLevel_;
    modified_ = anyModified;
    freeFilterUndo();
    finishDataChange(0);
    return true;
}

// --- filters and their undo --------------------------------------------------------------------

bool CEqDoc::applyDataOperation(const DataOperation& operation, const SampleEdit& edit) {
    std::vector<int> targets;
    if (operation.slot >= 0) {
        if (operation.slot < count_) targets.push_back(operation.slot);
    } else {
        targets = affectedRecords();
    }
    if (targets.empty() || !edit) {
        logLine("data operation: no record to change");
        return false;
    }
    const bool newUndo = !operation.undoLabel.empty();

    // The copies before the change: the new undo copies, or a transient backup for a later step.
    std::vector<std::vector<double>> before(targets.size());
    for (std::size_t j = 0; j < targets.size(); ++j) {
        if (!copyToArray(targets[j], slot(targets[j]).samples, before[j])) {
            messages_.error("Out of memory");
            return false;
        }
    }
    std::vector<std::size_t> historyBefore(targets.size());
    for (std::size_t j = 0; j < targets.size(); ++j) {
        RecordSlot& s = mutableSlot(targets[j]);
        historyBefore[j] = s.record.info.history.size();
        for (const std::string& line : operation.historyLines)
            s.record.addHistory(line);
        if (!edit(targets[j], s.record, std::span<double>(s.samples))) {
            for (std::size_t r = 0; r <= j; ++r) {
                RecordSlot& back = mutableSlot(targets[r]);
                back.samples.swap(before[r]);
                back.record.info.history.resize(historyBefore[r]);
            }
            for (std::size_t r = 0; r < targets.size(); ++r)
                releaseArray(targets[r], before[r]);
            logLine("data operation failed; samples restored");
            return false;
        }
    }

    if (newUndo) {
        // One level of filter undo: this copy replaces the last one in every record.
        const bool docModified = modified_;
        std::array<std::vector<double>, kMaxRecords> previous;
        for (int i = 0; i < kMaxRecords; ++i) {
            RecordSlot& s = mutableSlot(i);
            previous[static_cast<std::size_t>(i)].swap(s.filterUndo);
            s.filterHistoryIndex = s.filterHistoryLines = 0;
        }
        for (std::size_t j = 0; j < targets.size(); ++j) {
            RecordSlot& s = mutableSlot(targets[j]);
            s.filterUndo.swap(before[j]);
            s.filterHistoryIndex = historyBefore[j];
            s.filterHistoryLines = operation.historyLines.size();
            s.filterModified = s.modified;
        }
        for (int i = 0; i < kMaxRecords; ++i)
            releaseArray(i, previous[static_cast<std::size_t>(i)]);
        undoLabel_ = operation.undoLabel;
        undoDocModified_ = docModified;
        undoCountsAsFilter_ = operation.countsAsFilter;
    } else {
        // A later step of the same Apply: its lines go with the last undo.
        for (std::size_t j = 0; j < targets.size(); ++j) {
            RecordSlot& s = mutableSlot(targets[j]);
            if (s.hasFilterUndo() && s.filterHistoryIndex + s.filterHistoryLines == historyBefore[j])
                s.filterHistoryLines += operation.historyLines.size();
            releaseArray(targets[j], before[j]);
        }
    }
    if (operation.countsAsFilter) ++filterCount_;
    for (int i : targets)
        mutableSlot(i).modified = true;
    modified_ = true;
    finishDataChange(0);
    return true;
}

bool CEqDoc::canUndoFiltering() const {
    if (undoLabel_.empty()) return false;
    for (int i = 0; i < count_; ++i)
        if (slot(i).hasFilterUndo()) return true;
    return false;
}

bool CEqDoc::undoFiltering() {
    if (!canUndoFiltering()) return false;
    for (int i = 0; i < count_; ++i) {
        RecordSlot& s = mutableSlot(i);
        if (!s.hasFilterUndo()) continue;
        s.samples.swap(s.filterUndo);
        releaseArray(i, s.filterUndo);
        auto& history = s.record.info.history;
        const std::size_t from = std::min(s.filterHistoryIndex, history.size());
        const std::size_t to = std::min(from + s.filterHistoryLines, history.size());
        history.erase(history.begin() + static_cast<std::ptrdiff_t>(from),
                      history.begin() + static_cast<std::ptrdiff_t>(to));
        s.modified = s.filterModified;
    }
    if (undoCountsAsFilter_ && filterCount_ > 0) --filterCount_;
    modified_ = undoDocModified_;
    freeFilterUndo();
    finishDataChange(0);
    return true;
}

// --- crop, invert, next event ----------------------------------------------------------------

bool CEqDoc::crop(const CropSpan& span) {
    if (count_ == 0) return false;
    if (cropMessage_ && messages_.ask("Crop Event File?", Buttons::YesNo) != Answer::Yes) return false;
    if (span.firstSample < 0 || span.firstSample >= commonCount_ || span.sampleCount <= 0) {
        logFormat("crop: span %d+%d outside %d samples", span.firstSample, span.sampleCount, commonCount_);
        return false;
    }
    const int count = std::min(span.sampleCount, commonCount_ - span.firstSample);
    // Fewer samples could never be read back from the saved file.
    if (count < kMinSampleCount) {
        logFormat("crop: %d samples are too few to keep", count);
        return false;
    }
    freeAllUndo();
    unsigned fresh = 0;
    for (int i = 0; i < count_; ++i) {
        RecordSlot& s = mutableSlot(i);
        ChannelHeader& h = s.record.header;
        // The time axis starts at the first whole second of the corrected start time.
        EventTime start = addSeconds(h.startTime, +h.startTimeOffset);
        if (start.nanoseconds != 0) {
            start.nanoseconds = 0;
            start = addSeconds(start, 1.0);
        }
        start = addSeconds(start, span.leftEdgeSeconds);
        start.nanoseconds = 0;
        h.startTime = start;
        h.startTimeOffset = 0;
        h.sampleCount = count;
        setStatistics(i, keepRange(s.samples, static_cast<std::size_t>(span.firstSample),
                                   static_cast<std::size_t>(count)));
        s.samples.resize(static_cast<std::size_t>(count));
        fresh |= 1u << i;
        s.modified = true;
    }
    commonCount_ = count;
    modified_ = true;
    notify(&DocObserver::cropped);
    finishDataChange(fresh);
    return true;
}

void CEqDoc::invert() {
    if (count_ == 0) return;
    invert_ = !invert_;
    // The samples stay as stored; their statistics change sign, exactly.
    for (int i = 0; i < count_; ++i) {
        ChannelHeader& h = mutableSlot(i).record.header;
        const double lo = h.dataMin, hi = h.dataMax;
        h.dataMin = -hi;
        h.dataMax = -lo;
        h.dataMean = -h.dataMean;
    }
    finishDataChange((1u << count_) - 1);
}

void CEqDoc::nextEvent() {
    bool any = false;
    for (int i = 0; i < count_; ++i) {
        ChannelInfo& info = mutableSlot(i).record.info;
        if (info.events.empty()) continue;
        info.currentEvent = (info.currentEvent + 1) % static_cast<std::int32_t>(info.events.size());
        any = true;
    }
    if (!any) return;
    notify(&DocObserver::eventChanged);
    notify(&DocObserver::samplesChanged);
}

} // namespace tlx
