// The application-wide report list: the rows of the last loaded report file with the report type,
// the file name and the selected row, kept between openings of the Event Report dialog.
#pragma once

#include "services/report_types.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tlx {

enum class ReportColumn { Time = 0, Latitude, Longitude, Magnitude, Depth, Comment };

constexpr std::size_t kMaxReportLine = 510;
constexpr double kReportMatchSeconds = 600;

class ReportList {
  public:
    // REPORT.DAT, read once per run (later calls keep the first result).
    void loadTypes(const std::vector<std::filesystem::path>& folders);
    void setTypes(std::vector<ReportType> types);
    const std::vector<ReportType>& types() const { return types_; }

    // Reads a report file with type typeIndex, or with the type whose detection text a line holds
    // when detect is set; false only when the file cannot be read (the list then stays as it was).
    bool load(const std::filesystem::path& file, int typeIndex, bool detect);
    // The same on a text already in memory.
    void parse(std::string_view text, int typeIndex, bool detect);
    // Appends a row made by the operator (a point on the map) and selects it; an empty comment gets
    // the region name as on loading. Its index.
    int add(ReportRow row);

    const std::vector<ReportRow>& rows() const { return rows_; }
    bool empty() const { return rows_.empty(); }
    int typeIndex() const { return typeIndex_; }
    void setTypeIndex(int index) { typeIndex_ = index; }
    const std::string& fileName() const { return fileName_; }

    // -1: no row selected.
    int selected() const { return selected_; }
    void select(int index) { selected_ = index >= 0 && index < static_cast<int>(rows_.size()) ? index : -1; }
    const ReportRow* selectedRow() const {
        return selected_ >= 0 ? &rows_[static_cast<std::size_t>(selected_)] : nullptr;
    }

    // Sorts by a column (0..5), keeping the selected row selected.
    void sort(ReportColumn column, bool descending);
    // The row nearest to a record's start time, less than 600 s away (first wins on ties).
    std::optional<int> search(const EventTime& recordStart) const;

  private:
    std::vector<ReportType> types_;
    bool typesLoaded_ = false;
    std::vector<ReportRow> rows_;
    int typeIndex_ = -1;
    int selected_ = -1;
    std::string fileName_;
};

} // namespace tlx
