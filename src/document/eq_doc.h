// The event document: the state of one event window (up to three records on a common time base,
// their samples and undo copies, selection and display mode) and every operation that changes
// the data or the set of records. Qt-free; the views watch it through DocObserver.
#pragma once

#include "core/messages.h"
#include "document/sample_ops.h"
#include "record/event_record.h"
#include "record/file_kind.h"
#include "record/format_reader.h"
#include "record/svx4_writer.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tlx {

class IniProfile;
class EventLoader;
class CSeed;

constexpr int kMaxRecords = 3;
constexpr int kMaxIntegrationLevel = 2;

// Undo labels of the filter operations that count as applied filters.
constexpr char kLabelFftFiltering[] = "FFT Filtering";
constexpr char kLabelDftFiltering[] = "DFT Filtering";
constexpr char kLabelLowPass[] = "Low-Pass Filter";
constexpr char kLabelHighPass[] = "High-Pass Filter";
constexpr char kLabelHighAndLowPass[] = "High-Pass and Low-Pass Filter";
constexpr char kLabelSensorPeriod[] = "Sensor Period";

// One record slot of the window.
struct RecordSlot {
    EventRecord record;          // record.fileName is the slot's file name
    std::vector<double> samples; // commonCount values
    bool modified = false;
    double manualDcOffset = 0.0;
    double peakRange = 0.1;         // |max| + |min|, 0.1 when that is 0
    std::vector<double> filterUndo; // empty: none
    std::array<std::vector<double>, kMaxIntegrationLevel> integrationUndo; // level 1, level 2
    // A released undo array kept for the next copy (its pages are already mapped); only while an
    // undo place is free, so that samples, undo copies and spare never exceed four arrays.
    std::vector<double> spare;

    // What the undo copies need to put back (per record: histories differ in length).
    std::size_t filterHistoryIndex = 0;
    std::size_t filterHistoryLines = 0;
    bool filterModified = false;
    std::array<bool, kMaxIntegrationLevel> integrated = {}; // this level changed this record
    std::array<std::size_t, kMaxIntegrationLevel> integrationHistoryIndex = {};
    std::array<std::uint8_t, kMaxIntegrationLevel> integrationSensorType = {};
    bool integrationModified = false; // modified flag before the first integration
    // The record's name was given here, not the file it came from (a channel of a volume): a
    // file already there is someone else's until this window has written it.
    bool nameGivenHere = false;

    int undoArrays() const {
        return int(!filterUndo.empty()) + int(!integrationUndo[0].empty()) + int(!integrationUndo[1].empty());
    }
    bool hasFilterUndo() const { return !filterUndo.empty(); }
    bool hasIntegrationUndo(int level) const {
        return !integrationUndo[static_cast<std::size_t>(level - 1)].empty();
    }
};

// Hooks the views implement; every method has an empty default.
class DocObserver {
  public:
    virtual ~DocObserver() = default;
    // Records were added, removed or replaced (the view rebuilds its per-record labels).
    virtual void recordsChanged() {}
    // The current record or the single-record display flag changed.
    virtual void selectionChanged() {}
    // Samples changed (filter, integrate, undo, crop, invert): redraw both panes.
    virtual void samplesChanged() {}
    // Statistics were recomputed: the view resets its Y scroll range to -47..47, step 4.
    virtual void statisticsChanged() {}
    virtual void titleChanged(const std::string& title) { (void)title; }
    // Next Event advanced each record's current event entry.
    virtual void eventChanged() {}
    // Crop finished: the view's first-sample and whole-second offsets become 0, its axis starts at
    // the former left edge, and Reset follows (also refresh an open STA/LTA or RMS dialog).
    virtual void cropped() {}
};

// What the view hands to Crop: the span it shows.
struct CropSpan {
    int firstSample = 0;        // the view's first visible sample
    int sampleCount = 0;        // integer part of (sps x visible span in seconds)
    double leftEdgeSeconds = 0; // left edge minus the start of the time axis, in seconds
};

// How a window is opened: one to three files, or channels of one parsed SEED/MINISEED volume.
struct OpenRequest {
    std::vector<std::string> files;
    int forcedKind = kForceNone;
    std::vector<int> channels; // non-empty: channel indexes within files[0] (forced kind 4 unless set)
};

enum class SaveMode { Save, SaveAs };
enum class CloseAnswer { Close, KeepOpen };

