// Builds SVX Type 4 files and volumes field by field from the published layout (offsets written
// out here, CRC computed bit by bit), independently of the program's reader and writer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tlx::test {

struct BlockSpec {
    BlockSpec(std::uint8_t blockType = 0, std::vector<std::uint8_t> blockData = {})
        : type(blockType), data(std::move(blockData)) {}
    std::uint8_t type = 0;
    std::vector<std::uint8_t> data;
    std::uint8_t mark = 0x55;
    std::optional<std::int32_t> lengthOverride;
};

struct TimeSpec {
    int year = 2024, month = 3, day = 1, hour = 12, minute = 0, second = 5;
    std::int32_t nanoseconds = 250'000'000;
};

struct Svx4Spec {
    std::string magic = "SVXTYPE4";
    TimeSpec start;
    double startTimeOffset = 0.0;
    double sps = 100.0;
    std::optional<std::int32_t> sampleCount; // default: samples.size()
    std::int32_t headerFlags = 0;
    std::string timeRefType = "GPS";
    char lockIndicator = 'L';
    std::uint8_t sampleType = 1;
    double incident = 0, azimuth = 0;
    char orientation = 'Z';
    std::uint8_t sensorType = 2;
    double latitude = 47.25, longitude = -122.5, elevation = 120.0;
    std::string sensorId = "TEST", componentName = "BHZ", network = "XX";
    double sensitivity = 1.5e-7, magCorrection = 0.1;
    std::int16_t adBits = 24;
    std::vector<BlockSpec> blocks;               // the end block is added when this is not empty
    std::optional<std::int32_t> varHeaderLength; // default: the blocks' total
    std::vector<double> samples;
    bool crc = true;
    std::optional<std::uint16_t> crcOverride;
};

std::uint16_t bitwiseCrc16(const std::uint8_t* data, std::size_t size);

std::vector<std::uint8_t> buildSvx4(const Svx4Spec& spec);
std::vector<std::uint8_t> buildSvxVolume(const std::vector<Svx4Spec>& channels,
                                         std::optional<std::uint16_t> count = {});

BlockSpec textBlock(std::uint8_t type, const std::string& text);
BlockSpec eventBlock(const TimeSpec& origin, double lat, double lon, double depth, std::int16_t magMl,
                     std::int16_t magMb = 0, const std::string& source = "USGS");
BlockSpec pickBlock(const TimeSpec& time, const std::string& phase, std::uint16_t flags, std::int16_t weight,
                    std::int16_t depth);
BlockSpec historyBlock(const std::vector<std::string>& lines);

// A smooth test signal with integer values (exactly representable in every sample type).
std::vector<double> rampSignal(std::size_t count, double amplitude = 1000.0);

} // namespace tlx::test
