#include "document/eq_doc.h"

#include "document/doc_settings.h"

#include "core/debug_log.h"
#include "core/ini_profile.h"
#include "core/text.h"
#include "document/sample_ops.h"
#include "record/loader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

namespace tlx {
namespace {

std::string stationOf(const EventRecord& record) {
    return std::string(trim(record.stationName()));
}

// "vol.svx", channel index 1 -> "vol-2.svx".
std::string volumeChannelName(const std::string& volume, int channel) {
    std::filesystem::path p(volume);
    const std::string extension = p.extension().string();
    p.replace_filename(p.stem().string() + format("-%d", channel + 1) + extension);
    return p.string();
}

} // namespace

std::string shortFileName(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

CEqDoc::CEqDoc(Messages& messages, EventLoader& loader, IniProfile* settings, LoadMode mode)
    : messages_(messages), loader_(loader), settings_(settings), mode_(mode) {
    if (settings_) {
        autoDcOffset_ = readSetting(*settings_, kAutoDcOffsetKey);
        fftDcOffset_ = readSetting(*settings_, kFftDcOffsetKey);
        cropMessage_ = readSetting(*settings_, kCropMessageKey);
    }
}

CEqDoc::~CEqDoc() = default;

void CEqDoc::addObserver(DocObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CEqDoc::removeObserver(DocObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CEqDoc::notify(void (DocObserver::*hook)()) {
    // A copy: an observer may detach itself while being told.
    const std::vector<DocObserver*> observers = observers_;
    for (DocObserver* observer : observers)
        (observer->*hook)();
}

// --- opening and the set of records --------------------------------------------------------

bool CEqDoc::open(const OpenRequest& request) {
    if (request.files.empty()) return false;
    const bool channelList = !request.channels.empty();
    const int forced =
        channelList && request.forcedKind == kForceNone ? kForceSeedChannel : request.forcedKind;
    if (!loadRecord(0, request.files[0], forced, channelList ? request.channels[0] : 0)) {
        count_ = 0;
        return false;
    }
    if (channelList) {
        // Channels taken out of an SVX volume are single records: Save must not write them over
        // the volume, so each gets a name of its own beside it.
        const bool fromVolume = forced == kForceSvxVolumeChannel;
        if (fromVolume) nameChannelBesideVolume(0, request.files[0], request.channels[0]);
        for (std::size_t i = 1; i < request.channels.size() && count_ < kMaxRecords; ++i) {
            if (!loadRecord(count_, request.files[0], forced, request.channels[i])) continue;
            singleRecord_ = false;
            if (fromVolume) nameChannelBesideVolume(count_ - 1, request.files[0], request.channels[i]);
        }
    } else {
        for (std::size_t i = 1; i < request.files.size() && count_ < kMaxRecords; ++i)
            addRecord(request.files[i], false);
    }

    // The record with the largest excursion becomes current; the earlier wins a tie.
    double best = -1;
    for (int i = 0; i < count_; ++i) {
        const ChannelHeader& h = slot(i).record.header;
        const double peak = std::max(std::fabs(+h.dataMax), std::fabs(+h.dataMin));
        if (peak > best) {
            best = peak;
            current_ = i;
        }
    }
    if (fileKind_ == kKindGse2) {
        if (gseChecksumError_) messages_.error("Checksum Error in GSE2.0 file");
        if (gseCountError_) messages_.error("Number of Samples Error in GSE2.0 file");
    }
    notify(&DocObserver::recordsChanged);
    recomputeStatistics();
    rebuildTitle();
    return true;
}

bool CEqDoc::loadRecord(int index, const std::string& file, int forcedKind, int channel) {
    if (index < 0 || index >= kMaxRecords || index > count_) return false;
    LoadRequest request;
    request.fileName = file;
    request.mode = mode_;
    request.forcedKind = forcedKind;
    request.channelIndex = channel;
    request.seed = seed_;
    LoadResult result = loader_.load(request);
    if (!result.ok || result.channels.empty()) return false;

    if (index == 0) {
        // A new first record starts the window afresh (opening, or the picture server's reload).
        for (RecordSlot& s : slots_)
            s = RecordSlot{};
        count_ = 0;
        current_ = 0;
        singleRecord_ = false;
        fileKind_ = result.kind;
        subKind_ = result.subKind;
        commonCount_ = result.commonCount;
        gseChecksumError_ = result.gseChecksumError;
        gseCountError_ = result.gseCountError;
        invert_ = false;
        integrationLevel_ = 0;
        filterCount_ = 0;
        undoLabel_.clear();
        modified_ = false;
    } else if (result.commonCount != commonCount_) {
        logFormat("bad count %d %d", commonCount_, result.commonCount);
        return false;
    }
    // A volume or MINISEED data set fills the following slots with its further channels.
    const bool multi = index == 0 && (result.kind == kKindSvxVolume || result.kind == kKindMiniSeedSet);
    const int channels = multi ? std::min<int>(kMaxRecords, static_cast<int>(result.channels.size())) : 1;
    for (int c = 0; c < channels; ++c) {
        RecordSlot& s = mutableSlot(index + c);
        s = RecordSlot{};
        s.record = std::move(result.channels[static_cast<std::size_t>(c)].record);
        s.samples = std::move(result.channels[static_cast<std::size_t>(c)].samples);
        s.samples.resize(static_cast<std::size_t>(commonCount_));
        updateStatistics(index + c);
    }
    count_ = std::max(count_, index + channels);
    return true;
}

bool CEqDoc::matchesWindow(const EventRecord& candidate) const {
    const ChannelHeader& first = slot(0).record.header;
    const ChannelHeader& other = candidate.header;
    const int otherCount = other.sampleCount;
    if (otherCount != commonCount_) {
        logFormat("bad count %d %d", commonCount_, otherCount);
        return false;
    }
    const double firstSps = first.sps, otherSps = other.sps;
    if (firstSps != otherSps) {
        logLine("bad sps");
        return false;
    }
    const double interval = std::trunc(1000.0 / firstSps);
    const EventTime a = first.startTime, b = other.startTime;
    if (std::fabs(secondsBetween(a, b) * 1000.0) > interval) {
        logFormat("bad time %s %s", formatStartTime(a).c_str(), formatStartTime(b).c_str());
        return false;
    }
    return true;
}

bool CEqDoc::addRecord(const std::string& file, bool redraw) {
    if (count_ == 0 || count_ >= kMaxRecords) return false;
    if (fileKind_ != kKindSvx4 && fileKind_ != kKindSvxVolume && fileKind_ != kKindSeed &&
        fileKind_ != kKindMiniSeed)
        return false;
    // Compared with the window as it is now (it may have been cropped since its file was read).
    const LoadResult probe = loader_.readHeaderOnly(loader_.resolvePath(file));
    if (probe.ok && !probe.channels.empty() && !matchesWindow(probe.channels[0].record)) return false;

    const int previous = current_;
    const int index = count_;
    current_ = index;
    if (!loadRecord(index, file) || !matchesWindow(slot(index).record)) {
        if (index < count_) {
            mutableSlot(index) = RecordSlot{};
            count_ = index;
        }
        current_ = previous;
        return false;
    }
    singleRecord_ = false;
    if (redraw) {
        notify(&DocObserver::recordsChanged);
        recomputeStatistics();
        rebuildTitle();
        notify(&DocObserver::samplesChanged);
    }
    return true;
}

bool CEqDoc::removeCurrent() {
    if (count_ <= 1) return false;
    const int c = current_;
    RecordSlot& s = mutableSlot(c);
    const std::string station = stationOf(s.record);
    if (!s.modified && messages_.ask(format("Remove Record %s?", station.c_str()), Buttons::Ok) != Answer::Ok)
        return false;
    if (s.modified || fileKind_ == kKindSvxVolume) {
        if (fileKind_ == kKindSvxVolume && nameHook_) setFileName(c, nameHook_(s.record));
        const std::string text = s.modified
                                     ? format("Data Modified - Save File %s", s.record.fileName.c_str())
                                     : format("Save File %s", s.record.fileName.c_str());
        const Answer answer = messages_.ask(text, Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return false;
        // A failed save keeps the record: its changes must not vanish with it.
        if (answer == Answer::Yes && !save(SaveMode::Save, c)) return false;
    }
    removeSlot(c);
    if (current_ >= count_) current_ = count_ - 1;
    if (count_ == 1) singleRecord_ = false;
    mutableSlot(0).modified = true;
    modified_ = true;
    notify(&DocObserver::recordsChanged);
    recomputeStatistics();
    rebuildTitle();
    notify(&DocObserver::samplesChanged);
    return true;
}

void CEqDoc::removeSlot(int index) {
    for (int i = index; i + 1 < count_; ++i)
        mutableSlot(i) = std::move(mutableSlot(i + 1));
    mutableSlot(count_ - 1) = RecordSlot{};
    --count_;
}

// --- selection and display ---------------------------------------------------------------------

void CEqDoc::displayRecord(int index) {
    if (count_ <= 1 || index < 0 || index >= count_ || (singleRecord_ && current_ == index)) return;
    current_ = index;
    singleRecord_ = true;
    notify(&DocObserver::selectionChanged);
    recomputeStatistics();
    rebuildTitle();
}

void CEqDoc::displayAll() {
    if (count_ <= 1 || !singleRecord_) return;
    singleRecord_ = false;
    notify(&DocObserver::selectionChanged);
    recomputeStatistics();
    rebuildTitle();
}

void CEqDoc::selectRecord(int index) {
    if (count_ <= 1 || index < 0 || index >= count_ || index == current_) return;
    current_ = index;
    notify(&DocObserver::selectionChanged);
    recomputeStatistics();
    rebuildTitle();
}

std::vector<int> CEqDoc::affectedRecords() const {
    std::vector<int> out;
    if (count_ == 0) return out;
    if (singleRecord_) {
        out.push_back(current_);
    } else {
        for (int i = 0; i < count_; ++i)
            out.push_back(i);
    }
    return out;
}

// --- statistics and title -----------------------------------------------------------------------

void CEqDoc::updateStatistics(int index) {
    setStatistics(index, sampleStatistics(slot(index).samples));
}

void CEqDoc::setStatistics(int index, const SampleStats& stats) {
    RecordSlot& s = mutableSlot(index);
    ChannelHeader& h = s.record.header;
    // Shown and measured with the sign reversed when inverted.
    h.dataMin = invert_ ? -stats.max : stats.min;
    h.dataMax = invert_ ? -stats.min : stats.max;
    h.dataMean = invert_ ? -stats.mean : stats.mean;
    const double range = std::fabs(+h.dataMax) + std::fabs(+h.dataMin);
    s.peakRange = range == 0 ? 0.1 : range;
}

void CEqDoc::recomputeStatistics() {
    for (int i = 0; i < count_; ++i)
        updateStatistics(i);
    notify(&DocObserver::statisticsChanged);
}

std::string eventTitle(const TitleParts& parts) {
    std::string title =
        parts.kind == kKindSvxVolume
            ? format("%s - %s ", shortFileName(parts.firstFile).c_str(), parts.station.c_str())
            : shortFileName(parts.currentFile);
    switch (parts.kind) {
    case kKindSac:
        title += " SAC Binary";
        break;
    case kKindPepp:
        title += " PEPP File";
        break;
    case kKindSeed:
        title += " SEED File";
        break;
    case kKindGse2:
        title += " GSE2.0 File";
        break;
    case kKindMiniSeed:
        title += " MINISEED File";
        break;
    case kKindMiniSeedSet:
        title += " MINISEED Dataset File";
        break;
    case kKindAh:
        title += " AH File";
        break;
    default:
        break;
    }
    switch (parts.sensorType) {
    case 0:
        if (parts.integrationLevel == 1) title += " (Integrated)";
        if (parts.integrationLevel == 2) title += " (Integrated X 2)";
        break;
    case 1:
        title += " (Acceleration)";
        break;
    case 2:
        title += " (Velocity)";
        break;
    case 3:
        title += " (Displacement)";
        break;
    default:
        break;
    }
    return title;
}

void CEqDoc::rebuildTitle() {
    if (count_ > 0) {
        const EventRecord& cur = record(current_);
        title_ = eventTitle(
            {fileKind_, fileName(0), cur.fileName, stationOf(cur), cur.header.sensorType, integrationLevel_});
    } else {
        title_.clear();
    }
    const std::vector<DocObserver*> observers = observers_;
    for (DocObserver* observer : observers)
        observer->titleChanged(title_);
}

void CEqDoc::refresh() {
    finishDataChange(0);
}

void CEqDoc::finishDataChange(unsigned freshStatistics) {
    for (int i = 0; i < count_; ++i)
        if (!(freshStatistics & (1u << i))) updateStatistics(i);
    notify(&DocObserver::statisticsChanged);
    rebuildTitle();
    notify(&DocObserver::samplesChanged);
}

std::string CEqDoc::removeMenuText() const {
    return format("&Remove - %s", count_ ? stationOf(record(current_)).c_str() : "");
}

std::string CEqDoc::displayMenuText(int index) const {
    const std::string name = index < count_ ? stationOf(record(index)) : std::string();
    return format("&%d: %s\tCtrl+%d", index + 1, name.c_str(), index + 1);
}

std::string CEqDoc::selectMenuText(int index) const {
    const std::string name = index < count_ ? stationOf(record(index)) : std::string();
    return format("&%d: %s\t%d Key", index + 1, name.c_str(), index + 1);
}

std::string CEqDoc::undoMenuText() const {
    return canUndoFiltering() ? format("Undo - %s", undoLabel_.c_str()) : std::string("Undo");
}

std::string CEqDoc::dataOperationsCaption() const {
    if (count_ > 1) return format("Data Operations - %s", stationOf(record(current_)).c_str());
    return "Data Operations";
}

std::vector<std::string> CEqDoc::dataOperationsLines() const {
    std::vector<std::string> lines;
    if (count_ == 0) return lines;
    const auto& history = record(current_).info.history;
    for (std::size_t i = 0; i < history.size(); ++i)
        lines.push_back(format("%d: %s", static_cast<int>(i + 1), history[i].c_str()));
    return lines;
}

// --- state --------------------------------------------------------------------------------------

bool CEqDoc::anyRecordModified() const {
    for (int i = 0; i < count_; ++i)
        if (slot(i).modified) return true;
    return false;
}

void CEqDoc::nameChannelBesideVolume(int index, const std::string& volume, int channel) {
    setFileName(index, volumeChannelName(volume, channel));
    mutableSlot(index).nameGivenHere = true;
}

void CEqDoc::setFileName(int index, const std::string& name) {
    mutableSlot(index).record.fileName = name.substr(0, kMaxFileName);
}

void CEqDoc::setRecordModified(int index, bool modified) {
    mutableSlot(index).modified = modified;
    if (modified) modified_ = true;
}

void CEqDoc::setManualDcOffset(int index, double offset) {
    if (index < 0 || index >= count_) return;
    mutableSlot(index).manualDcOffset = offset;
    notify(&DocObserver::samplesChanged);
}

void CEqDoc::setAutoDcOffset(bool on) {
    if (on == autoDcOffset_) return;
    autoDcOffset_ = on;
    if (settings_) writeSetting(*settings_, kAutoDcOffsetKey, on);
    notify(&DocObserver::samplesChanged);
}

void CEqDoc::setFftDcOffset(bool on) {
    if (on == fftDcOffset_) return;
    fftDcOffset_ = on;
    if (settings_) writeSetting(*settings_, kFftDcOffsetKey, on);
}

std::string CEqDoc::manualDcOffsetText() const {
    return count_ ? format("%g", slot(current_).manualDcOffset) : std::string();
}

double CEqDoc::dcOffsetInUse(int index) const {
    return autoDcOffset_ ? +record(index).header.dataMean : slot(index).manualDcOffset;
}

void CEqDoc::toggleCropMessage() {
    cropMessage_ = !cropMessage_;
    if (settings_) writeSetting(*settings_, kCropMessageKey, cropMessage_);
}

// --- saving and closing -----------------------------------------------------------------------

bool CEqDoc::save(SaveMode mode, int index) {
    if (mode_ == LoadMode::PictureServer || count_ == 0) return false;
    const bool ok = saveHook_ ? saveHook_(*this, mode, index) : writeSvx4Files(index);
    if (!ok) return false;
    for (int i = 0; i < count_; ++i)
        if (index < 0 || i == index) mutableSlot(i).modified = false;
    if (index < 0) modified_ = false;
    return true;
}

std::vector<WriteChannel> CEqDoc::writeChannels() const {
    std::vector<WriteChannel> channels;
    for (int i = 0; i < count_; ++i)
        channels.push_back(WriteChannel{&slot(i).record, slot(i).samples, slot(i).manualDcOffset});
    return channels;
}

WriterOptions CEqDoc::writerOptions() const {
    WriterOptions options;
    options.autoDcOffset = autoDcOffset_;
    options.dataProcessed = filterCount_ > 0 || integrationLevel_ > 0;
    options.windowSps = sps();
    return options;
}

bool CEqDoc::writeSvx4Files(int index) {
    // Without the save dialog only the program's own format can be written in place: writing
    // SVX Type 4 under the name of a file of another format would destroy that file.
    if (fileKind_ != kKindSvxVolume && !(fileKind_ == kKindSvx4 && subKind_ == SubKind::Binary)) {
        logFormat("save: no writer for file kind %d without the save dialog", fileKind_);
        return false;
    }
    WriterOptions options = writerOptions();
    const std::vector<WriteChannel> channels = writeChannels();
    // One sample type for every record of the window, as a volume has.
    options.sampleType = resolveSampleType(channels, options);
    if (fileKind_ == kKindSvxVolume && index < 0)
        return writeSvxVolume(fileName(0), channels, options, messages_);
    for (int i = 0; i < count_; ++i) {
        if (index >= 0 && i != index) continue;
        if (fileKind_ == kKindSvxVolume) {
            // One record of a volume needs a name of its own, or the volume would be overwritten.
            for (int j = 0; j < count_; ++j)
                if (j != i && fileName(j) == fileName(i)) {
                    logFormat("save: record %d shares the volume's name %s", i + 1, fileName(i).c_str());
                    return false;
                }
        }
        WriterOptions own = options;
        if (slot(i).nameGivenHere) own.askOverwrite = true;
        if (!writeSvx4File(fileName(i), channels[static_cast<std::size_t>(i)], own, messages_)) return false;
        mutableSlot(i).nameGivenHere = false;
    }
    return true;
}

CloseAnswer CEqDoc::queryClose() {
    if (!anyRecordModified()) return CloseAnswer::Close;
    if (mode_ != LoadMode::Interactive) {
        logFormat("closing unattended window with unsaved changes: %s", fileName(0).c_str());
        return CloseAnswer::Close;
    }
    const std::string text = count_ == 1 ? format("Data Modified - Save File %s", fileName(0).c_str())
                                         : "Data Modified - Save File(s)?";
    switch (messages_.ask(text, Buttons::YesNoCancel)) {
    case Answer::Yes:
        return save(SaveMode::SaveAs) ? CloseAnswer::Close : CloseAnswer::KeepOpen;
    case Answer::No:
        for (RecordSlot& s : slots_)
            s.modified = false;
        modified_ = false;
        return CloseAnswer::Close;
    default:
        return CloseAnswer::KeepOpen;
    }
}

void CEqDoc::noteClosed() {
    if (settings_) writeSetting(*settings_, kRealtimeWindowsKey, true);
}

} // namespace tlx
