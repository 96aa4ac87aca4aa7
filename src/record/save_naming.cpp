#include "record/save_naming.h"

#include "core/text.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace tlx {
namespace {

bool endsWithNoCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && iequals(std::string_view(s).substr(s.size() - suffix.size()), suffix);
}

std::string ensureSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir;
}

} // namespace

std::vector<SaveFormatEntry> saveFormatList(SaveListMode mode) {
    switch (mode) {
    case SaveListMode::GifOnly:
        return {{kSaveGif, "GIF Image"}};
    case SaveListMode::DataSet:
        return {{kSaveSvx4, "SVX Type 4"}, {kSaveGif, "GIF Image"}};
    case SaveListMode::Full:
        break;
    }
    return {{kSaveSvx4, "SVX Type 4"}, {kSaveSvx3, "SVX Type 3"},   {kSaveSvxText, "SVX Text"},
            {kSaveSac, "SAC Binary"},  {kSaveMiniSeed, "miniSEED"}, {kSaveGif, "GIF Image"}};
}

std::string applySaveExtension(const std::string& name, int format) {
    switch (format) {
    case kSaveSvx4:
    case kSaveSvx3:
        return endsWithNoCase(name, ".svx") ? name : name + ".svx";
    case kSaveSvxText:
        return endsWithNoCase(name, ".txt") ? name : name + ".txt";
    case kSaveSac: {
        std::string base = name;
        if (base.size() >= 4 && base.compare(base.size() - 4, 4, ".svx") == 0) base.resize(base.size() - 4);
        return endsWithNoCase(base, ".sac") ? base : base + ".sac";
    }
    case kSaveGif:
        return endsWithNoCase(name, ".gif") ? name : name + ".gif";
    case kSaveMiniSeed: {
        std::string base = name;
        if (endsWithNoCase(base, ".svx")) base.resize(base.size() - 4);
        return endsWithNoCase(base, ".mseed") ? base : base + ".mseed";
    }
    default:
        return name;
    }
}

namespace {
bool isSvx(int format) {
    return format == kSaveSvx4 || format == kSaveSvx3;
}
} // namespace

SaveNameState::SaveNameState(std::vector<std::string> names, int format)
    : names_(std::move(names)), format_(format) {
    for (std::string& n : names_)
        n = applySaveExtension(n, format_);
}

void SaveNameState::changeFormat(int format) {
    if (format == format_) return;
    if (isSvx(format_) && !isSvx(format)) svxNames_ = names_;
    if (!isSvx(format_) && isSvx(format) && svxNames_.size() == names_.size()) names_ = svxNames_;
    format_ = format;
    for (std::string& n : names_)
        n = applySaveExtension(n, format_);
}

std::string gifNameBeside(const std::string& recordFile, const std::string& suffix) {
    const std::filesystem::path record(recordFile);
    return (record.parent_path() / dotsToGifName(record.filename().string(), suffix)).string();
}

std::string dotsToGifName(const std::string& fileName, const std::string& suffix) {
    std::string s = fileName;
    for (char& c : s)
        if (c == '.') c = '_';
    return toLower(s + suffix);
}

std::string pictureGifName(const std::string& eventPath, const std::string& target) {
    const fs::path event(eventPath);
    const std::string base = dotsToGifName(event.filename().string());
    if (target.empty()) return (event.parent_path() / base).string();
    const fs::path t(target);
    const bool hasDir = t.has_parent_path();
    const bool isDir = target.back() == '/' || target.back() == '\\' || (fs::is_directory(t));
    // Only the file-name part is lower-cased: directories keep their case on a case-sensitive disk.
    if (isDir) return (t / base).string();
    if (hasDir) return (t.parent_path() / toLower(t.filename().string())).string();
    return (event.parent_path() / toLower(target)).string();
}

std::string mapGifName(const std::string& eventDirectory, const EventRecord* first) {
    if (first == nullptr) return ensureSeparator(eventDirectory) + "eventmap.gif";
    const EventTime t = first->header.startTime;
    return ensureSeparator(eventDirectory) +
           (format("%02d%02d%02d_map.gif", (t.year - 1900) % 100, t.month, t.day));
}

std::string stationCode(const EventRecord& record) {
    std::string s = fieldText(record.header.sensorId, sizeof record.header.sensorId);
    if (s.size() > 6) s.resize(6);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

CivilTime namingTime(const EventRecord& record, bool useEventTime) {
    const CivilTime start = addSeconds(toCivil(record.header.startTime), +record.header.startTimeOffset);
    if (useEventTime && !record.info.events.empty()) {
        const EventTime origin = record.info.events.front().originTime;
        const CivilTime o = toCivil(origin);
        const double d = static_cast<double>(epochSeconds(o) - epochSeconds(start));
        if (d > -900 && d < 900) return o;
    }
    return start;
}

std::string longFileName(const std::string& directory, const EventRecord& record, bool useEventTime) {
    const CivilTime t = namingTime(record, useEventTime);
    return directory + toLower(format("%02d%02d%02d.%02d%02d%02d.%s.svx", (t.year - 1900) % 100, t.month,
                                      t.day, t.hour, t.minute, t.second, stationCode(record).c_str()));
}

bool makeArchiveName(const EventRecord& record, const ArchiveSettings& settings, Messages& messages,
                     std::string& result) {
    if (settings.archiveDirectory.empty()) {
        messages.error("No Archive Directory Defined");
        return false;
    }
    std::string ext = stationCode(record);
    if (ext.empty()) {
        const std::string name = fs::path(record.fileName).filename().string();
        const std::size_t dot = name.find('.');
        if (dot == std::string::npos) {
            messages.error("No File Name Extension Found");
            return false;
        }
        ext = name.substr(dot + 1);
    }
    const CivilTime start = addSeconds(toCivil(record.header.startTime), +record.header.startTimeOffset);
    const int yy = (start.year - 1900) % 100;
    const std::string monthDir =
        format("%s%02d%02d", ensureSeparator(settings.archiveDirectory).c_str(), yy, start.month);
    std::error_code ec;
    if (!fs::is_directory(monthDir, ec)) {
        if (messages.ask(format("Directory %s not found. Create it?", monthDir.c_str()), Buttons::YesNo) ==
            Answer::No)
            return false;
        if (!fs::create_directories(monthDir, ec) && !fs::is_directory(monthDir)) {
            messages.error("Error Creating New Directory");
            return false;
        }
    }
    const std::string dir = monthDir + "/";
    if (settings.longFileNames) {
        result = longFileName(dir, record, settings.useEventTime);
        return true;
    }
    const std::string upperExt = toUpper(ext);
    auto free = [&](const std::string& candidate) {
        // Names are written lower-cased; an existing file in either case counts as taken.
        const fs::path p(candidate);
        return !fs::exists(p, ec) && !fs::exists(p.parent_path() / toLower(p.filename().string()), ec);
    };
    for (char a = 'A'; a <= 'Z'; ++a) {
        const std::string c = format("%02d%02d%02d%c.%s", yy, start.month, start.day, a, upperExt.c_str());
        if (free(dir + c)) {
            result = dir + toLower(c);
            return true;
        }
    }
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b) {
            const std::string c =
                format("%02d%02d%02d%c%c.%s", yy, start.month, start.day, a, b, upperExt.c_str());
            if (free(dir + c)) {
                result = dir + toLower(c);
                return true;
            }
        }
    messages.error("Error Creating Name - To many files");
    return false;
}

} // namespace tlx
