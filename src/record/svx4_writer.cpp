#include "record/svx4_writer.h"

#include "core/atomic_file.h"
#include "core/byte_order.h"
#include "core/mapped_file.h"
#include "core/text.h"
#include "record/crc16.h"
#include "record/svx3.h"
#include "record/svx4_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace tlx {

namespace {

// Integer types round half away from zero and are held inside their range.
template <typename Int> Int roundToInt(double v) {
    const double r = v >= 0 ? std::floor(v + 0.5) : std::ceil(v - 0.5);
    if (!(r >= std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    if (r > std::numeric_limits<Int>::max()) return std::numeric_limits<Int>::max();
    return static_cast<Int>(r);
}

void putSample(std::uint8_t* p, int sampleType, double v, double& written) {
    switch (sampleType) {
    case 0: {
        const auto s = roundToInt<std::int16_t>(v);
        writeLE(p, s);
        written = s;
        break;
    }
    case 1: {
        const auto s = roundToInt<std::int32_t>(v);
        writeLE(p, s);
        written = s;
        break;
    }
    case 2: {
        const auto s = static_cast<float>(v);
        writeLE(p, s);
        written = s;
        break;
    }
    default:
        writeLE(p, v);
        written = v;
        break;
    }
}

// The record's earlier short archive file goes once its long-named successor is written.
void removeReplacedArchiveFile(const EventRecord& record, const std::filesystem::path& written,
                               const WriterOptions& options) {
    if (!options.longFileNames || record.fileName.empty()) return;
    const std::filesystem::path previous(record.fileName);
    std::error_code ec;
    if (isShortArchiveName(previous) && !std::filesystem::equivalent(previous, written, ec))
        std::filesystem::remove(previous, ec);
}

} // namespace

double dcValue(const WriteChannel& channel, const WriterOptions& options) {
    if (!options.removeDc) return 0;
    if (!options.autoDcOffset) return channel.manualDcOffset;
    double sum = 0;
    for (double v : channel.samples)
        sum += v;
    return channel.samples.empty() ? 0 : sum / static_cast<double>(channel.samples.size());
}

bool askBeforeOverwrite(const std::filesystem::path& path, const WriterOptions& options, Messages& messages) {
    std::error_code ec;
    if (!options.askOverwrite || !std::filesystem::exists(path, ec)) return true;
    return messages.ask(format("Overwrite file %s", path.c_str()), Buttons::YesNo) == Answer::Yes;
}

bool commitFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, Messages& messages) {
    AtomicFileWriter writer(path);
    if (!writer.open()) {
        messages.error(format("Can't open file %s for write", path.c_str()));
        return false;
    }
    if (!writer.write(bytes) || !writer.commit()) {
        messages.error(format("Error writing file %s", path.c_str()));
        return false;
    }
    return true;
}

int resolveSampleType(std::span<const WriteChannel> window, const WriterOptions& options) {
    if (options.sampleType != kSampleTypeAuto) return options.sampleType;
    if (options.dataProcessed) return 2;
    for (const WriteChannel& c : window)
        if (c.record->header.sampleType == 2 || c.record->header.sampleType == 3)
            return c.record->header.sampleType;
    for (const WriteChannel& c : window)
        if (c.record->header.dataMax + 0.5 > 32767 || c.record->header.dataMin - 0.5 < -32768) return 1;
    return 0;
}

std::vector<std::uint8_t> encodeSvx4Channel(const WriteChannel& channel, const WriterOptions& options,
                                            int sampleType) {
    const int n = std::max(1, options.decimation);
    const std::size_t count = channel.samples.size() / static_cast<std::size_t>(n);
    const int width = sampleWidth(sampleType);
    const std::vector<std::uint8_t> varHeader = buildVariableHeader(channel.record->info);

    ChannelHeader header = channel.record->header;
    std::memcpy(header.magic, kSvx4Magic, 8);
    header.varHeaderLength = static_cast<std::int32_t>(varHeader.size());
    header.sps = (options.windowSps > 0 ? options.windowSps : static_cast<double>(header.sps)) / n;
    header.sampleCount = static_cast<std::int32_t>(count);
    header.headerFlags = 0;
    header.sampleType = static_cast<std::uint8_t>(sampleType);

    const std::size_t dataStart = kChannelHeaderSize + varHeader.size();
    std::vector<std::uint8_t> out(dataStart + count * width + 2);
    std::copy(varHeader.begin(), varHeader.end(), out.begin() + kChannelHeaderSize);

    const double dc = dcValue(channel, options);
    double lo = std::numeric_limits<double>::infinity(), hi = -lo, sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = writtenValue(channel.samples, i, n, dc, options.invert);
        double written;
        putSample(&out[dataStart + i * width], sampleType, v, written);
        lo = std::min(lo, written);
        hi = std::max(hi, written);
        sum += written;
    }
    header.dataMin = count ? lo : 0;
    header.dataMax = count ? hi : 0;
    header.dataMean = count ? sum / static_cast<double>(count) : 0;
    std::memcpy(out.data(), &header, sizeof header);
    const std::size_t crcEnd = dataStart + count * width;
    writeLE(&out[crcEnd], crc16Xmodem({out.data(), crcEnd}));
    return out;
}

