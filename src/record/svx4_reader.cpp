#include "record/svx4_reader.h"

#include "core/byte_order.h"
#include "core/debug_log.h"
#include "core/text.h"
#include "record/crc16.h"

#include <cstring>

namespace tlx {
namespace {

HeaderStatus readSingle(LoadContext& context, LoadResult& result, VarHeaderScope scope) {
    const auto bytes = context.bytes();
    if (bytes.size() < kChannelHeaderSize) return HeaderStatus::NotThisFormat;
    const ChannelHeader header = channelHeaderFromBytes(bytes.data());
    if (!svx4HeaderCheck(header)) return HeaderStatus::NotThisFormat;
    LoadedChannel channel;
    channel.record.header = header;
    channel.record.fileName = context.path();
    if (header.varHeaderLength != 0 &&
        parseVariableHeader(bytes.subspan(kChannelHeaderSize), channel.record.info, scope) < 0)
        logFormat("SVX4 %s: variable header ends early; kept what was read", context.path().c_str());
    result.kind = kKindSvx4;
    result.subKind = SubKind::Binary;
    result.commonCount = header.sampleCount;
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

} // namespace

bool readSvx4ChannelSamples(LoadContext& context, std::size_t offset, LoadedChannel& channel, int count) {
    const auto bytes = context.bytes();
    const ChannelHeader& h = channel.record.header;
    const int width = sampleWidth(h.sampleType);
    const std::int32_t varLength = h.varHeaderLength;
    const std::uint64_t dataStart = offset + kChannelHeaderSize + static_cast<std::uint64_t>(varLength);
    const std::uint64_t dataEnd = dataStart + static_cast<std::uint64_t>(count) * width;
    if (varLength < 0 || dataEnd > bytes.size()) {
        context.report(format("File %s ends before its last sample", context.path().c_str()), false);
        return false;
    }
    if ((h.headerFlags & 1) == 0) {
        const std::uint16_t computed = crc16Xmodem(bytes.subspan(offset, dataEnd - offset));
        const bool present = dataEnd + 2 <= bytes.size();
        if (!present || readLE<std::uint16_t>(bytes.data() + dataEnd) != computed) {
            logFormat("SVX4 %s: CRC mismatch at channel offset %zu", context.path().c_str(), offset);
            context.report("CRC Error");
        }
    }
    channel.samples.resize(static_cast<std::size_t>(count));
    decodeSvxSamples(bytes.data() + dataStart, h.sampleType, channel.samples.size(), channel.samples.data());
    return true;
}

HeaderStatus Svx4Reader::readHeader(LoadContext& context, LoadResult& result, std::string&) const {
    return readSingle(context, result, VarHeaderScope::Full);
}

bool Svx4Reader::readHeaderOnly(LoadContext& context, LoadResult& result) const {
    return readSingle(context, result, VarHeaderScope::TextsAndEvents) == HeaderStatus::Ok;
}

bool Svx4Reader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    return readSvx4ChannelSamples(context, 0, result.channels.front(), count);
}

HeaderStatus Svx4VolumeReader::readChannels(LoadContext& context, LoadResult& result, VarHeaderScope scope,
                                            std::vector<std::size_t>& offsets) const {
    const auto bytes = context.bytes();
    if (bytes.size() < kVolumeHeaderSize || std::memcmp(bytes.data(), kVolumeMagic, 10) != 0)
        return HeaderStatus::NotThisFormat;
    result.kind = kKindSvxVolume;
    const std::uint16_t channels = readLE<std::uint16_t>(bytes.data() + 10);
    if (channels < 1 || channels > 3) return HeaderStatus::Failed;
    std::uint64_t p = kVolumeHeaderSize;
    for (int k = 0; k < channels; ++k) {
        if (p + kChannelHeaderSize > bytes.size()) return HeaderStatus::Failed;
        LoadedChannel channel;
        channel.record.header = channelHeaderFromBytes(bytes.data() + p);
        channel.record.fileName = context.path();
        const ChannelHeader& h = channel.record.header;
        if (!svx4HeaderCheck(h)) return HeaderStatus::Failed;
        long varBytes = 0;
        if (h.varHeaderLength != 0) {
            varBytes = parseVariableHeader(bytes.subspan(p + kChannelHeaderSize), channel.record.info, scope);
            if (varBytes < 0) return HeaderStatus::Failed;
        }
        offsets.push_back(static_cast<std::size_t>(p));
        p += kChannelHeaderSize + varBytes +
             static_cast<std::uint64_t>(sampleWidth(h.sampleType)) * h.sampleCount + 2;
        if (k == 0) result.commonCount = h.sampleCount;
        result.channels.push_back(std::move(channel));
    }
    return HeaderStatus::Ok;
}

HeaderStatus Svx4VolumeReader::readHeader(LoadContext& context, LoadResult& result,
                                          std::string& failure) const {
    std::vector<std::size_t> offsets;
    HeaderStatus status = readChannels(context, result, VarHeaderScope::Full, offsets);
    if (status == HeaderStatus::Ok && oneChannel_) {
        const auto index = static_cast<std::size_t>(std::max(context.channelIndex, 0));
        if (index >= result.channels.size()) return HeaderStatus::Failed;
        LoadedChannel chosen = std::move(result.channels[index]);
        result.channels.clear();
        result.channels.push_back(std::move(chosen));
        result.kind = kKindSvx4;
        result.subKind = SubKind::Binary;
        result.commonCount = result.channels.front().record.header.sampleCount;
    }
    if (status == HeaderStatus::Failed) failure = "Error loading SVX Data Set Volume";
    return status;
}

bool Svx4VolumeReader::readHeaderOnly(LoadContext& context, LoadResult& result) const {
    std::vector<std::size_t> offsets;
    return readChannels(context, result, VarHeaderScope::TextsAndEvents, offsets) == HeaderStatus::Ok;
}

bool Svx4VolumeReader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    if (oneChannel_) {
        LoadResult again;
        std::vector<std::size_t> offsets;
        const auto index = static_cast<std::size_t>(std::max(context.channelIndex, 0));
        if (readChannels(context, again, VarHeaderScope::TextsAndEvents, offsets) != HeaderStatus::Ok ||
            index >= offsets.size())
            return false;
        return readSvx4ChannelSamples(context, offsets[index], result.channels.front(), count);
    }
    std::size_t p = kVolumeHeaderSize;
    for (LoadedChannel& channel : result.channels) {
        if (!readSvx4ChannelSamples(context, p, channel, count)) return false;
        const ChannelHeader& h = channel.record.header;
        p += kChannelHeaderSize + h.varHeaderLength +
             static_cast<std::size_t>(sampleWidth(h.sampleType)) * count + 2;
    }
    return true;
}

} // namespace tlx
