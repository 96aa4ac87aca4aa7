#include "record/svx4_format.h"

#include "core/byte_order.h"
#include "core/text.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tlx {
namespace {

std::string blockText(std::span<const std::uint8_t> data) {
    const auto* p = reinterpret_cast<const char*>(data.data());
    std::size_t n = std::find(data.begin(), data.end(), 0) - data.begin();
    return std::string(p, std::min(n, kMaxInfoText));
}

void appendBlock(std::vector<std::uint8_t>& out, std::uint8_t type, const void* data, std::size_t size) {
    const std::size_t at = out.size();
    out.resize(at + kBlockHeaderSize + size);
    out[at] = kBlockMark;
    out[at + 1] = type;
    writeLE<std::int32_t>(&out[at + 2], static_cast<std::int32_t>(size));
    if (size) std::memcpy(&out[at + kBlockHeaderSize], data, size);
}

void appendText(std::vector<std::uint8_t>& out, std::uint8_t type, const std::string& text) {
    if (text.empty()) return;
    const std::string cut = text.substr(0, kMaxInfoText);
    appendBlock(out, type, cut.c_str(), cut.size() + 1);
}

void keepText(std::string& field, std::string value, VarHeaderScope scope) {
    if (scope == VarHeaderScope::TextsAndEvents && !field.empty()) return;
    field = std::move(value);
}

} // namespace

ChannelHeader channelHeaderFromBytes(const std::uint8_t* bytes) {
    ChannelHeader header;
    std::memcpy(&header, bytes, sizeof header);
    return header;
}

bool svx4HeaderCheck(const ChannelHeader& h) {
    const EventTime t = h.startTime;
    const double sps = h.sps;
    const std::int32_t count = h.sampleCount;
    return std::memcmp(h.magic, kSvx4Magic, 8) == 0 && t.year >= 1960 && t.year <= 2200 && t.month >= 1 &&
           t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 24 && t.minute <= 60 && t.second <= 60 &&
           sps > 0 && sps <= 1'000'000 && count >= 50 && count < kMaxSampleCount;
}

long parseVariableHeader(std::span<const std::uint8_t> bytes, ChannelInfo& info, VarHeaderScope scope) {
    const bool full = scope == VarHeaderScope::Full;
    std::size_t pos = 0;
    for (;;) {
        if (bytes.size() - pos < kBlockHeaderSize) return -1;
        const std::uint8_t* block = bytes.data() + pos;
        if (block[0] != kBlockMark) return -1;
        const std::uint8_t type = block[1];
        const std::int32_t length = readLE<std::int32_t>(block + 2);
        if (length < 0 || static_cast<std::size_t>(length) > bytes.size() - pos - kBlockHeaderSize) return -1;
        const std::span<const std::uint8_t> data = bytes.subspan(pos + kBlockHeaderSize, length);
        const std::span<const std::uint8_t> whole = bytes.subspan(pos, kBlockHeaderSize + length);
        pos += kBlockHeaderSize + length;
        bool kept = true;
        switch (type) {
        case kBlockEnd:
            return static_cast<long>(pos);
        case kBlockSensorLocation:
            keepText(info.sensorLocation, blockText(data), scope);
            break;
        case kBlockSensorDescription:
            keepText(info.sensorDescription, blockText(data), scope);
            break;
        case kBlockComment:
            keepText(info.comment, blockText(data), scope);
            break;
        case kBlockDataLogger:
            keepText(info.dataLogger, blockText(data), scope);
            break;
        case kBlockEvent:
            if (length != sizeof(EventEntry))
                kept = false;
            else {
                EventEntry e;
                std::memcpy(&e, data.data(), sizeof e);
                info.events.push_back(e);
            }
            break;
        default:
            if (!full) break; // header-only reading skips every other block
            switch (type) {
            case kBlockPick:
                if (length != sizeof(PickEntry))
                    kept = false;
                else {
                    PickEntry p;
                    std::memcpy(&p, data.data(), sizeof p);
                    info.picks.push_back(p);
                }
                break;
            case kBlockHistory:
                if (length == 0)
                    kept = false;
                else
                    for (std::string& line : split(blockText(data), ','))
                        info.history.push_back(std::move(line));
                break;
            case kBlockElectrical:
                if (length == 0)
                    kept = false;
                else {
                    double values[3] = {0, 0, 0};
                    std::memcpy(values, data.data(), std::min<std::size_t>(length, sizeof values));
                    info.sensorOutput = values[0];
                    info.ampGain = values[1];
                    info.adVolts = values[2];
                }
                break;
            case kBlockOpaque:
                if (length == 0)
                    kept = false;
                else
                    info.opaqueBlock.assign(data.begin(), data.end());
                break;
            case kBlockSeedCodes:
                if (length == 0)
                    kept = false;
                else {
                    char codes[8] = {};
                    std::memcpy(codes, data.data(), std::min<std::size_t>(length, sizeof codes));
                    std::memcpy(info.seedNetwork, codes, 4);
                    std::memcpy(info.seedLocation, codes + 4, 4);
                }
                break;
            default:
                kept = false;
                break;
            }
            break;
        }
        if (!kept && full) info.extraBlocks.emplace_back(whole.begin(), whole.end());
    }
}