bool writeSvx4File(const std::filesystem::path& path, const WriteChannel& channel,
                   const WriterOptions& options, Messages& messages) {
    if (!askBeforeOverwrite(path, options, messages)) return false;
    const int type = resolveSampleType({&channel, 1}, options);
    const std::vector<std::uint8_t> bytes = encodeSvx4Channel(channel, options, type);
    if (!commitFile(path, bytes, messages)) return false;
    removeReplacedArchiveFile(*channel.record, path, options);
    return true;
}

bool writeSvx4Files(std::span<const std::filesystem::path> paths, std::span<const WriteChannel> channels,
                    const WriterOptions& options, Messages& messages) {
    if (paths.size() != channels.size()) return false;
    WriterOptions common = options;
    common.sampleType = resolveSampleType(channels, options);
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!writeSvx4File(paths[i], channels[i], common, messages)) return false;
    return true;
}

bool writeSvxVolume(const std::filesystem::path& path, std::span<const WriteChannel> channels,
                    const WriterOptions& options, Messages& messages) {
    if (channels.empty() || channels.size() > 3) return false;
    if (!askBeforeOverwrite(path, options, messages)) return false;
    const int type = resolveSampleType(channels, options);
    std::vector<std::uint8_t> bytes(kVolumeHeaderSize);
    std::memcpy(bytes.data(), kVolumeMagic, 10);
    writeLE<std::uint16_t>(&bytes[10], static_cast<std::uint16_t>(channels.size()));
    WriterOptions perChannel = options;
    if (perChannel.windowSps <= 0) perChannel.windowSps = channels.front().record->header.sps;
    for (const WriteChannel& channel : channels) {
        const std::vector<std::uint8_t> image = encodeSvx4Channel(channel, perChannel, type);
        bytes.insert(bytes.end(), image.begin(), image.end());
    }
    if (!commitFile(path, bytes, messages)) return false;
    for (const WriteChannel& channel : channels)
        removeReplacedArchiveFile(*channel.record, path, options);
    return true;
}

bool isShortArchiveName(const std::filesystem::path& path) {
    const std::string stem = path.stem().string();
    if (stem.size() < 7) return false;
    for (int i = 0; i < 6; ++i)
        if (!std::isdigit(static_cast<unsigned char>(stem[i]))) return false;
    return std::isalpha(static_cast<unsigned char>(stem[6])) && !iequals(path.extension().string(), ".svx");
}

