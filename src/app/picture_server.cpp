#include "app/picture_server.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/text.h"

#include <QMdiSubWindow>
#include <QStatusBar>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace fs = std::filesystem;

namespace tlx::app {
namespace {

constexpr std::size_t kMaxRequestBytes = 4096;

bool isRequestName(const std::string& name) {
    const std::string lower = toLower(name);
    return lower.size() >= 6 && lower.rfind("rq", 0) == 0 && lower.ends_with(".req");
}

// The record whose samples swing furthest from their mean.
int largestPeakRecord(const CEqDoc& doc) {
    int best = 0;
    double bestPeak = -1;
    for (int i = 0; i < doc.recordCount(); ++i) {
        const std::span<const double> v = doc.samples(i);
        if (v.empty()) continue;
        double mean = 0;
        for (double x : v)
            mean += x;
        mean /= static_cast<double>(v.size());
        double peak = 0;
        for (double x : v)
            peak = std::max(peak, std::abs(x - mean));
        if (peak > bestPeak) {
            bestPeak = peak;
            best = i;
        }
    }
    return best;
}

} // namespace

std::optional<PictureRequest> takePictureRequest(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (isRequestName(e.path().filename().string()) && e.is_regular_file(ec)) found.push_back(e.path());
    if (found.empty()) return std::nullopt;
    const fs::path file = *std::min_element(found.begin(), found.end());
    std::vector<std::uint8_t> bytes;
    const bool read = readWholeFile(file, bytes, kMaxRequestBytes);
    fs::remove(file, ec);
    if (!read) return std::nullopt;
    std::istringstream words(std::string(bytes.begin(), bytes.end()));
    PictureRequest request;
    if (!(words >> request.eventFile)) return std::nullopt;
    words >> request.imageFile;
    return request;
}

PictureServer::PictureServer(CMainFrame& frame, fs::path folder) : frame_(frame), folder_(std::move(folder)) {
    logFormat("GIF Server Mode Enabled Request File Location = %s", folder_.string().c_str());
    connect(&timer_, &QTimer::timeout, this, &PictureServer::poll);
    timer_.start(500);
}

void PictureServer::poll() {
    const std::optional<PictureRequest> request = takePictureRequest(folder_);
    if (!request) return;
    if (toLower(request->eventFile) == "stop") {
        timer_.stop();
        frame_.close();
        return;
    }
    // The named file replaces the window's records.
    if (window_)
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window_->parentWidget())) {
            sub->close();
            sub->deleteLater();
        }
    window_ = frame_.openFiles({request->eventFile}, LoadMode::PictureServer);
    if (!window_) {
        logFormat("GIF Server: can't open %s", request->eventFile.c_str());
        return;
    }
    // One record is drawn; of a data set, the one with the largest peak.
    if (window_->doc().recordCount() > 1) {
        const int record = largestPeakRecord(window_->doc());
        window_->doc().displayRecord(record);
        window_->refresh();
        logFormat("GIF Server: record %d of %s", record + 1, request->eventFile.c_str());
    }
    if (!frame_.writeGif(window_, request->imageFile)) return;
    ++served_;
    frame_.statusBar()->showMessage(QString::asprintf("Served:%d", served_));
}

} // namespace tlx::app
