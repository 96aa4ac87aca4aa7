// An event document over SVX Type 4 files written into a scratch folder.
#pragma once

#include "core/ini_profile.h"
#include "core/messages.h"
#include "document/eq_doc.h"
#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tlx::test {

inline Svx4Spec stationSpec(const std::string& station, std::vector<double> samples,
                            std::uint8_t sensorType = 2) {
    Svx4Spec s;
    s.sensorId = station;
    s.sensorType = sensorType;
    s.samples = std::move(samples);
    return s;
}

inline bool sameBytes(std::span<const double> a, std::span<const double> b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

class DocTest : public ::testing::Test {
  protected:
    DocTest() : loader(messages) { resetDoc(); }

    void resetDoc(LoadMode mode = LoadMode::Interactive) {
        doc = std::make_unique<CEqDoc>(messages, loader, nullptr, mode);
    }

    std::string file(const std::string& name, const Svx4Spec& spec) {
        const auto path = dir / name;
        writeBytes(path, buildSvx4(spec));
        return path.string();
    }
    std::string file(const std::string& name, const std::string& station, std::vector<double> samples,
                     std::uint8_t sensorType = 2) {
        return file(name, stationSpec(station, std::move(samples), sensorType));
    }
    // Opens one to three records named A, B, C... with ramps of different heights.
    void openStations(int count, std::size_t samples = 200) {
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i) {
            const std::string station(1, static_cast<char>('A' + i));
            files.push_back(file(station + ".svx", station, rampSignal(samples, 100.0 * (i + 1))));
        }
        ASSERT_TRUE(doc->open(OpenRequest{files, kForceNone, {}}));
        ASSERT_EQ(doc->recordCount(), count);
    }
    std::vector<double> copyOf(int slot) const {
        auto s = doc->samples(slot);
        return {s.begin(), s.end()};
    }

    TempDir dir;
    RecordingMessages messages;
    EventLoader loader;
    std::unique_ptr<CEqDoc> doc;
};

} // namespace tlx::test