namespace {

// One stored channel read for the attach update: its record and its sample bytes, unchanged.
struct StoredChannel {
    EventRecord record;
    std::span<const std::uint8_t> sampleBytes;
};

enum class ChannelRead { Ok, Short, BadCrc };

ChannelRead readStoredChannel(std::span<const std::uint8_t> bytes, std::size_t offset, StoredChannel& out,
                              std::size_t& next) {
    if (offset + kChannelHeaderSize > bytes.size()) return ChannelRead::Short;
    out.record.header = channelHeaderFromBytes(bytes.data() + offset);
    const ChannelHeader& h = out.record.header;
    if (h.varHeaderLength < 0 || h.sampleCount < 0) return ChannelRead::Short;
    const std::size_t dataStart = offset + kChannelHeaderSize + static_cast<std::size_t>(h.varHeaderLength);
    const std::size_t dataEnd =
        dataStart + static_cast<std::size_t>(h.sampleCount) * sampleWidth(h.sampleType);
    if (dataEnd + 2 > bytes.size()) return ChannelRead::Short;
    if ((h.headerFlags & 1) == 0 &&
        readLE<std::uint16_t>(bytes.data() + dataEnd) != crc16Xmodem(bytes.subspan(offset, dataEnd - offset)))
        return ChannelRead::BadCrc;
    if (h.varHeaderLength != 0 &&
        parseVariableHeader(bytes.subspan(offset + kChannelHeaderSize, h.varHeaderLength), out.record.info,
                            VarHeaderScope::Full) < 0)
        return ChannelRead::Short;
    out.sampleBytes = bytes.subspan(dataStart, dataEnd - dataStart);
    next = dataEnd + 2;
    return ChannelRead::Ok;
}

void appendChannel(std::vector<std::uint8_t>& out, const StoredChannel& channel) {
    const std::vector<std::uint8_t> varHeader = buildVariableHeader(channel.record.info);
    ChannelHeader header = channel.record.header;
    header.varHeaderLength = static_cast<std::int32_t>(varHeader.size());
    header.headerFlags &= ~1;
    const std::size_t start = out.size();
    const auto* h = reinterpret_cast<const std::uint8_t*>(&header);
    out.insert(out.end(), h, h + sizeof header);
    out.insert(out.end(), varHeader.begin(), varHeader.end());
    out.insert(out.end(), channel.sampleBytes.begin(), channel.sampleBytes.end());
    const std::uint16_t crc = crc16Xmodem({out.data() + start, out.size() - start});
    out.resize(out.size() + 2);
    writeLE(&out[out.size() - 2], crc);
}

} // namespace

bool attachEventToFile(const std::filesystem::path& path, const AddReport& addReport,
                       const NewFileName& newName, Messages& messages) {
    MappedFile file;
    if (!file.open(path)) return false;
    const auto bytes = file.bytes();
    if (isSvx3File(bytes)) {
        file.close();
        return attachEventToSvx3File(path, addReport, messages);
    }
    const bool volume = bytes.size() >= kVolumeHeaderSize && std::memcmp(bytes.data(), kVolumeMagic, 10) == 0;
    if (!volume && (bytes.size() < 8 || std::memcmp(bytes.data(), kSvx4Magic, 8) != 0)) return false;

    std::vector<StoredChannel> channels;
    std::size_t offset = 0, count = 1;
    if (volume) {
        count = readLE<std::uint16_t>(bytes.data() + 10);
        if (count < 1 || count > 3) return false;
        offset = kVolumeHeaderSize;
    }
    // Every CRC is verified before anything is written.
    for (std::size_t k = 0; k < count; ++k) {
        StoredChannel channel;
        switch (readStoredChannel(bytes, offset, channel, offset)) {
        case ChannelRead::Short:
            return false;
        case ChannelRead::BadCrc:
            messages.error("CRC Error - File not updated");
            return false;
        case ChannelRead::Ok:
            break;
        }
        channels.push_back(std::move(channel));
    }

    std::vector<std::uint8_t> out;
    if (volume) {
        out.assign(bytes.begin(), bytes.begin() + kVolumeHeaderSize);
    }
    for (StoredChannel& channel : channels) {
        channel.record.fileName = path.string();
        addReport(channel.record);
        appendChannel(out, channel);
    }
    std::filesystem::path target = path;
    if (!volume && newName) {
        const std::filesystem::path wanted = newName(channels.front().record);
        if (!wanted.empty()) target = wanted;
    }
    if (!commitFile(target, out, messages)) return false;
    std::error_code ec;
    if (target != path && !std::filesystem::equivalent(target, path, ec)) std::filesystem::remove(path, ec);
    return true;
}

} // namespace tlx
