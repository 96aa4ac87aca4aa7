// The waveform view without Qt: layout of one to three records on a common time axis, amplitude
// scales, zoom and scroll, P/S/magnitude markers and every read-out text. It produces a Scene (lines,
// texts, traces, markers in pixels) that the Qt side only draws, on screen, paper or an image.
#pragma once

#include "record/event_record.h"
#include "views/minmax_pyramid.h"
#include "views/readout.h"
#include "views/view_math.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tlx::views {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

enum class FontRole { Seismogram, Text, Mark };
enum class Role { Graph, XGrid, YGrid, Markers, Text, Label, Separator, Phases };
enum class Pen { Solid, Dotted, Dashed, PrintDash4, PrintDash5 };
enum class Align { Left, Center, Right };
enum class Output { Screen, Print, Picture };

// Text measuring, supplied by the painter (Qt font metrics) or by tests (fixed widths).
struct TextMetrics {
    int lineHeight = 14;
    std::function<int(std::string_view, FontRole)> width;
    int textWidth(std::string_view s, FontRole font = FontRole::Seismogram) const {
        return width ? width(s, font) : static_cast<int>(s.size()) * 7;
    }
};

struct Segment {
    int x1, y1, x2, y2;
    Role role;
    Pen pen;
};

struct TextItem {
    int x, y; // anchor; y is the top of the text line
    std::string text;
    Role role;
    FontRole font;
    Align align;
};

struct Point {
    int x, y;
};

// One record's trace: either a polyline through every visible sample, or (more samples than
// pixels) one vertical span per pixel column covering every sample that falls in it.
struct TraceDraw {
    std::vector<Point> polyline;
    std::vector<Segment> columns;
    std::vector<Point> dataPoints; // plus signs when Data Points is on
    int plusSize = 5;
    Rect strip;
};

struct Scene {
    Rect client, graph;
    Output output = Output::Screen;
    std::vector<Segment> lines;
    std::vector<TextItem> texts;
    std::vector<TraceDraw> traces;
    std::optional<Rect> rubberBand;
};

// A record as the view sees it; the document owns record, samples and pyramid.
struct TraceSource {
    const EventRecord* record = nullptr;
    std::span<const double> samples;
    const MinMaxPyramid* pyramid = nullptr;
    double manualDcOffset = 0;
    std::string slotName;
};

struct ViewOptions {
    bool xGrid = true, yGrid = true;
    int yLines = 5;
    bool distance = true;
    bool timeFormat = true; // labels as time of day
    bool cmDspOk = true;
    bool autoDcOffset = true;
    bool dataPoints = false;
    bool invert = false;
    bool largeScreen = true;
    bool headerLines = true;
    bool phases = false; // the extra phase marks
};

// What the travel-time tables give for an S-P time (absent until tables are loaded).
struct DistanceResult {
    double degrees = 0;
    double pTravelSeconds = 0;
    double depthKm = 0;
    std::string tableName; // "JB: ", "Reg: " or "IA91: "
};
using DistanceProvider = std::function<std::optional<DistanceResult>(double spSeconds)>;

struct MagnitudeInputs {
    double amplitudeCounts = 0;
    double epicentralKm = 0;
    double hypocentralKm = 0;
    double depthKm = 0;
    std::optional<double> mdDurationSeconds;
    int magMode = 0;
    double msPeriodS = 20, mbPeriodS = 1; // the window's periods
    const EventRecord* record = nullptr;
};
// An extra phase's predicted arrival, on the markers' time line (ms of day, as marker times).
struct PhaseMark {
    std::int64_t timeMs = 0;
    std::string label;
};
using PhaseProvider = std::function<std::vector<PhaseMark>(const Readout&)>;

// Returns the magnitudes computed; absent until the magnitude formulas are available.
using MagnitudeProvider = std::function<std::optional<MagnitudeValues>(const MagnitudeInputs&)>;

enum MarkerIndex { kMarkerP = 0, kMarkerS = 1, kMarkerMag = 2 };
enum MagMode { kMagNone = 0, kMagMlMs = 1, kMagMd = 2, kMagMb = 3 };

