// Repainting the waveform view: a 1200 x 800 picture of three 5,242,880-sample records against the
// same picture of three 50,000-sample records (min/max pyramid: cost follows the width); and the
// command-line render (load, draw, GIF) against loading alone, as `tellurix-cli info` does.
#include "bench_support.h"

#include "record/loader.h"
#include "record/svx4_writer.h"
#include "views/event_slots.h"
#include "views/gif_export.h"
#include "views/scene_painter.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace tlx;

namespace {

struct Records {
    std::vector<std::unique_ptr<LoadedChannel>> channels;
    std::vector<std::unique_ptr<views::MinMaxPyramid>> pyramids;
    std::vector<views::TraceSource> sources;
};

Records makeRecords(int count) {
    Records r;
    for (int c = 0; c < 3; ++c) {
        auto ch = std::make_unique<LoadedChannel>();
        ch->record.header.startTime = {2024, 1, 1, 0, 0, 0, 0, 0};
        ch->record.header.sps = 100;
        ch->samples.resize(static_cast<std::size_t>(count));
        double lo = 0, hi = 0;
        for (int i = 0; i < count; ++i) {
            // The same picture at every length: 40 oscillations across the record plus noise.
            const double t = static_cast<double>(i) / count;
            const double v =
                3000 * std::sin(2 * M_PI * 40 * (c + 1) * t) * std::exp(-3 * t) + ((i * 7919) % 600) - 300;
            ch->samples[static_cast<std::size_t>(i)] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        ch->record.header.dataMin = lo;
        ch->record.header.dataMax = hi;
        r.pyramids.push_back(std::make_unique<views::MinMaxPyramid>(ch->samples));
        r.sources.push_back({&ch->record, ch->samples, r.pyramids.back().get(), 0, "STA"});
        r.channels.push_back(std::move(ch));
    }
    return r;
}

double repaintSeconds(const Records& r) {
    views::EqViewModel model;
    model.setSources(r.sources);
    const views::ViewStyle style;
    const double whole = bench::bestSeconds(15, [&] { (void)views::renderPicture(model, style, 1200, 800); });
    const double scene = bench::bestSeconds(15, [&] { (void)model.scene(); });
    const QImage img = views::renderPicture(model, style, 1200, 800);
    long dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark += img.pixel(x, y) == qRgb(0, 0, 0);
    std::printf("  (of which scene %.2f ms; %ld trace and grid pixels)\n", scene * 1e3, dark);
    return whole;
}

void writeFile(const std::string& path, int count) {
    EventRecord record;
    std::memcpy(record.header.magic, "SVXTYPE4", 8);
    record.header.startTime = {2024, 1, 1, 0, 0, 0, 0, 0};
    record.header.sps = 100;
    std::vector<double> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] =
            std::round(3000 * std::sin(i * 0.01) + ((i * 7919) % 2000) - 1000);
    WriterOptions options;
    options.sampleType = 1;
    RecordingMessages messages;
    if (!writeSvx4File(path, {&record, samples, 0}, options, messages)) std::abort();
}

void renderVersusLoad(const char* label, const std::string& path) {
    RecordingMessages messages;
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = path;
    const double load = bench::bestSeconds(5, [&] {
        if (!loader.load(request).ok) std::abort();
    });
    const std::string gif = bench::scratchPath("render.gif");
    const double render = bench::bestSeconds(5, [&] {
        CEqDoc doc(messages, loader, nullptr, LoadMode::Picture);
        if (!doc.open(path)) std::abort();
        const views::EventSlots records(doc);
        views::EqViewModel model;
        model.setSources(records.sources());
        const QImage image = views::renderPicture(model, views::ViewStyle(), 800, 600);
        std::string message;
        if (!views::saveImageAsGif(image, gif, message)) std::abort();
    });
    std::printf("%-28s load %8.2f ms   render to GIF %8.2f ms   ratio %.2f\n", label, load * 1e3,
                render * 1e3, render / load);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const Records small = makeRecords(50'000);
    const Records large = makeRecords(kMaxSampleCount);
    const double a = repaintSeconds(small);
    const double b = repaintSeconds(large);
    std::printf("repaint 1200x800, 3 x 50,000 samples:    %8.2f ms\n", a * 1e3);
    std::printf("repaint 1200x800, 3 x 5,242,880 samples: %8.2f ms   ratio %.2f (aim <= 1.5)\n", b * 1e3,
                b / a);
    const double build = bench::bestSeconds(5, [&] { views::MinMaxPyramid p(large.channels[0]->samples); });
    std::printf("pyramid build, 5,242,880 samples:        %8.2f ms (once per load or sample change)\n",
                build * 1e3);

    const std::string sample = bench::scratchPath("sample-12000.svx");
    writeFile(sample, 12'000);
    renderVersusLoad("12,000-sample file", sample);
    const std::string big = bench::scratchPath("large.svx");
    writeFile(big, kMaxSampleCount - 1);
    renderVersusLoad("5,242,879-sample file", big);
    return 0;
}