// A change to the samples made by a filter (time domain or spectral); see applyDataOperation.
struct DataOperation {
    // Undo label; empty for a later step of the same Apply (no new undo copy, lines join the last).
    std::string undoLabel;
    std::vector<std::string> historyLines; // appended to every affected record before the change
    bool countsAsFilter = true;            // bumps the window's count of applied filters
    int slot = -1;                         // -1: the affected records (current when shown alone, else all)
};
// Changes one record's samples in place; false when it failed (samples are then put back).
using SampleEdit = std::function<bool(int slot, const EventRecord& record, std::span<double> samples)>;

class CEqDoc {
  public:
    CEqDoc(Messages& messages, EventLoader& loader, IniProfile* settings = nullptr,
           LoadMode mode = LoadMode::Interactive);
    ~CEqDoc();
    CEqDoc(const CEqDoc&) = delete;
    CEqDoc& operator=(const CEqDoc&) = delete;

    // The parsed SEED/MINISEED volume that channel loads read from (owned by the caller).
    void setSeedReader(CSeed* seed) { seed_ = seed; }

    void addObserver(DocObserver* observer);
    void removeObserver(DocObserver* observer);

    // --- opening and the set of records ---------------------------------------------------
    // Opens a window: false when the first file cannot be loaded (the window then closes).
    bool open(const OpenRequest& request);
    bool open(const std::string& file) { return open(OpenRequest{{file}, kForceNone, {}}); }
    // Loads a file into a slot (at open, by Add, and by the picture server for record 0).
    bool loadRecord(int slot, const std::string& file, int forcedKind = kForceNone, int channel = 0);
    // Adds a file as a further record; silently refused (debug log only) when it does not match.
    bool addRecord(const std::string& file, bool redraw = true);
    // Removes the current record after its prompts; false when nothing was removed.
    bool removeCurrent();
    bool canRemove() const { return count_ > 1; }

    // --- selection and display --------------------------------------------------------------
    void displayRecord(int index); // shows record index alone (0-based)
    void displayAll();
    void selectRecord(int index); // changes the current record only
    bool isDisplayRecordEnabled(int index) const { return count_ > 1 && index < count_; }
    bool isDisplayRecordChecked(int index) const { return singleRecord_ && index == current_; }
    // Indexes of the records a command works on: the current one when shown alone, else all.
    std::vector<int> affectedRecords() const;

    // --- data commands ------------------------------------------------------------------------
    bool integrate();
    bool undoIntegrate();
    bool canIntegrate() const { return integrationLevel_ < kMaxIntegrationLevel; }
    bool canUndoIntegrate() const;
    void invert();
    bool crop(const CropSpan& span); // asks first when CropMessage is on
    void toggleCropMessage();
    void nextEvent();
    // Takes the undo copy, appends the history lines, runs edit on each record, counts the filter.
    // When edit fails for any record, every record's samples and the previous undo copy stay.
    bool applyDataOperation(const DataOperation& operation, const SampleEdit& edit);
    bool undoFiltering();
    bool canUndoFiltering() const;

    // DC Offset dialog: the current record's manual offset and the two switches.
    void setManualDcOffset(double offset) { setManualDcOffset(current_, offset); }
    void setManualDcOffset(int slot, double offset);
    void setAutoDcOffset(bool on);
    void setFftDcOffset(bool on);
    // The DC Offset dialog shows the current record's manual offset as "%g".
    std::string manualDcOffsetText() const;
    // The offset subtracted where a record is drawn or measured around zero.
    double dcOffsetInUse(int slot) const;

    // --- saving and closing ----------------------------------------------------------------
    // The save operation (save dialog and writers); slot -1 means every record. Returns success.
    using SaveHook = std::function<bool(CEqDoc& doc, SaveMode mode, int slot)>;
    void setSaveHook(SaveHook hook) { saveHook_ = std::move(hook); }
    // The single-file name of a record taken out of a data-set volume (archive naming).
    using NameHook = std::function<std::string(const EventRecord& record)>;
    void setSingleFileNameHook(NameHook hook) { nameHook_ = std::move(hook); }
    bool save(SaveMode mode, int slot = -1);
    // Writes every record to its own file name as SVX Type 4 (a volume for a volume window).
    bool writeSvx4Files(int slot = -1);
    // What every writer of the window's records starts from: the window's records as they are
    // held, and the options the window decides (DC offset rule, processed data, rate).
    std::vector<WriteChannel> writeChannels() const;
    WriterOptions writerOptions() const;
    CloseAnswer queryClose();
    void noteClosed(); // writes RealtimeWindows = 1

