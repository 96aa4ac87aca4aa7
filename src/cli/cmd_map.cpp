// tellurix-cli map OUT.gif [--center LAT LON] [--scale KM] [--width W --height H]
// [--station LAT LON SP_DEGREES]... [--event LAT LON]: the location map window's picture drawn
// offscreen with the window's painter and written as a GIF image.
#include "cli/cli_command.h"
#include "cli/gif_output.h"

#include "core/text.h"
#include "views/map_painter.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace tlx::cli {
namespace {

const char* const kUsage = "map OUT.gif [--center LAT LON] [--scale KM] [--width W --height H] "
                           "[--station LAT LON SP_DEGREES]... [--event LAT LON]";

// Takes "--name v1 .. vn" (numbers) from args; false with a message when malformed.
bool takeNumbers(Args& args, std::size_t at, std::size_t count, std::vector<double>& out) {
    if (at + count >= args.size()) return false;
    out.clear();
    for (std::size_t i = 1; i <= count; ++i) {
        double v = 0;
        if (!parseDouble(args[at + i], v)) return false;
        out.push_back(v);
    }
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(at),
               args.begin() + static_cast<std::ptrdiff_t>(at + count + 1));
    return true;
}

bool validPoint(double lat, double lon) {
    return lat >= -90 && lat <= 90 && lon >= -360 && lon <= 360;
}

int runMap(const Args& input) {
    Args args = input;
    int width = 800, height = 600;
    std::optional<double> scale;
    std::optional<std::pair<double, double>> centre;
    views::MapContents contents;
    std::vector<double> v;
    for (std::size_t i = 0; i < args.size();) {
        const std::string a = args[i]; // a copy: taking the option erases it
        bool ok = true;
        if (a == "--center") {
            ok = takeNumbers(args, i, 2, v) && validPoint(v[0], v[1]);
            if (ok) centre = {v[0], v[1]};
        } else if (a == "--scale") {
            ok = takeNumbers(args, i, 1, v) && v[0] > 0;
            if (ok) scale = v[0];
        } else if (a == "--width" || a == "--height") {
            ok = takeNumbers(args, i, 1, v) && v[0] >= 100 && v[0] <= 2048 && v[0] == std::floor(v[0]);
            if (ok) (a == "--width" ? width : height) = static_cast<int>(v[0]);
        } else if (a == "--station") {
            ok = takeNumbers(args, i, 3, v) && validPoint(v[0], v[1]) && v[2] >= 0 && v[2] <= 180;
            if (ok) {
                const int n = static_cast<int>(contents.stations.size());
                contents.stations.push_back({format("Station %d", n + 1), v[0], v[1], v[2], n, {}});
                contents.largestDistanceKm = std::max(contents.largestDistanceKm,
                                                      v[2] * std::numbers::pi / 180 * views::kEarthRadiusKm);
            }
        } else if (a == "--event") {
            ok = takeNumbers(args, i, 2, v) && validPoint(v[0], v[1]);
            if (ok) contents.event = views::MapEvent{v[0], v[1], 0, "", 0, {}};
        } else {
            ++i;
            continue;
        }
        if (!ok) {
            std::fprintf(stderr, "bad value for %s\nusage: tellurix-cli %s\n", a.c_str(), kUsage);
            return 2;
        }
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tellurix-cli %s\n", kUsage);
        return 2;
    }

    views::MapStyle style;
    views::MapData data = views::loadMapData(views::mapDataDirectory(), {});
    if (data.failed) std::fprintf(stderr, "map files missing in %s\n", views::mapDataDirectory().c_str());
    views::CMapDoc doc(style, std::move(data));
    doc.setContents(contents, true);
    if (centre) doc.setCentre(centre->first, centre->second);
    if (scale) doc.setLevel(views::snapScaleLevel(*scale));
    const QImage image = views::renderMap(doc, width, height);
    return writeGifAndReport(image, args[0]);
}

} // namespace

TLX_CLI_COMMAND(map, "map", kUsage, runMap);

} // namespace tlx::cli
