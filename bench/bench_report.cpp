// Report lists: parsing a 100,000-row report file (the data servers' comma-separated list and the
// fixed-column finger list of the shipped REPORT.DAT), and fetching 10 MB from a loopback
// http.server through a web-page service against wget fetching the same URL in the same run.
#include "bench_support.h"

#include "core/data_paths.h"
#include "core/text.h"
#include "platform/process.h"
#include "platform/tcp_socket.h"
#include "services/report_list.h"
#include "services/report_transfer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using namespace tlx;

namespace {

constexpr int kRows = 100000;

std::string csvList() {
    std::string text = "DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY\n";
    for (int i = 0; i < kRows; ++i)
        text += format("2024/%02d/%02d,%02d:%02d:%02d.%d,%.3f,%.3f,%.1f,%.1f,Ml,NC\n", 1 + i % 12, 1 + i % 28,
                       i % 24, i % 60, (i * 7) % 60, i % 10, -60 + (i * 7919LL % 12000) / 100.0,
                       -180 + (i * 104729LL % 36000) / 100.0, (i % 600) / 1.7, (i % 80) / 10.0);
    return text;
}

std::string fingerList() {
    std::string text = "DATE-(UTC)-TIME    LAT      LON     DEP   MAG  Q  COMMENTS\n";
    for (int i = 0; i < kRows; ++i)
        text +=
            format("%02d/%02d/%02d %02d:%02d:%02d  %02d.%02dN  %03d.%02dW  %5.1f %1d.%1d Mw A  REGION %d\n",
                   i % 100, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60, i % 90, i % 100, i % 180,
                   i % 100, (i % 600) / 1.7, i % 9, i % 10, i);
    return text;
}

} // namespace

int main() {
    ReportList list;
    list.loadTypes({shippedDataDirectory()});
    for (const auto& [name, text, type] : {std::tuple{"comma-separated (REPORT_3)", csvList(), 2},
                                           std::tuple{"fixed columns (finger list)", fingerList(), 1}}) {
        const double seconds = bench::bestSeconds(5, [&] { list.parse(text, type, false); });
        if (list.rows().size() != static_cast<std::size_t>(kRows)) {
            std::fprintf(stderr, "%s: %zu rows parsed\n", name, list.rows().size());
            return 1;
        }
        std::printf("parse %d rows, %s, %.1f MB: %.1f ms, %.2f million rows/s\n", kRows, name,
                    text.size() / 1e6, seconds * 1e3, kRows / seconds / 1e6);
    }

    // 10 MB from Python's http.server on 127.0.0.1.
    const std::filesystem::path dir = bench::scratchPath("report-fetch");
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "big.txt", std::ios::binary);
        const std::string line(99, 'x');
        for (int i = 0; i < 100000; ++i)
            out << line << '\n';
    }
    int port = 0;
    {
        TcpListener probe;
        if (!probe.listen("127.0.0.1")) return 1;
        port = probe.port();
    }
    ChildProcess server;
    SpawnOptions options;
    options.discardStderr = options.captureStdout = true;
    options.workingDirectory = dir.string();
    if (!server.start({"/usr/bin/python3", "-m", "http.server", "--bind", "127.0.0.1", std::to_string(port)},
                      options))
        return 1;
    for (int i = 0; i < 200; ++i) {
        TcpSocket s;
        if (s.connect("127.0.0.1", port, 100) == NetStatus::Ok) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/big.txt";
    ReportService service;
    parseServiceLine(url + " (big)", service);
    std::uint64_t bytes = 0;
    const double ours = bench::bestSeconds(5, [&] {
        ReportTransfer transfer;
        transfer.start(service, {}, dir);
        transfer.join();
        if (!transfer.succeeded()) std::abort();
        bytes = transfer.bytesReceived();
    });
    const double wget = bench::bestSeconds(5, [&] {
        if (runProgram({"wget", "-q", "-O", (dir / "wget.txt").string(), url}) != 0) std::abort();
    });
    server.kill(15);
    std::printf("fetch %.1f MB from loopback http.server: web-page service %.1f ms, wget %.1f ms\n",
                bytes / 1e6, ours * 1e3, wget * 1e3);
    std::filesystem::remove_all(dir);
    return 0;
}
