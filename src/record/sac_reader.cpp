#include "record/sac_reader.h"

#include "core/byte_order.h"
#include "core/text.h"

namespace tlx {

HeaderStatus SacReader::readHeader(LoadContext& context, LoadResult& result, std::string&) const {
    SacHeader header;
    SacByteOrder order;
    if (!parseSacHeader(context.bytes(), header, order)) return HeaderStatus::NotThisFormat;
    LoadedChannel channel;
    sacHeaderToRecord(header, channel.record);
    channel.record.fileName = context.path();
    result.kind = kKindSac;
    result.subKind = SubKind::Binary;
    result.commonCount = header.i[kSacNpts];
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool SacReader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    const auto bytes = context.bytes();
    const auto order = sacFileByteOrder(bytes);
    const std::uint64_t end = kSacHeaderSize + static_cast<std::uint64_t>(count) * 4;
    if (!order || end > bytes.size()) {
        context.report(format("File %s ends before its last sample", context.path().c_str()), false);
        return false;
    }
    LoadedChannel& channel = result.channels.front();
    channel.samples.resize(static_cast<std::size_t>(count));
    decodeSacSamples(bytes.data() + kSacHeaderSize, *order, channel.samples.size(), channel.samples.data());
    return true;
}

std::optional<SacByteOrder> sacFileByteOrder(std::span<const std::uint8_t> bytes) {
    SacHeader header;
    SacByteOrder order;
    if (!parseSacHeader(bytes, header, order)) return std::nullopt;
    return order;
}

void decodeSacSamples(const std::uint8_t* bytes, SacByteOrder order, std::size_t count, double* out) {
    if (order == SacByteOrder::Little) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = readLE<float>(bytes + 4 * i);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = readBE<float>(bytes + 4 * i);
    }
}

} // namespace tlx
