#include "app/convert_mode.h"

#include "core/debug_log.h"
#include "record/svx4_writer.h"
#include "views/event_session.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace tlx::app {
namespace {

bool isFolderSource(const std::string& source) {
    if (source.empty()) return false;
    if (source.back() == '/' || source.back() == '\\') return true;
    return fs::path(source).filename().string().find('.') == std::string::npos;
}

enum class Result { Converted, Unreadable, Failed, Unchanged };

Result convertOne(const fs::path& file, const fs::path& folder, const LoaderSettings& settings) {
    // No one answers questions here; messages go to the log through the recorder.
    RecordingMessages messages(Answer::Yes);
    EventLoader loader(messages, settings);
    const views::SeismoTables noTables; // the records go out as they were read
    views::EventSession session(noTables, loader, messages, nullptr, LoadMode::Picture);
    if (!session.open(std::vector<std::string>{file.string()})) {
        logFormat("convert: %s is not an event file", file.string().c_str());
        return Result::Unreadable;
    }
    CEqDoc& doc = session.doc();
    const fs::path target = folder / file.filename().replace_extension(".svx");
    std::error_code ec;
    if (fs::equivalent(target, file, ec) && doc.fileKind() == kKindSvx4 && doc.subKind() == SubKind::Binary)
        return Result::Unchanged;
    const std::vector<WriteChannel> channels = doc.writeChannels();
    WriterOptions options = doc.writerOptions();
    options.sampleType = resolveSampleType(channels, options);
    const bool ok = channels.size() == 1 ? writeSvx4File(target, channels.front(), options, messages)
                                         : writeSvxVolume(target, channels, options, messages);
    for (const RecordedMessage& m : messages.messages())
        logFormat("convert: %s: %s", file.string().c_str(), m.text.c_str());
    logFormat("convert: %s -> %s %s", file.string().c_str(), target.string().c_str(), ok ? "done" : "failed");
    return ok ? Result::Converted : Result::Failed;
}

} // namespace

ConversionSummary convertEventFiles(const std::string& source, const std::string& destination,
                                    const LoaderSettings& settings) {
    ConversionSummary summary;
    std::vector<fs::path> files;
    std::error_code ec;
    if (isFolderSource(source)) {
        for (const fs::directory_entry& e : fs::directory_iterator(source, ec)) {
            const std::string name = e.path().filename().string();
            if (!name.empty() && name.front() != '.' && e.is_regular_file(ec)) files.push_back(e.path());
        }
        std::sort(files.begin(), files.end());
    } else {
        files.emplace_back(source);
    }
    if (ec) logFormat("convert: %s: %s", source.c_str(), ec.message().c_str());
    for (const fs::path& file : files) {
        const fs::path folder = destination.empty() ? file.parent_path() : fs::path(destination);
        fs::create_directories(folder, ec);
        switch (convertOne(file, folder, settings)) {
        case Result::Converted:
            ++summary.converted;
            break;
        case Result::Unreadable:
            ++summary.unreadable;
            std::fprintf(stderr, "tellurix: %s: not an event file, skipped\n", file.string().c_str());
            break;
        case Result::Failed:
            ++summary.failed;
            std::fprintf(stderr, "tellurix: %s: could not be converted\n", file.string().c_str());
            break;
        case Result::Unchanged:
            break;
        }
    }
    return summary;
}

} // namespace tlx::app
