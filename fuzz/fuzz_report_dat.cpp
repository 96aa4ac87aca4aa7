// REPORT.DAT and NETWORK.DAT: any text gives bounded types and services, never a crash.
#include "services/network_services.h"
#include "services/report_types.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const tlx::ReportType& type : tlx::parseReportDat(text)) {
        if (type.fields.size() > tlx::kMaxReportFields) std::abort();
        for (const tlx::ReportField& f : type.fields)
            if (f.start < 0 || f.length < 0 || f.format.size() > tlx::kMaxReportDatLine) std::abort();
    }
    tlx::NetworkServices services;
    services.parse(text);
    for (const tlx::ReportService& s : services.offered()) {
        if (s.line.size() > tlx::kMaxNetworkLine) std::abort();
        if (s.kind != tlx::ServiceKind::Program && (s.port < 1 || s.port > 65535)) std::abort();
        (void)tlx::serviceListText(s);
    }
    return 0;
}
