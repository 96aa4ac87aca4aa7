#include "views/eq_view_model.h"

#include "core/text.h"
#include "seismo/coda.h"

#include <algorithm>
#include <cmath>

namespace tlx::views {
namespace {

double recordStartMsOf(const EventRecord& r) {
    const ChannelHeader& h = r.header;
    const CivilTime t = addSeconds(toCivil(h.startTime), +h.startTimeOffset);
    return static_cast<double>(timeOfDayMs(t) - t.nanoseconds / 1'000'000) + t.nanoseconds / 1e6;
}

bool hasCalibration(const EventRecord& r) {
    const double sensitivity = r.header.sensitivity;
    return r.header.sensorType != 0 && sensitivity != 0;
}

const char* sensorUnit(int sensorType) {
    switch (sensorType) {
    case 1:
        return "m/sec\xc2\xb2";
    case 2:
        return "m/sec";
    case 3:
        return "m";
    default:
        return "";
    }
}

} // namespace

void EqViewModel::setSources(std::vector<TraceSource> sources) {
    if (sources.size() > 3) sources.resize(3);
    sources_ = std::move(sources);
    current_ = 0;
    alone_ = -1;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        scales_[i] = {};
        scales_[i].mode = defaultMode(*sources_[i].record);
    }
    reset();
}

void EqViewModel::updateSources(std::vector<TraceSource> sources) {
    if (sources.size() != sources_.size()) {
        setSources(std::move(sources));
        return;
    }
    sources_ = std::move(sources);
    for (std::size_t i = 0; i < sources_.size(); ++i)
        computeScale(static_cast<int>(i));
}

double EqViewModel::recordStartMs(int slot) const {
    double ms = recordStartMsOf(*sources_[static_cast<std::size_t>(slot)].record);
    // Records of one window lie within hours of each other; a start on the next day keeps its order.
    if (slot > 0 && ms + kMsPerDay / 2 < static_cast<double>(startMs_)) ms += kMsPerDay;
    return ms;
}

void EqViewModel::computeTimeAxis() {
    if (sources_.empty()) return;
    const ChannelHeader& h = sources_[0].record->header;
    const double sps = h.sps;
    const double exact = recordStartMsOf(*sources_[0].record);
    std::int64_t start = static_cast<std::int64_t>(std::floor(exact));
    wholeSecondOffset_ = 0;
    if (start % 1000 != 0 || exact != std::floor(exact)) {
        const std::int64_t next = (start / 1000 + 1) * 1000;
        if (sps > 1)
            wholeSecondOffset_ =
                static_cast<int>(std::lround((static_cast<double>(next) - exact) / 1000 * sps));
        start = next;
    }
    startMs_ = start;
    const long count = static_cast<long>(sources_[0].samples.size());
    durationSec_ = sps > 0 ? static_cast<int>(count / sps) : 1;
    if (wholeSecondOffset_ > 0) durationSec_ -= 1;
    durationSec_ = std::max(durationSec_, 1);
}

void EqViewModel::reset() {
    computeTimeAxis();
    leftMs_ = startMs_;
    spanSec_ = durationSec_;
    zoomIndex_ = 0;
    options_.headerLines = true;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        scales_[i].fixed = false;
        computeScale(static_cast<int>(i));
    }
}

void EqViewModel::computeScale(int slot) {
    RecordScale& s = scales_[static_cast<std::size_t>(slot)];
    const EventRecord& r = *sources_[static_cast<std::size_t>(slot)].record;
    const double mean = r.header.dataMean;
    s.offset = options_.autoDcOffset ? mean : sources_[static_cast<std::size_t>(slot)].manualDcOffset;
    s.unitsPerCount = unitsPerCount(s.mode, r);
    if (s.unitsPerCount <= 0) {
        s.mode = kModeCounts;
        s.unitsPerCount = 1;
    }
    if (s.fixed) return;
    const double dataMin = r.header.dataMin, dataMax = r.header.dataMax;
    double a = std::fabs(dataMin - s.offset), b = std::fabs(dataMax - s.offset);
    if (a == b) a = 1;
    const double amplitude = std::max(a, b) * s.unitsPerCount;
    const Engineering e = engineeringSplit(amplitude, s.mode == kModeSensor && options_.cmDspOk);
    s.fullScale = tidyFullScale(e.mantissa);
    s.multiplier = e.multiplier;
}

void EqViewModel::setFullScale(int slot, double value, double multiplier) {
    RecordScale& s = scales_[static_cast<std::size_t>(slot)];
    if (value <= 1 || value > 999.9) {
        const Engineering e = engineeringSplit(value / multiplier);
        value = e.mantissa;
        multiplier = e.multiplier;
    }
    s.fullScale = value;
    s.multiplier = multiplier;
    s.fixed = true;
}