struct Marker {
    int x = -1, y = 0;       // top-left of the box; x = -1: not placed
    std::int64_t timeMs = 0; // ms of day
    double amplitude = 0;    // counts relative to the offset
    bool placed() const { return x >= 0; }
};

struct RecordScale {
    int mode = kModeCounts;
    double fullScale = 1; // half-strip amplitude in display units
    double multiplier = 1;
    double unitsPerCount = 1;
    double offset = 0;
    double pixelsPerCount = 0;
    bool fixed = false; // set by the Y-scale dialog
};

class EqViewModel {
  public:
    void setSources(std::vector<TraceSource> sources);
    // The same records with changed samples or statistics: scales follow, the time axis stays.
    void updateSources(std::vector<TraceSource> sources);
    const std::vector<TraceSource>& sources() const { return sources_; }
    ViewOptions& options() { return options_; }
    const ViewOptions& options() const { return options_; }
    void setDistanceProvider(DistanceProvider p) { distance_ = std::move(p); }
    void setMagnitudeProvider(MagnitudeProvider p) { magnitude_ = std::move(p); }
    void setPhaseProvider(PhaseProvider p) { phases_ = std::move(p); }

    // Time axis back to the whole record, zoom 1, scales recomputed.
    void reset();
    // Geometry for a client rectangle; call before scene(), marker and status maths.
    void layout(const Rect& client, const TextMetrics& metrics, Output output);
    Scene scene() const;

    // Records shown: all, or one alone (-1 = all).
    void showAlone(int slot);
    int shownAlone() const { return alone_; }
    int currentRecord() const { return current_; }
    void selectRecord(int slot);
    std::vector<int> shownSlots() const;

    // Amplitude scale.
    void setMode(int mode); // refused (false) when the current record lacks the calibration
    bool setMode(int mode, bool allRecords);
    int zoomIndex() const { return zoomIndex_; }
    void zoomBy(int delta) { zoomIndex_ = clampZoomIndex(zoomIndex_ + delta); }
    const RecordScale& scale(int slot) const { return scales_[static_cast<std::size_t>(slot)]; }
    void setFullScale(int slot, double value, double multiplier);

    // Time axis.
    std::int64_t axisStartMs() const { return startMs_; }
    int durationSeconds() const { return durationSec_; }
    int wholeSecondOffset() const { return wholeSecondOffset_; }
    std::int64_t leftMs() const { return leftMs_; }
    double spanSeconds() const { return spanSec_; }
    void scrollSeconds(double seconds);
    void scrollTo(int secondsFromStart);
    void setSpan(double seconds); // the X-Scale rule
    // The application's time lock: a locked left edge (ms of day) inside this record's axis is
    // taken with the locked span, the left edge pulled back so that the span ends in the record;
    // false (nothing changed) when the locked time lies outside the record.
    bool followTimeLock(std::int64_t leftMs, double spanSeconds);
    // Zoom to the span between two pixel columns (a rubber band).
    void zoomToColumns(int x1, int x2);
    int coarseScrollStep() const;
    void setRubberBand(std::optional<Rect> band) { rubber_ = band; }

    // Markers.
    const Marker& marker(int i) const { return markers_[static_cast<std::size_t>(i)]; }
    int activeMarker() const { return active_; }
    void setActiveMarker(int i);
    void cycleActiveMarker();
    int magMode() const { return magMode_; }
    // The window's Ms and Mb periods (s), set by the period commands.
    double msPeriod() const { return msPeriod_; }
    double mbPeriod() const { return mbPeriod_; }
    void setMsPeriod(double s) { msPeriod_ = s; }
    void setMbPeriod(double s) { mbPeriod_ = s; }
    // A magnitude marker command: the mode on (the other two off), or off when it is on. From the
    // menu (no `at`) a marker without a place goes to (100, 100); from the context menu to the
    // click, for Md only when it had no place yet. Md then puts it at the end of the coda, 10
    // pixels below the current record's baseline, when the coda search finds one.
    void setMagMode(int mode, std::optional<Point> at = {});
    // Distance/Magnitude (Ctrl+D): the distance display of this window on or off; off keeps the
    // magnitude mode aside and clears it, on brings it back; both reset the P and S markers.
    void toggleDistanceDisplay();
    bool locked() const { return locked_; }
    void setLocked(bool on) { locked_ = on; }
    int boxWidth() const { return options_.largeScreen ? 24 : 18; }
    int boxHeight() const { return options_.largeScreen ? 44 : 36; }
    void resetMarkers();
    // Moves the active marker by keyboard steps, clamped to the graph.
    void moveActiveMarker(int dx, int dy);
    // A dragged box position: refused (false) when it would leave the graph or overlap another box.
    bool setMarkerBox(int i, int x, int y);
    // Places a marker by time and amplitude (P-S location, locked markers).
    void placeMarkerAt(int i, std::int64_t timeMs, double amplitude);
    // Places a marker at a time with its box top at boxY (P-S location).
    void placeMarker(int i, std::int64_t timeMs, int boxY);
    int markerAt(int x, int y) const; // -1 when none
    std::int64_t columnTimeMs(double x) const;

