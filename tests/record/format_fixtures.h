// Builders of SVX Type 3 and PEPP files from their published layouts (offsets written out here),
// independent of the program's readers, plus small text helpers for the text formats.
#pragma once

#include "record/geography.h"
#include "record/loader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tlx::test {

// A geography with set answers, standing in for the seismological library.
struct FixedGeography : Geography {
    GreatCircleResult arc;
    std::function<std::string(double, double)> region = [](double, double) { return std::string(); };
    bool greatCircle(double, double, double, double, GreatCircleResult& out) const override {
        out = arc;
        return true;
    }
    std::string regionName(double lat, double lon) const override { return region(lat, lon); }
};

// Little-endian pokes into a byte image.
void put16(std::vector<std::uint8_t>& b, std::size_t at, int v);
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v);
void putFloat(std::vector<std::uint8_t>& b, std::size_t at, float v);
void putText(std::vector<std::uint8_t>& b, std::size_t at, const std::string& text);

struct Svx3Spec {
    int version = 3;
    int year = 2003, month = 5, day = 12, hour = 14, minute = 30, second = 0, tenths = 0;
    int endHour = 14, endMinute = 30, endSecond = 10, endTenths = 0; // 10 s
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(1000, 0);
    bool countInPreamble = false; // count word 0xFFFF, count in the preamble's int32
    int dcOffset = 0;
    char orientation = 'Z';
    int latDeg = 40, latThou = 500, lonDeg = -82, lonThou = 250;
    int adBits = 16;
    std::string location = "Columbus";
    std::string comment = "type three";
};

// The header (200 bytes after the 7-byte preamble) can be edited at offset 7 + word offset.
std::vector<std::uint8_t> buildSvx3(const Svx3Spec& spec);
constexpr std::size_t kSvx3Header = 7;

struct PeppSpec {
    int year = 2010, month = 6, day = 15, hour = 8, minute = 20;
    float seconds = 30.25f;
    float sps = 50;
    std::vector<float> samples = std::vector<float>(200, 1.5f);
    std::int32_t countOverride = -1;
    int response = 5;         // velocity
    float sensitivity = 2.0f; // -12345 undefined
    std::string station = "ABC", network = "PP", location = "", description = "SP sensor", component = "SHZ";
    char orientation = 'Z';
    float latitude = 48.5f, longitude = 11.25f;
    int elevation = 500;
    int eventYear = -12345;
};

std::vector<std::uint8_t> buildPeppTrace(const PeppSpec& spec); // header + samples
std::vector<std::uint8_t> buildPeppSingle(const PeppSpec& spec);
std::vector<std::uint8_t> buildPeppMulti(const std::vector<PeppSpec>& traces,
                                         std::uint32_t marker = 0x05B83A2B);

std::vector<std::uint8_t> bytesOf(const std::string& text);

// Loads bytes through the loader with the given settings.
LoadResult loadText(const std::string& text, RecordingMessages& messages,
                    const LoaderSettings& settings = {});
LoadResult loadImage(const std::vector<std::uint8_t>& bytes, RecordingMessages& messages,
                     const std::string& path = "mem.dat", const LoaderSettings& settings = {},
                     int forcedKind = kForceNone, int channelIndex = 0);

} // namespace tlx::test
