#include "document/pick_store.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>

namespace tlx {
namespace {

PickEntry makePick(const EventTime& base, const PicksToSave& picks, const PickMarker& m, const char* phase) {
    PickEntry e{};
    e.time = addSeconds(base, static_cast<double>(m.timeMs - picks.axisStartMs) / 1000.0);
    copyToField(e.phase, sizeof e.phase, phase);
    e.pickFlags = static_cast<std::uint16_t>(1u << std::clamp(picks.tableMode, 0, 2));
    const long weight = std::lround(static_cast<double>(m.y - picks.graphTop) * kPickGraphHeight /
                                    std::max(1, picks.graphHeight));
    e.weight = static_cast<std::int16_t>(std::clamp<long>(weight, 0, kPickGraphHeight));
    e.value = static_cast<std::int16_t>(std::lround(std::clamp(picks.depthKm, 0.0, 30000.0)));
    return e;
}

const PickEntry* firstPick(const EventRecord& record, const char* phase) {
    for (const PickEntry& p : record.info.picks)
        if (iequals(trimTrailingBlanks(fieldText(p.phase, sizeof p.phase)), phase)) return &p;
    return nullptr;
}

} // namespace

void savePicks(CEqDoc& doc, const PicksToSave& picks) {
    if (doc.recordCount() == 0) return;
    const EventTime base = doc.record(0).header.startTime;
    std::vector<PickEntry> entries = {makePick(base, picks, picks.p, "P"),
                                      makePick(base, picks, picks.s, "S")};
    if (picks.md) entries.push_back(makePick(base, picks, *picks.md, "Md"));
    for (int i = 0; i < doc.recordCount(); ++i) {
        doc.editRecord(i).info.picks = entries;
        doc.setRecordModified(i);
    }
    doc.setModified(true);
}

void clearPicks(CEqDoc& doc) {
    for (int i = 0; i < doc.recordCount(); ++i) {
        doc.editRecord(i).info.picks.clear();
        doc.setRecordModified(i);
    }
    doc.setModified(true);
}

bool anyRecordHasPicks(const CEqDoc& doc) {
    for (int i = 0; i < doc.recordCount(); ++i)
        if (!doc.record(i).info.picks.empty()) return true;
    return false;
}

std::optional<RestoredPicks> restorePicks(const EventRecord& record, std::int64_t axisStartMs) {
    const PickEntry* p = firstPick(record, "P");
    const PickEntry* s = firstPick(record, "S");
    if (!p || !s) return std::nullopt;
    const std::int64_t startOfDay = timeOfDayMs(record.header.startTime);
    auto marker = [&](const PickEntry& e) {
        // A pick after midnight lies on the record's next day.
        std::int64_t sinceStart = timeOfDayMs(e.time) - startOfDay;
        if (sinceStart < 0) sinceStart += kMsPerDay;
        return RestoredMarker{sinceStart + axisStartMs, e.weight};
    };
    RestoredPicks r{marker(*p), marker(*s), std::nullopt, 0, p->value};
    r.tableMode = (p->pickFlags & 2) ? 1 : (p->pickFlags & 4) ? 2 : 0;
    if (const PickEntry* md = firstPick(record, "Md")) {
        const RestoredMarker m = marker(*md);
        if (m.timeMs > r.p.timeMs && m.timeMs > r.s.timeMs) r.md = m;
    }
    return r;
}

} // namespace tlx
