// Turning a 100,000-event GeoJSON feed (USGS-style lines) into the filtered report file, against
// a bare fread of the same file with a line count (the I/O floor).
#include "bench_support.h"

#include "feedgrab/feedgrab.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace tlx;

namespace {

struct QuietConsole : feedgrab::FeedConsole {
    std::size_t messages = 0;
    void print(std::string_view) override { ++messages; }
    void log(std::string_view) override { ++messages; }
};

std::string featureLine(int i) {
    char line[1200];
    const double lat = -60 + (i * 7919LL % 12000) / 100.0;
    const double lon = -180 + (i * 104729LL % 36000) / 100.0;
    std::snprintf(
        line, sizeof line,
        "{\"type\":\"Feature\",\"properties\":{\"mag\":%.2f,\"place\":\"%d km SSW of Example Town %d, "
        "Region\",\"time\":%lld,\"updated\":1700000300000,\"tz\":null,\"url\":\"https://example.invalid/"
        "earthquakes/eventpage/xx%08d\",\"detail\":\"https://example.invalid/earthquakes/feed/v1.0/detail/"
        "xx%08d.geojson\",\"felt\":null,\"cdi\":null,\"mmi\":null,\"alert\":null,\"status\":\"automatic\","
        "\"tsunami\":0,\"sig\":12,\"net\":\"xx\",\"code\":\"%08d\",\"ids\":\",xx%08d,\",\"sources\":\",xx,\","
        "\"types\":\",origin,phase-data,\",\"nst\":17,\"dmin\":0.05,\"rms\":0.12,\"gap\":77,\"magType\":"
        "\"ml\","
        "\"type\":\"earthquake\",\"title\":\"M %.1f - example\"},\"geometry\":{\"type\":\"Point\","
        "\"coordinates\":[%.4f,%.4f,%.2f]},\"id\":\"xx%08d\"},\n",
        (i % 80) / 10.0 - 0.5, i % 50, i, 1700000000000LL - 37000LL * i, i, i, i, i, (i % 80) / 10.0, lon,
        lat, (i % 600) / 1.7, i);
    return line;
}

} // namespace

int main() {
    const int events = 100000;
    const std::string feedPath = bench::scratchPath("feed.json");
    const std::string reportPath = bench::scratchPath("feed.rpt");
    {
        std::FILE* f = std::fopen(feedPath.c_str(), "wb");
        std::fputs("{\"type\":\"FeatureCollection\",\"metadata\":{\"count\":100000},\"features\":[\n", f);
        for (int i = 0; i < events; ++i)
            std::fputs(featureLine(i).c_str(), f);
        if (std::ftell(f) > (1L << 30)) std::abort(); // a generator fault, not a feed
        std::fputs("]}\n", f);
        std::fclose(f);
    }
    feedgrab::HomeFilter home;
    home.latitude = 47.25;
    home.longitude = -122.5;
    home.name = "Seattle";
    home.filters = {{2.0, 2000.0}, {4.0, 8000.0}, {6.0, 20000.0}};
    feedgrab::ReportRequest request;
    request.outFile = reportPath;
    request.home = &home;
    QuietConsole console;

    const double report =
        bench::bestSeconds(5, [&] { feedgrab::processDownload(feedPath, request, console); });
    const double unfiltered = bench::bestSeconds(5, [&] {
        feedgrab::ReportRequest plain;
        plain.outFile = reportPath;
        feedgrab::processDownload(feedPath, plain, console);
    });
    const double consoleOnly = bench::bestSeconds(5, [&] {
        feedgrab::ReportRequest toConsole; // formatted lines go to the console object: no file, no fsync
        toConsole.home = &home;
        feedgrab::processDownload(feedPath, toConsole, console);
    });
    // The floor: reading the lines the store takes in (header + 16000 features), and the whole file.
    auto bareRead = [&](std::size_t maxLines) {
        std::FILE* f = std::fopen(feedPath.c_str(), "rb");
        std::vector<char> buffer(1 << 16);
        std::size_t n, lines = 0;
        while (lines < maxLines && (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0)
            for (const char* p = buffer.data();
                 (p = static_cast<const char*>(std::memchr(p, '\n', buffer.data() + n - p))); ++p)
                ++lines;
        std::fclose(f);
        if (lines == 0) std::abort();
    };
    const double bareStored = bench::bestSeconds(5, [&] { bareRead(feedgrab::kMaxFeatures + 1); });
    const double bareWhole = bench::bestSeconds(5, [&] { bareRead(~std::size_t{0}); });
    const std::int64_t peak =
        bench::peakMemoryBytes([&] { feedgrab::processDownload(feedPath, request, console); });

    std::FILE* f = std::fopen(feedPath.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long feedBytes = std::ftell(f);
    std::fclose(f);
    int reportLines = 0;
    f = std::fopen(reportPath.c_str(), "rb");
    for (int c; (c = std::fgetc(f)) != EOF;)
        reportLines += c == '\n';
    std::fclose(f);

    std::printf("feed: %d events, %.1f MB; the store keeps the newest %zu\n", events, feedBytes / 1e6,
                feedgrab::kMaxFeatures);
    std::printf("report with 3 filters: %.1f ms (%d lines); without filters: %.1f ms (16000 lines)\n",
                report * 1e3, reportLines, unfiltered * 1e3);
    std::printf("filtered, lines handed to the console instead of a file: %.1f ms\n", consoleOnly * 1e3);
    std::printf("bare fread + line count: first %zu lines %.1f ms, whole file %.1f ms\n",
                feedgrab::kMaxFeatures + 1, bareStored * 1e3, bareWhole * 1e3);
    std::printf("peak memory added by a filtered run: %.1f MB\n", peak / 1e6);
    std::remove(feedPath.c_str());
    std::remove(reportPath.c_str());
    return 0;
}
