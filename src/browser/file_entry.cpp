#include "browser/file_entry.h"

#include "core/text.h"
#include "record/event_record.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

namespace tlx::browser {
namespace {

std::string timeColumn(const CivilTime& t) {
    return format("%02d/%02d/%02d %02d:%02d:%02d", t.month, t.day, t.year % 100, t.hour, t.minute, t.second);
}

std::string channelName(const EventRecord& r) {
    std::string name = format("%s.%s", r.stationName().c_str(), r.component().c_str());
    const std::string net = fieldText(r.info.seedNetwork, sizeof r.info.seedNetwork);
    const std::string loc = fieldText(r.info.seedLocation, sizeof r.info.seedLocation);
    if (!trim(net).empty()) name += "." + std::string(trim(net));
    if (!trim(loc).empty()) name += "." + std::string(trim(loc));
    return name;
}

std::string commentColumn(int kind, const LoadResult& header, const EventRecord& r) {
    const std::size_t channels = header.channels.size();
    switch (kind) {
    case kKindSeed:
        return "SEED Data Set";
    case kKindMiniSeed:
    case kKindMiniSeedSet:
        if (channels > 1)
            return format("MINISEED Data Set - First Record: %s %s", r.stationName().c_str(),
                          r.component().c_str());
        return "MINISEED File - Channel: " + channelName(r);
    case kKindPepp:
        if (channels > 1) return "PEPP Data Set";
        break;
    case kKindGse2:
        if (channels > 1) return "GSE2.0 Data Set";
        break;
    default:
        break;
    }
    std::string text(trim(r.info.comment));
    const char o = r.header.orientation;
    if (kind == kKindSvxVolume)
        text = text.empty() ? "SVX Dataset" : text + " - SVX Dataset";
    else if (std::isgraph(static_cast<unsigned char>(o)))
        text = text.empty() ? format("Sensor Orientation %c", o) : text + format(" (%c)", o);
    return text.empty() ? "Sensor Orientation ?" : text;
}

void fill(FileEntry& e, const EventRecord& r) {
    e.start = toCivil(addSeconds(r.header.startTime, r.header.startTimeOffset));
    e.startSeconds = epochSeconds(e.start);
    e.station = r.stationName();
    e.component = r.component().substr(0, 3);
    e.sps = r.header.sps;
    e.sampleCount = r.header.sampleCount;
    e.sensorType = r.header.sensorType;
    e.columns[kColumnTime] = timeColumn(e.start);
}

} // namespace

FileEntry summarise(const std::string& path, std::int64_t writeTime, const LoadResult& header) {
    FileEntry e;
    e.path = path;
    e.kind = header.kind;
    e.writeTime = writeTime;
    e.columns[kColumnFile] = std::filesystem::path(path).filename().string();
    if (header.channels.empty()) return e;
    const EventRecord& r = header.channels.front().record;
    fill(e, r);
    // SEED, miniSEED, SVX volumes, PEPP and GSE2.0 files of several channels list them first.
    e.dataSet = header.channels.size() > 1;
    e.columns[kColumnComment] = commentColumn(header.kind, header, r);
    return e;
}

std::vector<FileEntry> dataSetEntries(const std::string& path, const LoadResult& header) {
    std::vector<FileEntry> out;
    for (std::size_t i = 0; i < header.channels.size(); ++i) {
        const EventRecord& r = header.channels[i].record;
        FileEntry e;
        e.path = path;
        e.kind = header.kind;
        e.channel = static_cast<int>(i);
        fill(e, r);
        e.columns[kColumnFile] = std::filesystem::path(path).filename().string();
        switch (header.kind) {
        case kKindSeed:
        case kKindMiniSeedSet:
        case kKindMiniSeed:
            e.columns[kColumnComment] = format("MINISEED Dataset File - Channel: %s - %s",
                                               r.stationName().c_str(), r.component().c_str());
            break;
        case kKindGse2:
            // The waveform list's own row: its start to the rounded second, station and calibration.
            e.columns[kColumnFile] = "GSE2.0 Data Set";
            e.columns[kColumnTime] =
                timeColumn(toCivil(addSeconds(r.header.startTime, r.header.startTimeOffset + 0.5)));
            e.columns[kColumnComment] = format("%s %s", r.stationName().c_str(), r.info.comment.c_str());
            break;
        case kKindPepp:
            e.columns[kColumnComment] =
                format("PEPP Data Set - Channel: %s - %s", r.stationName().c_str(), r.component().c_str());
            break;
        default:
            e.columns[kColumnComment] = commentColumn(kKindSvx4, header, r);
            break;
        }
        out.push_back(std::move(e));
    }
    return out;
}

void sortEntries(std::vector<FileEntry>& entries, int column, bool descending) {
    auto less = [column](const FileEntry& a, const FileEntry& b) {
        if (column == kColumnTime) {
            if (a.startSeconds != b.startSeconds) return a.startSeconds < b.startSeconds;
            return a.station < b.station;
        }
        const int c = column == kColumnComment ? kColumnComment : kColumnFile;
        return a.columns[c] < b.columns[c];
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const FileEntry& a, const FileEntry& b) {
        return descending ? less(b, a) : less(a, b);
    });
}

void SortOrder::click(int clicked) {
    if (clicked == column)
        descending = !descending;
    else
        column = clicked;
}

bool entriesAgree(const std::vector<const FileEntry*>& rows) {
    if (rows.size() < 2 || rows.size() > 3) return false;
    const FileEntry& first = *rows.front();
    for (const FileEntry* e : rows) {
        if (e->channel < 0 ? e->kind != kKindSvx4 : e->station != first.station) return false;
        if (e->sampleCount != first.sampleCount || e->sps != first.sps || e->sps <= 0) return false;
        const double apart = static_cast<double>(e->startSeconds - first.startSeconds) +
                             (e->start.nanoseconds - first.start.nanoseconds) * 1e-9;
        if (std::fabs(apart) > 1.0 / e->sps) return false;
    }
    return true;
}

} // namespace tlx::browser
