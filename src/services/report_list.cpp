#include "services/report_list.h"

#include "core/file_io.h"
#include "core/text.h"
#include "seismo/regions.h"

#include <algorithm>
#include <cstdlib>

namespace tlx {

namespace {

constexpr std::size_t kMinReportLine = 9; // shorter, with its line end, than 10 characters
constexpr std::uint64_t kMaxReportFileBytes = 64u << 20;

// The type whose detection text occurs in a line of text; -1 when none does.
int detectType(std::string_view text, const std::vector<ReportType>& types) {
    TextLines lines(text, kMaxReportLine);
    for (std::string_view line; lines.next(line);) {
        if (line.size() < kMinReportLine) continue;
        for (std::size_t t = 0; t < types.size(); ++t)
            if (!types[t].detect.empty() && line.find(types[t].detect) != std::string_view::npos)
                return static_cast<int>(t);
    }
    return -1;
}

} // namespace

void ReportList::loadTypes(const std::vector<std::filesystem::path>& folders) {
    if (typesLoaded_) return;
    types_ = loadReportDat(folders);
    typesLoaded_ = true;
}

void ReportList::setTypes(std::vector<ReportType> types) {
    types_ = std::move(types);
    typesLoaded_ = true;
}

bool ReportList::load(const std::filesystem::path& file, int typeIndex, bool detect) {
    std::string text;
    if (!readTextFile(file, text, kMaxReportFileBytes)) return false;
    fileName_ = file.string();
    parse(text, typeIndex, detect);
    return true;
}

void ReportList::parse(std::string_view text, int typeIndex, bool detect) {
    if (detect) {
        if (const int found = detectType(text, types_); found >= 0) typeIndex = found;
    }
    typeIndex_ = typeIndex;
    rows_.clear();
    selected_ = -1;
    if (typeIndex < 0 || typeIndex >= static_cast<int>(types_.size())) return;
    const ReportType& type = types_[static_cast<std::size_t>(typeIndex)];
    TextLines lines(text, kMaxReportLine);
    ReportRow row;
    for (std::string_view line; lines.next(line);) {
        if (line.size() < kMinReportLine || !parseReportLine(type, line, row)) continue;
        if (row.comment.empty()) row.comment = std::string(trim(regionName(row.latitude, row.longitude)));
        rows_.push_back(std::move(row));
    }
    if (!rows_.empty()) selected_ = 0;
}

int ReportList::add(ReportRow row) {
    if (row.comment.empty()) row.comment = std::string(trim(regionName(row.latitude, row.longitude)));
    rows_.push_back(std::move(row));
    selected_ = static_cast<int>(rows_.size()) - 1;
    return selected_;
}

void ReportList::sort(ReportColumn column, bool descending) {
    std::vector<int> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    const auto key = [&](const ReportRow& r) -> double {
        switch (column) {
        case ReportColumn::Time:
            return static_cast<double>(r.epochSeconds());
        case ReportColumn::Latitude:
            return r.latitude;
        case ReportColumn::Longitude:
            return r.longitude;
        case ReportColumn::Magnitude:
            return r.magnitude;
        case ReportColumn::Depth:
            return r.depth;
        default:
            return 0;
        }
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const ReportRow& x = rows_[static_cast<std::size_t>(descending ? b : a)];
        const ReportRow& y = rows_[static_cast<std::size_t>(descending ? a : b)];
        if (column == ReportColumn::Comment) return x.comment < y.comment;
        return key(x) < key(y);
    });
    std::vector<ReportRow> sorted;
    sorted.reserve(rows_.size());
    int selected = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == selected_) selected = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    selected_ = selected;
}

std::optional<int> ReportList::search(const EventTime& recordStart) const {
    const std::int64_t start = epochSeconds(toCivil(recordStart));
    std::optional<int> best;
    std::int64_t bestDiff = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::int64_t diff = std::llabs(rows_[i].epochSeconds() - start);
        if (diff < kReportMatchSeconds && (!best || diff < bestDiff)) {
            best = static_cast<int>(i);
            bestDiff = diff;
        }
    }
    return best;
}

} // namespace tlx
