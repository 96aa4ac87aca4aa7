#include "feedgrab/feedgrab.h"

#include "core/atomic_file.h"
#include "platform/process.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace tlx::feedgrab {

void StandardConsole::print(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout); // the main program shows each message as soon as it arrives on the pipe
}

void StandardConsole::log(std::string_view message) {
    appendLogLine(kLogFile, message);
}

void appendLogLine(const std::string& path, std::string_view message) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%m/%d/%y %H:%M:%S", &local);
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (!f) return;
    std::fprintf(f, "%s %.*s\n", stamp, static_cast<int>(message.size()), message.data());
    std::fclose(f);
}

void processDownload(const std::string& feedPath, const ReportRequest& request, FeedConsole& console) {
    std::FILE* in = std::fopen(feedPath.c_str(), "rb");
    if (!in) {
        console.print("Error: Opening file " + feedPath + "\n");
        return;
    }
    const bool toFile = !request.outFile.empty();
    AtomicFileWriter out(request.outFile);
    if (toFile && !out.open()) {
        std::fclose(in);
        console.print("Error: Opening file " + request.outFile + "\n");
        return;
    }

    FeedScanner scanner(console);
    std::vector<char> buffer(1 << 16);
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        if (!scanner.add(buffer.data(), n)) break;
    std::fclose(in);

    const FeatureStore& features = scanner.features();
    std::string report;
    if (features.empty()) {
        console.print("Error: No Data\n");
    } else {
        if (!toFile) console.print("       TIME          LAT     LONG   MAG    DEP          LOCATION\n");
        FormatOptions options;
        options.fileDates = toFile;
        options.home = request.home;
        std::string line;
        // The feed lists the newest first; the report runs oldest first.
        for (std::size_t i = features.size(); i-- > 0;) {
            if (!formatFeature(features.at(i), options, line, console)) continue;
            line += '\n';
            if (toFile)
                report += line;
            else
                console.print(line);
        }
    }
    if (toFile && !(out.write(report.data(), report.size()) && out.commit()))
        console.print("Error: Opening file " + request.outFile + "\n");
}

int runFeedgrab(const std::vector<std::string>& args, FeedConsole& console, const std::string& downloader) {
    std::error_code ec;
    std::filesystem::remove(kDownloadFile, ec);
    const CommandLine cl = parseCommandLine(args);
    if (!cl.ok) {
        console.print(kUsageText);
        return 1;
    }
    console.print("Running wget.exe to retrive report information. Please wait...\n");

    ChildProcess wget;
    if (!wget.start({downloader, "-q", "-O", kDownloadFile, "--", cl.url})) {
        console.print("Create Process Failed\n");
        return 1;
    }
    if (wget.wait(-1) == WaitStatus::Exited && wget.exitCode() == 0) {
        HomeFilter home;
        if (cl.useFilter) readFilterFile(cl.filterFile, home, console);
        ReportRequest request;
        request.outFile = cl.outFile;
        request.home = cl.useFilter ? &home : nullptr;
        processDownload(kDownloadFile, request, console);
    }
    std::filesystem::remove(kDownloadFile, ec);
    return 0;
}

} // namespace tlx::feedgrab
