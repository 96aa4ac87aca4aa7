// Layout of SVX Type 4 channels: the fixed header check, the variable header blocks and the
// sample encodings. Shared by the single-file and volume readers, the writers and the attach update.
#pragma once

#include "record/event_record.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tlx {

constexpr std::size_t kChannelHeaderSize = sizeof(ChannelHeader);
constexpr char kSvx4Magic[] = "SVXTYPE4";
constexpr char kVolumeMagic[] = "SVXVOLUME1";
constexpr std::size_t kVolumeHeaderSize = 12;
constexpr std::uint8_t kBlockMark = 0x55;
constexpr std::size_t kBlockHeaderSize = 6;

enum BlockType : std::uint8_t {
    kBlockEnd = 0,
    kBlockSensorLocation = 1,
    kBlockSensorDescription = 2,
    kBlockComment = 3,
    kBlockEvent = 4,
    kBlockPick = 5,
    kBlockHistory = 6,
    kBlockDataLogger = 7,
    kBlockElectrical = 11,
    kBlockOpaque = 12,
    kBlockSeedCodes = 13,
};

ChannelHeader channelHeaderFromBytes(const std::uint8_t* bytes);
// magic, date and time ranges, 0 < sps <= 1e6, 50 <= sampleCount < 5,242,880.
bool svx4HeaderCheck(const ChannelHeader& header);

enum class VarHeaderScope {
    Full,
    TextsAndEvents, // header-only reading: texts (first value kept) and event entries
};

// Parses blocks until the end block. Returns the bytes consumed including the end block, or -1
// when a block header or its data runs past the bytes or a block mark is wrong (what was parsed
// so far stays in info).
long parseVariableHeader(std::span<const std::uint8_t> bytes, ChannelInfo& info, VarHeaderScope scope);

// The blocks a record writes, in their fixed order, with the end block; empty when nothing to write.
std::vector<std::uint8_t> buildVariableHeader(const ChannelInfo& info);

// Decodes count little-endian samples of an SVX sample type; the caller has checked the bounds.
void decodeSvxSamples(const std::uint8_t* bytes, int sampleType, std::size_t count, double* out);

// Smallest, largest and mean of the samples into the header's statistics.
void computeStatistics(ChannelHeader& header, std::span<const double> samples);

} // namespace tlx
