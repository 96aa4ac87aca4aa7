// Helicorder repaint at 1200 × 800 (15-minute lines): a day at 100 samples/s (8,640,000 samples,
// 96 lines, scrolled to the middle) against an hour (4 lines). Each line is drawn from the min/max
// pyramid, so the day should cost about as much per line as the hour.
#include "bench_support.h"

#include "views/helicorder_painter.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

using namespace tlx;

namespace {

double repaintSeconds(std::size_t samples, int* lines) {
    std::vector<double> data(samples);
    std::mt19937_64 rng(5);
    std::normal_distribution<double> noise(0, 40);
    for (std::size_t i = 0; i < samples; ++i)
        data[i] = noise(rng) + (i % 360'000 < 6000 ? 2000 * std::sin(i * 0.05) : 0);
    const views::MinMaxPyramid pyramid(data);
    views::HelicorderLayout layout;
    layout.setData(0, 100, static_cast<long long>(samples));
    layout.setMinutesPerLine(15);
    layout.setClip(400);
    layout.setSize(1200, 800);
    layout.setScroll(layout.maxScroll() / 2);
    *lines = layout.lineCount();
    views::HelicorderScene scene;
    scene.pyramid = &pyramid;
    const views::ViewStyle style;
    QImage image(1200, 800, QImage::Format_RGB32);
    return bench::bestSeconds(20, [&] {
        QPainter p(&image);
        views::paintHelicorder(p, image.size(), layout, scene, style);
    });
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int dayLines = 0, hourLines = 0;
    const double day = repaintSeconds(8'640'000, &dayLines);
    const double hour = repaintSeconds(360'000, &hourLines);
    std::printf("helicorder repaint 1200x800: 24 h (%d lines) %.2f ms, 1 h (%d lines) %.2f ms, ratio %.2f\n",
                dayLines, day * 1e3, hourLines, hour * 1e3, day / hour);
    return 0;
}