    // --- state --------------------------------------------------------------------------------
    int recordCount() const { return count_; }
    int currentRecord() const { return current_; }
    bool singleRecord() const { return singleRecord_; }
    int fileKind() const { return fileKind_; }
    SubKind subKind() const { return subKind_; }
    int commonCount() const { return commonCount_; }
    bool inverted() const { return invert_; }
    int integrationLevel() const { return integrationLevel_; }
    int filterCount() const { return filterCount_; }
    const std::string& undoLabel() const { return undoLabel_; }
    bool isModified() const { return modified_; }
    bool anyRecordModified() const;
    bool gseChecksumError() const { return gseChecksumError_; }
    bool gseCountError() const { return gseCountError_; }
    bool autoDcOffset() const { return autoDcOffset_; }
    bool fftDcOffset() const { return fftDcOffset_; }
    bool cropMessage() const { return cropMessage_; }
    LoadMode mode() const { return mode_; }

    const RecordSlot& slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }
    const EventRecord& record(int index) const { return slot(index).record; }
    std::span<const double> samples(int index) const { return slot(index).samples; }
    const std::string& fileName(int index) const { return slot(index).record.fileName; }
    double sps() const { return count_ ? +slots_[0].record.header.sps : 0.0; }
    // Record information editing and picks change records without touching samples.
    EventRecord& editRecord(int index) { return slots_[static_cast<std::size_t>(index)].record; }
    void setFileName(int index, const std::string& name);
    void setRecordModified(int index, bool modified = true);
    void setModified(bool modified) { modified_ = modified; }

    // --- texts ---------------------------------------------------------------------------------
    const std::string& title() const { return title_; }
    std::string removeMenuText() const;           // "&Remove - %s"
    std::string displayMenuText(int index) const; // "&1: %s\tCtrl+1"
    std::string selectMenuText(int index) const;  // "&1: %s\t1 Key"
    std::string undoMenuText() const;             // "Undo - %s" or "Undo"
    std::string dataOperationsCaption() const;
    std::vector<std::string> dataOperationsLines() const; // "%d: %s"

    // Recompute statistics and title and tell the views (after edits through editRecord).
    void refresh();
    void recomputeStatistics();
    void rebuildTitle();

  private:
    RecordSlot& mutableSlot(int index) { return slots_[static_cast<std::size_t>(index)]; }
    void nameChannelBesideVolume(int index, const std::string& volume, int channel);
    bool fillSlots(int first, LoadResult& result, int maxChannels);
    bool matchesWindow(const EventRecord& candidate) const;
    void removeSlot(int index);
    void freeFilterUndo();
    void freeAllUndo();
    // An array of commonCount samples for an undo copy or a result: the slot's spare, or a new one.
    std::vector<double> takeArray(int index);
    bool copyToArray(int index, std::span<const double> from, std::vector<double>& to);
    void releaseArray(int index, std::vector<double>& array);
    void updateStatistics(int index);
    void setStatistics(int index, const SampleStats& stats); // stats of the samples as stored
    void notify(void (DocObserver::*hook)());
    // Statistics (except for the slots whose bit is set: already computed), title, redraw.
    void finishDataChange(unsigned freshStatistics);

    Messages& messages_;
    EventLoader& loader_;
    IniProfile* settings_;
    LoadMode mode_;
    std::vector<DocObserver*> observers_;
    SaveHook saveHook_;
    NameHook nameHook_;
    CSeed* seed_ = nullptr;

    std::array<RecordSlot, kMaxRecords> slots_;
    int count_ = 0;
    int current_ = 0;
    bool singleRecord_ = false;
    int fileKind_ = kKindUnknown;
    SubKind subKind_ = SubKind::Binary;
    int commonCount_ = 0;
    bool gseChecksumError_ = false;
    bool gseCountError_ = false;

    bool invert_ = false;
    int integrationLevel_ = 0;
    int filterCount_ = 0;
    std::string undoLabel_;
    bool undoCountsAsFilter_ = false;
    bool undoDocModified_ = false;
    bool modified_ = false;

    bool autoDcOffset_ = true;
    bool fftDcOffset_ = true;
    bool cropMessage_ = true;

    std::string title_;
};

// The base of a title: the name and extension without the directory; empty for a directory.
std::string shortFileName(const std::string& path);

struct TitleParts {
    int kind = kKindSvx4;
    std::string firstFile;   // slot 0's file name
    std::string currentFile; // the current record's file name
    std::string station;     // the current record's station name
    int sensorType = 0;      // the current record's
    int integrationLevel = 0;
};
// The window title: file name (or "%s - %s " for a volume), format suffix, data-kind suffix.
std::string eventTitle(const TitleParts& parts);

} // namespace tlx
