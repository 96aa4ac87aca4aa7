#include "document/doc_save.h"

#include "record/mseed_writer.h"
#include "record/sac_writer.h"
#include "record/svx3_writer.h"
#include "record/svx_ascii_writer.h"

namespace tlx {

int preselectedSaveFormat(const CEqDoc& doc) {
    return doc.fileKind() == kKindSac ? kSaveSac : kSaveSvx4;
}

bool writeRecords(CEqDoc& doc, const SaveChoice& choice, int slot, Messages& messages) {
    const int count = doc.recordCount();
    if (count == 0 || static_cast<int>(choice.names.size()) < count || choice.format == kSaveGif)
        return false;
    WriterOptions options = doc.writerOptions();
    options.decimation = std::max(1, choice.decimation);
    options.invert = choice.invert;
    options.removeDc = choice.removeDc;
    options.sampleType = choice.sampleType;
    options.askOverwrite = choice.askOverwrite;
    options.longFileNames = choice.longFileNames;
    options.geography = choice.geography;
    const std::vector<WriteChannel> channels = doc.writeChannels();
    if (options.sampleType == kSampleTypeAuto) options.sampleType = resolveSampleType(channels, options);

    if (choice.format == kSaveSvx4 && choice.volume && slot < 0 && count > 1) {
        if (!writeSvxVolume(choice.names[0], channels, options, messages)) return false;
        for (int i = 0; i < count; ++i)
            doc.setFileName(i, choice.names[0]);
        return true;
    }
    for (int i = 0; i < count; ++i) {
        if (slot >= 0 && i != slot) continue;
        const std::string& name = choice.names[static_cast<std::size_t>(i)];
        const WriteChannel& ch = channels[static_cast<std::size_t>(i)];
        bool ok = false;
        switch (choice.format) {
        case kSaveSvx4:
            ok = writeSvx4File(name, ch, options, messages);
            break;
        case kSaveSvx3:
            ok =
                writeSvx3File(name, ch, options,
                              Svx3Options{std::max(1, choice.yCompression), choice.regionalTables}, messages);
            break;
        case kSaveSvxText:
            ok = writeSvxAscii(name, ch, options, TimeColumn::None, messages);
            break;
        case kSaveSac:
            ok = writeSacFile(name, ch, options, choice.sacByteOrder, messages);
            break;
        case kSaveMiniSeed:
            ok = writeMiniSeedFile(name, std::span(&ch, 1), options, MseedWriteOptions{}, messages);
            break;
        default:
            break;
        }
        if (!ok) return false;
        doc.setFileName(i, name);
    }
    return true;
}

} // namespace tlx