bool EqViewModel::setMode(int mode, bool allRecords) {
    if (sources_.empty() || !modeAvailable(mode, *sources_[static_cast<std::size_t>(current_)].record))
        return false;
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        if (!allRecords && static_cast<int>(i) != current_) continue;
        if (!modeAvailable(mode, *sources_[i].record)) continue;
        scales_[i].mode = mode;
        scales_[i].fixed = false;
        computeScale(static_cast<int>(i));
    }
    zoomIndex_ = 0;
    return true;
}

void EqViewModel::setMode(int mode) {
    setMode(mode, false);
}

std::vector<int> EqViewModel::shownSlots() const {
    if (alone_ >= 0) return {alone_};
    std::vector<int> slots;
    for (std::size_t i = 0; i < sources_.size(); ++i)
        slots.push_back(static_cast<int>(i));
    return slots;
}

void EqViewModel::showAlone(int slot) {
    alone_ = slot >= 0 && slot < static_cast<int>(sources_.size()) && sources_.size() > 1 ? slot : -1;
    if (alone_ >= 0) current_ = alone_;
}

void EqViewModel::selectRecord(int slot) {
    if (slot >= 0 && slot < static_cast<int>(sources_.size())) current_ = slot;
}

int EqViewModel::headerRoomLines() const {
    if (output_ == Output::Screen || sources_.empty()) return 0;
    int lines = 0;
    if (options_.headerLines) lines = sources_[0].record->info.events.empty() ? 2 : 3;
    if (output_ == Output::Print)
        lines += hasCalibration(*sources_[static_cast<std::size_t>(current_)].record) ? 2 : 1;
    if (options_.distance) lines += 1;
    return lines;
}

void EqViewModel::layout(const Rect& client, const TextMetrics& metrics, Output output) {
    metrics_ = metrics;
    const Output previous = output_;
    // Paper and pictures show the markers at their times; the screen keeps its own positions.
    if (output != Output::Screen && previous == Output::Screen) screenMarkers_ = markers_;
    if (output == Output::Screen && previous != Output::Screen) markers_ = screenMarkers_;
    output_ = output;
    client_ = client;
    const int h = metrics.lineHeight;
    graph_ = client;
    if (options_.yGrid && !sources_.empty()) {
        const int type = sources_[0].record->header.sensorType;
        graph_.left += metrics.textWidth(type == 1 || type == 2 ? "999999999" : "99999999");
    }
    if (options_.xGrid) graph_.bottom -= 2 * h;
    graph_.top = client.top + h / 2 + 3 + headerRoomLines() * h;
    graph_.bottom = std::max(graph_.bottom, graph_.top + 10);
    graph_.right = std::max(graph_.right, graph_.left + 10);

    const int A = graph_.top, D = graph_.bottom;
    const std::vector<int> shown = shownSlots();
    strips_ = {};
    if (shown.size() <= 1) {
        for (int slot : shown)
            strips_[static_cast<std::size_t>(slot)] = {graph_.left, A, graph_.right, D};
    } else if (shown.size() == 2) {
        const int F = (D - A) / 2;
        strips_[0] = {graph_.left, A, graph_.right, A + F - h / 2};
        strips_[1] = {graph_.left, A + F + h / 2, graph_.right, D};
    } else {
        const int E = h / 2, F = (D - A - E) / 3;
        strips_[0] = {graph_.left, A, graph_.right, A + F - E};
        strips_[1] = {graph_.left, A + E + F, graph_.right, A + 2 * F};
        strips_[2] = {graph_.left, A + 2 * F + 2 * E, graph_.right, D};
    }
    for (std::size_t i = 0; i < 3; ++i) {
        baselines_[i] = (strips_[i].top + strips_[i].bottom) / 2;
        if (i < sources_.size()) {
            RecordScale& s = scales_[i];
            const double fullCounts = s.fullScale / s.multiplier / s.unitsPerCount;
            s.pixelsPerCount = fullCounts > 0 ? strips_[i].height() * 0.5 / fullCounts : 0;
        }
    }
    laidOut_ = true;
    if (locked_ || output != Output::Screen)
        restoreLockedMarkers();
    else
        for (int i = 0; i < 3; ++i)
            if (markers_[static_cast<std::size_t>(i)].placed()) {
                Marker& m = markers_[static_cast<std::size_t>(i)];
                m.x = std::clamp(m.x, graph_.left, std::max(graph_.left, graph_.right - boxWidth()));
                m.y = std::clamp(m.y, graph_.top, std::max(graph_.top, graph_.bottom - boxHeight()));
                recomputeMarkerTimes(i);
            }
}

int EqViewModel::sampleY(int slot, double value) const {
    const RecordScale& s = scales_[static_cast<std::size_t>(slot)];
    const Rect& strip = strips_[static_cast<std::size_t>(slot)];
    // Inverted data are drawn negated; the document's statistics (and so the offset) already are.
    const double shown = options_.invert ? -value : value;
    double d = -(shown - s.offset) * s.pixelsPerCount * yZoomFactor(zoomIndex_);
    d = std::clamp(d, -1e6, 1e6);
    const long y = baselines_[static_cast<std::size_t>(slot)] + roundHalfAway(d);
    return static_cast<int>(std::clamp<long>(y, strip.top, std::max(strip.top, strip.bottom - 1)));
}

