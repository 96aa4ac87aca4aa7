// Names for saved event files and images: save-format extensions, the default GIF names of the
// views, the long form "yymmdd.hhmmss.station.svx" and the automatic archive names.
#pragma once

#include "core/messages.h"
#include "record/event_record.h"
#include "record/save_format.h"

#include <string>
#include <vector>

namespace tlx {

enum class SaveListMode { Full, DataSet, GifOnly };
struct SaveFormatEntry {
    int index;
    const char* text;
};
// The "S&ave Format:" list for a document kind.
std::vector<SaveFormatEntry> saveFormatList(SaveListMode mode);

// Applies the extension rule of a save format to a file name.
std::string applySaveExtension(const std::string& name, int format);

// The names of the save dialog across format changes: leaving an SVX type keeps its names, and
// coming back to one restores them (with ".svx" ensured).
class SaveNameState {
  public:
    SaveNameState(std::vector<std::string> names, int format);
    void changeFormat(int format);
    void setName(std::size_t i, const std::string& name) { names_.at(i) = name; }
    const std::vector<std::string>& names() const { return names_; }
    int format() const { return format_; }

  private:
    std::vector<std::string> names_;
    std::vector<std::string> svxNames_;
    int format_;
};

// "name.ext" -> "name_ext.gif", lower-cased (the event view's automatic picture name).
std::string dotsToGifName(const std::string& fileName, const std::string& suffix = ".gif");
// A window's picture name beside its record's file: the folder, then dotsToGifName of the name.
std::string gifNameBeside(const std::string& recordFile, const std::string& suffix);

// The picture-mode GIF name for an event file and an optional target from the command line.
std::string pictureGifName(const std::string& eventPath, const std::string& target);

// "%02d%02d%02d_map.gif" in the event directory, or "eventmap.gif" without a record.
std::string mapGifName(const std::string& eventDirectory, const EventRecord* first);

// Station code: first 6 characters of the sensor id, trailing blanks removed.
std::string stationCode(const EventRecord& record);

// The time a long name is built from: the start time, or with `useEventTime` the first event's
// origin time when it lies within 900 s of the start.
CivilTime namingTime(const EventRecord& record, bool useEventTime);

// directory + "yymmdd.hhmmss.station.svx", lower-cased; `directory` ends with a separator or is empty.
std::string longFileName(const std::string& directory, const EventRecord& record, bool useEventTime);

struct ArchiveSettings {
    std::string archiveDirectory; // with a trailing separator; empty: none
    bool longFileNames = true;
    bool useEventTime = true;
};

// The archive name for one record (the "&Make" button). Asks before creating the month directory;
// on failure shows the message and returns false.
bool makeArchiveName(const EventRecord& record, const ArchiveSettings& settings, Messages& messages,
                     std::string& result);

} // namespace tlx
