// Report lists: any text through the four built-in parsers and a fixed-column type gives rows
// with valid dates, bounded texts and coordinates on the globe.
#include "services/report_list.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<tlx::ReportType> types = tlx::parseReportDat(
        "\"1\"\nREPORT_1,0,0,\"\"\n\"2\"\nREPORT_2,0,0,\"\"\n\"3\"\nREPORT_3,0,0,\"\"\n\"4\"\nREPORT_4,0,0,"
        "\"\"\n"
        "\"cols\"\nDATE,0,10,\"YYYY/MMM/DD\"\nTIME,11,12,\"HH:MM:SS.TTT\"\nLATITUDE_SOUTH,24,8,\"DD:MM.MH\"\n"
        "LONGITUDE,33,9,\"DDDD.DDDH\"\nDEPTH,43,5,\"DDDDD\"\nMAGNITUDE,49,7,\"MM.M "
        "TT\"\nQUALITY_CHAR,57,1,\"\"\n"
        "COMMENT,59,400,\"\"\n");
    tlx::ReportList list;
    list.setTypes(types);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int type = 0; type < static_cast<int>(types.size()); ++type) {
        list.parse(text, type, type == 0);
        for (const tlx::ReportRow& r : list.rows()) {
            if (r.month < 1 || r.month > 12 || r.day < 1 || r.day > 31 || r.hour > 23 || r.minute > 59 ||
                r.second > 59 || r.tenths < 0 || r.tenths > 9 || r.year < 0 || r.year > 200)
                std::abort();
            if (!(std::fabs(r.latitude) <= 90) || !(std::fabs(r.longitude) <= 180)) std::abort();
            if (r.comment.size() > tlx::kMaxReportComment || r.magType.size() > tlx::kMaxReportMagType ||
                r.agency.size() > tlx::kMaxReportAgency || r.id.size() > tlx::kMaxReportId)
                std::abort();
            (void)tlx::reportMagnitudeText(r);
            (void)tlx::reportLatitudeText(r.latitude);
        }
        list.sort(static_cast<tlx::ReportColumn>(type % 6), type % 2 == 1);
    }
    return 0;
}