std::pair<long, long> EqViewModel::visibleSamples(int slot) const {
    const TraceSource& src = sources_[static_cast<std::size_t>(slot)];
    const double sps = src.record->header.sps;
    const long n = static_cast<long>(src.samples.size());
    const long first = static_cast<long>(
        std::floor((static_cast<double>(leftMs_) - recordStartMs(slot)) / 1000 * sps + 0.5));
    const long count = static_cast<long>(std::ceil(spanSec_ * sps)) + 1;
    const long lo = std::clamp(first, 0L, n), hi = std::clamp(first + count, 0L, n);
    return {lo, hi - lo};
}

void EqViewModel::addTrace(Scene& scene, int slot) const {
    const TraceSource& src = sources_[static_cast<std::size_t>(slot)];
    TraceDraw t;
    t.strip = strips_[static_cast<std::size_t>(slot)];
    t.plusSize = options_.largeScreen ? 9 : 5;
    const double sps = src.record->header.sps;
    const long n = static_cast<long>(src.samples.size());
    const int gw = graph_.width();
    if (n == 0 || sps <= 0 || gw <= 0) {
        scene.traces.push_back(std::move(t));
        return;
    }
    const double pps = gw / (spanSec_ * sps); // pixels per sample
    const long first = static_cast<long>(
        std::floor((static_cast<double>(leftMs_) - recordStartMs(slot)) / 1000 * sps + 0.5));
    auto xOf = [&](long i) { return graph_.left + (i - first) * pps; };
    const long lo = std::max(0L, first);
    if (lo >= n || xOf(lo) > graph_.right) {
        scene.traces.push_back(std::move(t));
        return;
    }
    const long hi = std::min(n, first + static_cast<long>(std::floor(gw / pps)) + 2); // past graph right
    if (hi - lo <= 2L * gw || src.pyramid == nullptr || src.pyramid->size() != src.samples.size()) {
        for (long i = lo; i < hi; ++i) {
            const double x = xOf(i);
            if (x > graph_.right) break;
            const Point p{static_cast<int>(std::floor(x)),
                          sampleY(slot, src.samples[static_cast<std::size_t>(i)])};
            t.polyline.push_back(p);
            if (options_.dataPoints) t.dataPoints.push_back(p);
        }
    } else {
        // Every sample whose x falls in pixel column c is covered by that column's vertical span;
        // the span also reaches the previous column's last sample, as the joining line would.
        int prevLast = 0;
        bool havePrev = false;
        const int startCol = static_cast<int>(std::floor(xOf(lo)));
        for (int c = startCol; c <= graph_.right; ++c) {
            long i0 = first + static_cast<long>(std::ceil((c - graph_.left) / pps));
            long i1 = first + static_cast<long>(std::ceil((c + 1 - graph_.left) / pps));
            i0 = std::clamp(i0, lo, n);
            i1 = std::clamp(i1, lo, n);
            if (i0 >= i1) {
                if (i0 >= n) break;
                continue;
            }
            const MinMax mm = src.pyramid->range(static_cast<std::size_t>(i0), static_cast<std::size_t>(i1));
            int y1 = sampleY(slot, mm.max), y2 = sampleY(slot, mm.min);
            if (y1 > y2) std::swap(y1, y2);
            if (havePrev) {
                y1 = std::min(y1, prevLast);
                y2 = std::max(y2, prevLast);
            }
            t.columns.push_back({c, y1, c, y2, Role::Graph, Pen::Solid});
            prevLast = sampleY(slot, src.samples[static_cast<std::size_t>(i1 - 1)]);
            havePrev = true;
        }
    }
    scene.traces.push_back(std::move(t));
}

