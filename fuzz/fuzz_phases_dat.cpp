// The phases.dat reader with any text: every line becomes an IASP91 phase, a table file or
// nothing, and the list written back stays one line per phase.
#include "seismo/iasp91.h"
#include "seismo/travel_times.h"

#include "core/messages.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::filesystem::path& folder() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("fuzz_phases_dat." + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static tlx::Iasp91Tables model = [] {
        // a tiny valid model so that IASP91 lines resolve
        tlx::Iasp91Tables m;
        std::vector<std::uint8_t> image(20 + 20 + 2 * 2 * 1 * 4, 0);
        const std::int32_t head[5] = {2, 2, 1, 1, 10};
        std::memcpy(image.data(), head, sizeof head);
        image[20] = 'P';
        image[30] = 'S';
        m.parse(image);
        return m;
    }();
    {
        std::ofstream out(folder() / "phases.dat", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    tlx::CTravelTm tm;
    tm.setIasp91(&model);
    tlx::RecordingMessages messages;
    tm.readPhases(folder(), {}, folder(), messages);
    const std::string text = tm.phasesText();
    tlx::WindowTravelTimes w;
    for (std::size_t k = tlx::CTravelTm::kFirstExtra; k < tm.slots().size(); ++k)
        tm.phaseArrival(w, 86399999, 0.5, k);
    if (!text.empty() && text.back() != '\n') std::abort();
    return 0;
}