std::vector<std::uint8_t> buildVariableHeader(const ChannelInfo& info) {
    std::vector<std::uint8_t> out;
    appendText(out, kBlockSensorLocation, info.sensorLocation);
    appendText(out, kBlockSensorDescription, info.sensorDescription);
    appendText(out, kBlockComment, info.comment);
    appendText(out, kBlockDataLogger, info.dataLogger);
    for (const EventEntry& e : info.events)
        appendBlock(out, kBlockEvent, &e, sizeof e);
    for (const PickEntry& p : info.picks)
        appendBlock(out, kBlockPick, &p, sizeof p);
    if (!info.history.empty()) {
        std::string joined;
        for (std::size_t i = 0; i < info.history.size(); ++i) {
            if (i) joined += ',';
            joined += info.history[i];
        }
        appendBlock(out, kBlockHistory, joined.c_str(), joined.size() + 1);
    }
    if (info.sensorOutput != 0 || info.ampGain != 0 || info.adVolts != 0) {
        const double values[3] = {info.sensorOutput, info.ampGain, info.adVolts};
        appendBlock(out, kBlockElectrical, values, sizeof values);
    }
    if (!info.opaqueBlock.empty())
        appendBlock(out, kBlockOpaque, info.opaqueBlock.data(), info.opaqueBlock.size());
    for (const RawBlock& raw : info.extraBlocks)
        out.insert(out.end(), raw.begin(), raw.end());
    if (info.seedNetwork[0] != 0 || info.seedLocation[0] != 0) {
        char codes[8];
        std::memcpy(codes, info.seedNetwork, 4);
        std::memcpy(codes + 4, info.seedLocation, 4);
        appendBlock(out, kBlockSeedCodes, codes, sizeof codes);
    }
    if (!out.empty()) appendBlock(out, kBlockEnd, nullptr, 0);
    return out;
}

void decodeSvxSamples(const std::uint8_t* p, int sampleType, std::size_t count, double* out) {
    switch (sampleType) {
    case 0:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = readLE<std::int16_t>(p + 2 * i);
        break;
    case 1:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = readLE<std::int32_t>(p + 4 * i);
        break;
    case 2:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = readLE<float>(p + 4 * i);
        break;
    default:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = readLE<double>(p + 8 * i);
        break;
    }
}

void computeStatistics(ChannelHeader& header, std::span<const double> samples) {
    if (samples.empty()) {
        header.dataMin = header.dataMax = header.dataMean = 0;
        return;
    }
    double lo = samples[0], hi = samples[0], sum = 0;
    for (double v : samples) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        sum += v;
    }
    header.dataMin = lo;
    header.dataMax = hi;
    header.dataMean = sum / static_cast<double>(samples.size());
}

} // namespace tlx