void EqViewModel::addTimeGrid(Scene& scene) const {
    if (!options_.xGrid || graph_.width() <= 0) return;
    const int step = timeGridStep(spanSec_, graph_.width());
    const double spacing = graph_.width() / (spanSec_ / step);
    const bool fine = step == 1 && spacing >= 200;
    const Pen pen = output_ == Output::Print ? Pen::PrintDash4 : fine ? Pen::Dashed : Pen::Dotted;
    const std::string widest = options_.timeFormat ? " MM:MM " : " MMMMM ";
    const int labelWidth = metrics_.textWidth(widest);
    const int every = spacing < labelWidth ? 2 : 1;
    const int h = metrics_.lineHeight;
    for (int k = 0;; ++k) {
        const int x = graph_.left + static_cast<int>(std::lround(k * spacing));
        if (x > graph_.right) break;
        if (k > 0) scene.lines.push_back({x, graph_.top, x, graph_.bottom, Role::XGrid, pen});
        if (fine && k > 0) // tenth-second ticks between the lines
            for (int j = 1; j < 10; ++j) {
                const int tx = x - static_cast<int>(std::lround(spacing * j / 10));
                scene.lines.push_back({tx, graph_.bottom - 4, tx, graph_.bottom, Role::XGrid, Pen::Solid});
            }
        if (k % every != 0) continue;
        const std::int64_t secondsFromLeft = static_cast<std::int64_t>(k) * step;
        std::string label;
        if (options_.timeFormat) {
            const std::int64_t ms = (leftMs_ + secondsFromLeft * 1000) % kMsPerDay;
            label = format("%02d:%02d:%02d", static_cast<int>(ms / 3'600'000),
                           static_cast<int>(ms / 60'000 % 60), static_cast<int>(ms / 1000 % 60));
        } else {
            label = format("%d", static_cast<int>(secondsFromLeft));
        }
        const int w = metrics_.textWidth(label);
        if (x + w / 2 > client_.right || x - w / 2 < client_.left) continue;
        scene.texts.push_back(
            {x, graph_.bottom + h / 2, label, Role::XGrid, FontRole::Seismogram, Align::Center});
    }
}

void EqViewModel::addAmplitudeGrid(Scene& scene) const {
    if (!options_.yGrid) return;
    const int h = metrics_.lineHeight;
    const Pen pen = output_ == Output::Print ? Pen::PrintDash5 : Pen::Dotted;
    const int mw = metrics_.textWidth("M");
    struct Pending {
        int slot, n;
    };
    std::vector<Pending> pending;
    int decimals = 1;
    for (int slot : shownSlots()) {
        const Rect& s = strips_[static_cast<std::size_t>(slot)];
        const int half = s.height() / 2;
        if (3 * h > half) continue;
        int n = std::max(1, options_.yLines);
        while (n > 1 && half / n <= 2 * h)
            --n;
        pending.push_back({slot, n});
        const double fs = scales_[static_cast<std::size_t>(slot)].fullScale / yZoomFactor(zoomIndex_);
        for (int k = 1; k <= n; ++k) {
            const double v = fs * k / n;
            while (decimals < 3 &&
                   std::fabs(v * std::pow(10, decimals) - std::round(v * std::pow(10, decimals))) > 1e-6)
                ++decimals;
        }
    }
    for (const Pending& p : pending) {
        const Rect& s = strips_[static_cast<std::size_t>(p.slot)];
        const int base = baselines_[static_cast<std::size_t>(p.slot)];
        const int half = s.height() / 2;
        const RecordScale& sc = scales_[static_cast<std::size_t>(p.slot)];
        const double fs = sc.fullScale / yZoomFactor(zoomIndex_);
        for (int k = p.n; k >= 1; --k) {
            const int dy = static_cast<int>(std::lround(static_cast<double>(half) * k / p.n));
            const std::string label = format(decimals == 1   ? "%-3.1f"
                                             : decimals == 2 ? "%-3.2f"
                                                             : "%-3.3f",
                                             fs * k / p.n);
            for (int sign : {-1, 1}) {
                const int y = base + sign * dy;
                scene.lines.push_back({graph_.left - mw / 2, y, graph_.right, y, Role::YGrid, pen});
                const std::string text = sign < 0 ? label : "-" + label;
                scene.texts.push_back(
                    {client_.left + 1, y - h / 2, text, Role::YGrid, FontRole::Seismogram, Align::Left});
            }
        }
        scene.texts.push_back({graph_.left + mw, s.top, unitName(sc.mode, sc.multiplier), Role::YGrid,
                               FontRole::Seismogram, Align::Left});
    }
}

void EqViewModel::addMarker(Scene& scene, int i) const {
    const Marker& m = markers_[static_cast<std::size_t>(i)];
    if (!m.placed()) return;
    const int x = m.x, y = m.y;
    const bool large = options_.largeScreen;
    const Point tip = large ? Point{x + 12, y + 1} : Point{x + 9, y};
    const Point armL = large ? Point{x + 4, y + 15} : Point{x + 2, y + 13};
    const Point armR = large ? Point{x + 20, y + 15} : Point{x + 16, y + 13};
    const int shaftEnd = large ? y + 20 : y + 15;
    scene.lines.push_back({tip.x, tip.y, armL.x, armL.y, Role::Markers, Pen::Solid});
    scene.lines.push_back({tip.x, tip.y, armR.x, armR.y, Role::Markers, Pen::Solid});
    scene.lines.push_back({tip.x, tip.y, tip.x, shaftEnd, Role::Markers, Pen::Solid});
    std::string letter = i == kMarkerP        ? "P"
                         : i == kMarkerS      ? "S"
                         : magMode_ == kMagMd ? "D"
                         : magMode_ == kMagMb ? "B"
                                              : "M";
    scene.texts.push_back(
        {x + boxWidth() / 2, large ? y + 20 : y + 14, letter, Role::Markers, FontRole::Mark, Align::Center});
}

void EqViewModel::addTextLines(Scene& scene) const {
    const int rows = headerRoomLines();
    if (rows == 0) return;
    const TextPanel panel = buildTextPanel(*this, output_ == Output::Print);
    const int h = metrics_.lineHeight;
    const int fileWidth = metrics_.textWidth(panel.fileText, FontRole::Text);
    bool filePlaced = false;
    int y = client_.top + 2;
    for (std::size_t row = 0; row < panel.lines.size() && static_cast<int>(row) < rows; ++row, y += h) {
        int x = client_.left + 4;
        for (const TextPiece& piece : panel.lines[row]) {
            scene.texts.push_back(
                {x, y, piece.text, piece.label ? Role::Label : Role::Text, FontRole::Text, Align::Left});
            x += metrics_.textWidth(piece.text, FontRole::Text);
        }
        // The file name goes to the right of the first line that leaves room for it.
        if (!filePlaced && x + fileWidth + 30 <= client_.right) {
            scene.texts.push_back(
                {client_.right - 20, y, panel.fileText, Role::Label, FontRole::Text, Align::Right});
            filePlaced = true;
        }
    }
}

Scene EqViewModel::scene() const {
    Scene scene;
    scene.client = client_;
    scene.graph = graph_;
    scene.output = output_;
    if (sources_.empty() || !laidOut_) return scene;
    addTextLines(scene);
    addTimeGrid(scene);
    addAmplitudeGrid(scene);
    const std::vector<int> shown = shownSlots();
    for (int slot : shown)
        addTrace(scene, slot);
    for (std::size_t k = 1; k < shown.size(); ++k) {
        const int y = (strips_[static_cast<std::size_t>(shown[k - 1])].bottom +
                       strips_[static_cast<std::size_t>(shown[k])].top) /
                      2;
        scene.lines.push_back({graph_.left, y, graph_.right, y, Role::Separator, Pen::Solid});
    }
    if (options_.phases && phases_) addPhaseMarks(scene);
    if (options_.distance)
        for (int i = 0; i < 3; ++i)
            if (i < 2 || magMode_ != kMagNone) addMarker(scene, i);
    scene.rubberBand = rubber_;
    return scene;
}

// A dashed line through the current record's strip at each shown arrival, its name at the top.
void EqViewModel::addPhaseMarks(Scene& scene) const {
    const Readout r = readout();
    if (!r.found || graph_.width() <= 0 || spanSec_ <= 0) return;
    const Rect& strip = strips_[static_cast<std::size_t>(current_)];
    for (const PhaseMark& mark : phases_(r)) {
        const double x =
            static_cast<double>(mark.timeMs - leftMs_) / 1000 / spanSec_ * graph_.width() + graph_.left;
        if (x < graph_.left || x > graph_.right) continue;
        const int xi = static_cast<int>(std::lround(x));
        scene.lines.push_back({xi, strip.top, xi, strip.bottom, Role::Phases, Pen::Dashed});
        // Below the unit label at the strip's top.
        scene.texts.push_back({xi + 2, strip.top + metrics_.lineHeight + 2, mark.label, Role::Phases,
                               FontRole::Seismogram, Align::Left});
    }
}

// --- time axis operations ---

void EqViewModel::scrollSeconds(double seconds) {
    const std::int64_t maxLeft =
        startMs_ + static_cast<std::int64_t>(std::max(0.0, durationSec_ - spanSec_) * 1000);
    leftMs_ = std::clamp<std::int64_t>(leftMs_ + static_cast<std::int64_t>(std::llround(seconds * 1000)),
                                       startMs_, maxLeft);
    if (locked_) restoreLockedMarkers();
}

void EqViewModel::scrollTo(int secondsFromStart) {
    leftMs_ = startMs_;
    scrollSeconds(secondsFromStart);
}

void EqViewModel::setSpan(double seconds) {
    if (seconds <= 0) seconds = 1;
    if (seconds <= durationSec_)
        seconds = std::floor(seconds);
    else
        seconds = durationSec_;
    spanSec_ = std::max(1.0, seconds);
    const std::int64_t end = startMs_ + static_cast<std::int64_t>(durationSec_) * 1000;
    if (leftMs_ + static_cast<std::int64_t>(spanSec_ * 1000) > end)
        leftMs_ = std::max(startMs_, end - static_cast<std::int64_t>(spanSec_ * 1000));
    if (locked_) restoreLockedMarkers();
}

bool EqViewModel::followTimeLock(std::int64_t leftMs, double spanSeconds) {
    const std::int64_t end = startMs_ + static_cast<std::int64_t>(durationSec_) * 1000;
    if (sources_.empty() || leftMs < startMs_ || leftMs > end) return false;
    leftMs_ = leftMs;
    setSpan(spanSeconds);
    return true;
}

void EqViewModel::zoomToColumns(int x1, int x2) {
    if (graph_.width() <= 0) return;
    if (x1 > x2) std::swap(x1, x2);
    x1 = std::clamp(x1, graph_.left, graph_.right);
    x2 = std::clamp(x2, graph_.left, graph_.right);
    const double perPixel = spanSec_ / graph_.width();
    const double startSec = std::floor((x1 - graph_.left) * perPixel);
    const double span = std::max(1.0, std::floor((x2 - x1) * perPixel));
    leftMs_ += static_cast<std::int64_t>(startSec) * 1000;
    setSpan(span);
}

int EqViewModel::coarseScrollStep() const {
    return std::max(1, durationSec_ / 10);
}

// --- markers ---

std::int64_t EqViewModel::columnTimeMs(double x) const {
    if (graph_.width() <= 0) return leftMs_;
    return static_cast<std::int64_t>(spanSec_ / graph_.width() * (x - graph_.left) * 1000 + 0.5) + leftMs_;
}

double EqViewModel::countsPerPixelUnit(int slot) const {
    const double ppc = scales_[static_cast<std::size_t>(slot)].pixelsPerCount * yZoomFactor(zoomIndex_);
    return ppc > 0 ? 1.0 / ppc : 0;
}

void EqViewModel::recomputeMarkerTimes(int i) {
    Marker& m = markers_[static_cast<std::size_t>(i)];
    if (!m.placed() || sources_.empty()) return;
    m.timeMs = columnTimeMs(boxWidth() / 2.0 + m.x);
    const int tipY = m.y + (options_.largeScreen ? 1 : 0);
    m.amplitude = (baselines_[static_cast<std::size_t>(current_)] - tipY) * countsPerPixelUnit(current_);
}

void EqViewModel::placeMarkerAt(int i, std::int64_t timeMs, double amplitude) {
    Marker& m = markers_[static_cast<std::size_t>(i)];
    const double x = static_cast<double>(timeMs - leftMs_) / 1000 / spanSec_ * graph_.width() + graph_.left -
                     boxWidth() / 2.0;
    const double ppc = countsPerPixelUnit(current_) > 0 ? 1 / countsPerPixelUnit(current_) : 0;
    const double dy = amplitude * ppc;
    m.x = std::clamp(static_cast<int>(std::lround(x)), graph_.left,
                     std::max(graph_.left, graph_.right - boxWidth()));
    m.y = std::clamp(static_cast<int>(std::lround(baselines_[static_cast<std::size_t>(current_)] - dy)) -
                         (options_.largeScreen ? 1 : 0),
                     graph_.top, std::max(graph_.top, graph_.bottom - boxHeight()));
    m.timeMs = timeMs;
    m.amplitude = amplitude;
}

void EqViewModel::placeMarker(int i, std::int64_t timeMs, int boxY) {
    placeMarkerAt(i, timeMs, 0);
    Marker& m = markers_[static_cast<std::size_t>(i)];
    m.y = std::clamp(boxY, graph_.top, std::max(graph_.top, graph_.bottom - boxHeight()));
    recomputeMarkerTimes(i);
    m.timeMs = timeMs;
}

void EqViewModel::restoreLockedMarkers() {
    if (!laidOut_) return;
    for (int i = 0; i < 3; ++i) {
        const Marker m = markers_[static_cast<std::size_t>(i)];
        if (m.placed()) placeMarkerAt(i, m.timeMs, m.amplitude);
    }
}

void EqViewModel::resetMarkers() {
    markers_[kMarkerP] = {graph_.left + 20, graph_.bottom - 50};
    markers_[kMarkerS] = {graph_.left + 80, graph_.bottom - 50};
    markers_[kMarkerMag] = magMode_ != kMagNone ? Marker{100, 100} : Marker{};
    for (int i = 0; i < 3; ++i)
        recomputeMarkerTimes(i);
}

void EqViewModel::setActiveMarker(int i) {
    if (i == kMarkerMag && magMode_ == kMagNone) return;
    active_ = i;
}

void EqViewModel::cycleActiveMarker() {
    if (active_ == kMarkerP)
        active_ = kMarkerS;
    else if (active_ == kMarkerS && magMode_ != kMagNone)
        active_ = kMarkerMag;
    else
        active_ = kMarkerP;
}

void EqViewModel::setMagMode(int mode, std::optional<Point> at) {
    if (mode == magMode_ || mode == kMagNone) {
        magMode_ = kMagNone;
        markers_[kMarkerMag] = {};
        if (active_ == kMarkerMag) active_ = kMarkerP;
        return;
    }
    magMode_ = mode;
    Marker& m = markers_[kMarkerMag];
    if (at && (mode != kMagMd || !m.placed()))
        m = {at->x, at->y};
    else if (!m.placed())
        m = {100, 100};
    recomputeMarkerTimes(kMarkerMag);
    if (mode == kMagMd) placeMagMarkerAtCodaEnd();
}

void EqViewModel::placeMagMarkerAtCodaEnd() {
    if (sources_.empty() || !laidOut_ || !markers_[kMarkerP].placed()) return;
    const TraceSource& src = sources_[static_cast<std::size_t>(current_)];
    const double startMs = recordStartMs(current_);
    const double pSeconds = (static_cast<double>(markers_[kMarkerP].timeMs) - startMs) / 1000;
    const std::optional<double> end = codaEndSeconds(src.samples, src.record->header.sps, pSeconds);
    if (!end) return;
    placeMarker(kMarkerMag, std::llround(startMs + *end * 1000),
                baselines_[static_cast<std::size_t>(current_)] + 10);
}

void EqViewModel::toggleDistanceDisplay() {
    options_.distance = !options_.distance;
    if (options_.distance) {
        magMode_ = magModeAside_;
        magModeAside_ = kMagNone;
    } else {
        magModeAside_ = magMode_;
        magMode_ = kMagNone;
        if (active_ == kMarkerMag) active_ = kMarkerP;
    }
    resetMarkers();
}

void EqViewModel::moveActiveMarker(int dx, int dy) {
    Marker& m = markers_[static_cast<std::size_t>(active_)];
    if (!m.placed()) return;
    m.x = std::clamp(m.x + dx, graph_.left, std::max(graph_.left, graph_.right - boxWidth()));
    m.y = std::clamp(m.y + dy, graph_.top, std::max(graph_.top, graph_.bottom - boxHeight()));
    recomputeMarkerTimes(active_);
}

bool EqViewModel::setMarkerBox(int i, int x, int y) {
    if (x < graph_.left || x + boxWidth() > graph_.right || y < graph_.top || y + boxHeight() > graph_.bottom)
        return false;
    for (int j = 0; j < 3; ++j) {
        const Marker& o = markers_[static_cast<std::size_t>(j)];
        if (j == i || !o.placed() || (j == kMarkerMag && magMode_ == kMagNone)) continue;
        if (x < o.x + boxWidth() && o.x < x + boxWidth() && y < o.y + boxHeight() && o.y < y + boxHeight())
            return false;
    }
    markers_[static_cast<std::size_t>(i)].x = x;
    markers_[static_cast<std::size_t>(i)].y = y;
    recomputeMarkerTimes(i);
    return true;
}

int EqViewModel::markerAt(int x, int y) const {
    if (!options_.distance) return -1;
    for (int i = 0; i < 3; ++i) {
        const Marker& m = markers_[static_cast<std::size_t>(i)];
        if (!m.placed() || (i == kMarkerMag && magMode_ == kMagNone)) continue;
        if (x >= m.x && x < m.x + boxWidth() && y >= m.y && y < m.y + boxHeight()) return i;
    }
    return -1;
}

int EqViewModel::slotAtY(int y) const {
    for (int slot : shownSlots())
        if (y >= strips_[static_cast<std::size_t>(slot)].top &&
            y < strips_[static_cast<std::size_t>(slot)].bottom)
            return slot;
    return -1;
}

bool EqViewModel::inLabelMargin(int x, int y) const {
    return options_.yGrid && x >= client_.left && x < graph_.left && y >= graph_.top && y < graph_.bottom;
}

// --- read-outs ---

std::optional<std::int64_t> EqViewModel::spMs() const {
    const Marker& p = markers_[kMarkerP];
    const Marker& s = markers_[kMarkerS];
    if (!p.placed() || !s.placed()) return std::nullopt;
    std::int64_t sTime = s.timeMs;
    if (sTime < p.timeMs && p.timeMs - sTime > kMsPerDay / 2) sTime += kMsPerDay;
    return sTime - p.timeMs;
}

Readout EqViewModel::readout() const {
    Readout r;
    if (!options_.distance || sources_.empty()) return r;
    const std::optional<std::int64_t> sp = spMs();
    if (markers_[kMarkerP].placed()) r.pMs = markers_[kMarkerP].timeMs;
    if (markers_[kMarkerS].placed()) r.sMs = markers_[kMarkerS].timeMs;
    r.spMs = sp;
    std::optional<DistanceResult> dist;
    if (distance_ && sp && *sp > 0) {
        dist = distance_(static_cast<double>(*sp) / 1000);
        r.outOfRange = !dist;
    }
    if (!dist) return r;
    const double km = dist->degrees * kKmPerDegree;
    const double hypo = std::sqrt(km * km + dist->depthKm * dist->depthKm);
    const std::int64_t origin =
        markers_[kMarkerP].timeMs - static_cast<std::int64_t>(std::llround(dist->pTravelSeconds * 1000));
    r.found = true;
    r.degrees = dist->degrees;
    r.km = km;
    r.miles = km * kMilesPerKm;
    r.depthKm = dist->depthKm;
    r.hypocentralKm = hypo;
    r.pTravelSeconds = dist->pTravelSeconds;
    r.originMs = origin;
    r.tableName = dist->tableName;
    const EventRecord& rec = *sources_[static_cast<std::size_t>(current_)].record;
    const double magCorrection = rec.header.magCorrection, sensitivity = rec.header.sensitivity;
    const bool calibrated = magCorrection > 0 || (sensitivity != 0 && rec.header.sensorType == 3);
    if (magnitude_ && calibrated) {
        MagnitudeInputs in;
        const RecordScale& sc = scales_[static_cast<std::size_t>(current_)];
        const double dataMin = rec.header.dataMin, dataMax = rec.header.dataMax;
        in.amplitudeCounts = (magMode_ == kMagMlMs || magMode_ == kMagMb) && markers_[kMarkerMag].placed()
                                 ? std::fabs(markers_[kMarkerMag].amplitude)
                                 : std::max(std::fabs(dataMin - sc.offset), std::fabs(dataMax - sc.offset));
        in.epicentralKm = km;
        in.hypocentralKm = hypo;
        in.depthKm = dist->depthKm;
        in.magMode = magMode_;
        in.msPeriodS = msPeriod_;
        in.mbPeriodS = mbPeriod_;
        in.record = &rec;
        if (magMode_ == kMagMd && markers_[kMarkerMag].placed())
            in.mdDurationSeconds = std::max<double>(
                0, static_cast<double>(markers_[kMarkerMag].timeMs - markers_[kMarkerP].timeMs) / 1000);
        if (auto values = magnitude_(in)) {
            const MagnitudeValues shown = shownMagnitudes(magMode_, *values);
            if (shown.any()) r.magnitudes = shown;
        }
    }
    return r;
}

std::string EqViewModel::distanceLine() const {
    return options_.distance && !sources_.empty() ? readoutLine(readout()) : std::string();
}

std::string EqViewModel::cursorText(int x, int y) const {
    if (sources_.empty() || !graph_.contains(x, y)) return "Cursor: ???  Y: ???";
    const std::int64_t t = columnTimeMs(x);
    const EventTime start = sources_[0].record->header.startTime;
    CivilTime day = toCivil(start);
    if (t >= kMsPerDay) day = addSeconds(day, 86400);
    const std::int64_t ms = t % kMsPerDay;
    const int h = static_cast<int>(ms / 3'600'000), mi = static_cast<int>(ms / 60'000 % 60),
              s = static_cast<int>(ms / 1000 % 60);
    const std::string xs = spanSec_ > 30 ? format("%02d/%02d %02d:%02d:%02d.%1d", day.month, day.day, h, mi,
                                                  s, static_cast<int>(ms % 1000 / 100))
                                         : format("%02d/%02d %02d:%02d:%02d.%03d", day.month, day.day, h, mi,
                                                  s, static_cast<int>(ms % 1000));
    int slot = slotAtY(y);
    if (slot < 0) slot = current_;
    const RecordScale& sc = scales_[static_cast<std::size_t>(slot)];
    const double rel = (baselines_[static_cast<std::size_t>(slot)] - y) * countsPerPixelUnit(slot);
    const std::string counts = countText(rel);
    std::string units, g;
    const EventRecord& rec = *sources_[static_cast<std::size_t>(slot)].record;
    if (hasCalibration(rec)) {
        const double sensitivity = rec.header.sensitivity;
        const double metres = rel * sensitivity / 100;
        const Prefixed p = metricPrefix(metres);
        units = format("   %4.4g %s%s", p.value, p.prefix, sensorUnit(rec.header.sensorType));
        if (rec.header.sensorType == 1) {
            const Prefixed pg = metricPrefix(metres / 9.80665);
            g = format(" %4.4g %sg", pg.value, pg.prefix);
        }
    }
    (void)sc;
    return format("Cursor: %s  Y: %s%s%s", xs.c_str(), counts.c_str(), units.c_str(), g.c_str());
}

std::string EqViewModel::leftEdgeText() const {
    const std::int64_t ms = leftMs_ % kMsPerDay;
    return format("%d:%02d:%02d.%1d", static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000 / 100));
}

std::string EqViewModel::spanText() const {
    return format("X: %g Sec", spanSec_);
}

std::string EqViewModel::yScaleText() const {
    if (sources_.empty()) return "Y:";
    const RecordScale& sc = scales_[static_cast<std::size_t>(current_)];
    return format("Y: %g %s", sc.fullScale / yZoomFactor(zoomIndex_),
                  unitName(sc.mode, sc.multiplier).c_str());
}

std::string EqViewModel::markerLetterText() const {
    if (!options_.distance) return "M";
    if (active_ == kMarkerP) return "P";
    if (active_ == kMarkerS) return "S";
    return magMode_ == kMagMd ? "D" : magMode_ == kMagMb ? "B" : "M";
}

} // namespace tlx::views