    // Read-outs.
    std::optional<std::int64_t> spMs() const;
    Readout readout() const;
    std::string distanceLine() const; // readoutLine of readout(); empty with the distance display off
    const Rect& graph() const { return graph_; }
    const Rect& strip(int slot) const { return strips_[static_cast<std::size_t>(slot)]; }
    int baseline(int slot) const { return baselines_[static_cast<std::size_t>(slot)]; }
    int slotAtY(int y) const;
    bool inLabelMargin(int x, int y) const;

    // Status bar panes 0..4.
    std::string cursorText(int x, int y) const;
    std::string leftEdgeText() const;
    std::string spanText() const;
    std::string yScaleText() const;
    std::string markerLetterText() const;

    // Visible samples of a record (first index, count).
    std::pair<long, long> visibleSamples(int slot) const;
    double offset(int slot) const { return scales_[static_cast<std::size_t>(slot)].offset; }
    double recordStartMs(int slot) const;

    // The y pixel of a sample value in a slot (clamped to its strip).
    int sampleY(int slot, double value) const;

  private:
    void computeScale(int slot);
    void computeTimeAxis();
    void recomputeMarkerTimes(int i);
    void restoreLockedMarkers();
    void placeMagMarkerAtCodaEnd();
    void addTrace(Scene& scene, int slot) const;
    void addTimeGrid(Scene& scene) const;
    void addAmplitudeGrid(Scene& scene) const;
    void addMarker(Scene& scene, int i) const;
    void addPhaseMarks(Scene& scene) const;
    void addTextLines(Scene& scene) const;
    int headerRoomLines() const;
    double countsPerPixelUnit(int slot) const;

    std::vector<TraceSource> sources_;
    std::array<RecordScale, 3> scales_{};
    ViewOptions options_;
    DistanceProvider distance_;
    MagnitudeProvider magnitude_;
    PhaseProvider phases_;
    TextMetrics metrics_;
    Output output_ = Output::Screen;

    int alone_ = -1;
    int current_ = 0;
    int zoomIndex_ = 0;

    std::int64_t startMs_ = 0;
    int wholeSecondOffset_ = 0;
    int durationSec_ = 1;
    std::int64_t leftMs_ = 0;
    double spanSec_ = 1;

    Rect client_, graph_;
    std::array<Rect, 3> strips_{};
    std::array<int, 3> baselines_{};
    bool laidOut_ = false;

    std::array<Marker, 3> markers_{};
    std::array<Marker, 3> screenMarkers_{};
    int active_ = kMarkerP;
    int magMode_ = kMagNone;
    double msPeriod_ = 20, mbPeriod_ = 1;
    int magModeAside_ = kMagNone; // while the distance display is off
    bool locked_ = false;
    std::optional<Rect> rubber_;
};

// Text panel lines: label/value pieces in order; the file name goes to the top right.
struct TextPiece {
    std::string text;
    bool label;
};
struct TextPanel {
    std::string fileText; // "File: %s" / "Files: %s"
    std::vector<std::vector<TextPiece>> lines;
};
TextPanel buildTextPanel(const EqViewModel& model, bool printing);

} // namespace tlx::views
