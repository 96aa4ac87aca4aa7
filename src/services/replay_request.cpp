#include "services/replay_request.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"

#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace tlx {

namespace fs = std::filesystem;

namespace {

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string withSeparator(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

std::optional<ReplayChannel> parseChannelLine(std::string_view line) {
    ReplayChannel channel;
    std::vector<std::string> fields = split(line, ',');
    if (fields.size() == 4) {
        if (!parseInt(fields[1], channel.system) || !parseInt(fields[2], channel.mode)) return std::nullopt;
    } else {
        // The older form: name, system number and directory separated by blanks (Corvid mode).
        const std::size_t first = line.find(' ');
        const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
        if (second == std::string_view::npos ||
            !parseInt(line.substr(first + 1, second - first - 1), channel.system))
            return std::nullopt;
        fields = {std::string(line.substr(0, first)), "", "", std::string(line.substr(second + 1))};
        channel.mode = 0;
    }
    channel.name = toUpper(trim(fields[0]));
    channel.requestDirectory = std::string(trim(fields[3]));
    if (channel.mode != 0 && channel.mode != 1) return std::nullopt;
    return validReplayChannel(channel) ? std::optional(channel) : std::nullopt;
}

} // namespace

bool validReplayChannel(const ReplayChannel& channel) {
    return channel.name.size() >= 2 && channel.name.size() <= 8 && channel.system >= 1 &&
           channel.system <= 9 && isDirectory(channel.requestDirectory);
}

std::string replayChannelListText(const ReplayChannel& channel) {
    return format(channel.mode == 1 ? "%s\tWinCorvid # %d" : "%s\tCorvid # %d", channel.name.c_str(),
                  channel.system);
}

std::optional<ReplaySetup> parseReplayDat(std::string_view text) {
    ReplaySetup setup;
    TextLines lines(text, 1024, '!');
    std::string_view line;
    if (!lines.next(line)) return std::nullopt;
    // Folder names keep their case: file names are case-sensitive here.
    setup.eventDirectory = withSeparator(std::string(trim(line)));
    if (!isDirectory(setup.eventDirectory)) return std::nullopt;
    if (lines.next(line)) {
        line = trim(line);
        if (line.size() == 2 && line[1] == ':' && std::isalpha(static_cast<unsigned char>(line[0])))
            setup.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    }
    while (lines.next(line) && static_cast<int>(setup.channels.size()) < kMaxReplayChannels)
        if (const auto channel = parseChannelLine(trim(line))) setup.channels.push_back(*channel);
    return setup;
}

std::optional<ReplaySetup> readReplayDat(const std::vector<fs::path>& folders) {
    const fs::path file = findDataFile(folders, "REPLAY.DAT");
    std::string text;
    if (file.empty() || !readTextFile(file, text, 1 << 20)) return std::nullopt;
    return parseReplayDat(text);
}

bool writeReplayDat(const fs::path& file, const ReplaySetup& setup, std::string& error) {
    if (setup.eventDirectory.empty() || setup.drive == 0) {
        error = "Tellurix Directory and/or Corvid Drive Not Defined";
        return false;
    }
    std::string text = format("%s\n%c:\n", withSeparator(setup.eventDirectory).c_str(), setup.drive);
    for (const ReplayChannel& c : setup.channels)
        text +=
            format("%s,%d,%d,%s\n", toUpper(c.name).c_str(), c.system, c.mode, c.requestDirectory.c_str());
    if (!writeFileAtomically(file, text)) {
        error = "Can't open REPLAY.DAT file for writing";
        return false;
    }
    return true;
}

std::string replayExpectedFile(const ReplaySetup& setup, const ReplayChannel& channel,
                               const CivilTime& start) {
    return format("%s%02d%02d%02d%02d.%s%s", withSeparator(setup.eventDirectory).c_str(), start.month,
                  start.day, start.hour, start.minute, channel.name.c_str(), channel.mode == 1 ? ".svx" : "");
}

std::string replayRecorderFile(const ReplaySetup& setup, const std::string& expectedFile) {
    // A folder named with a drive ("c:\...") keeps its path under the recorder's letter; a folder
    // of this machine is seen by the recorder as a share mapped to that letter.
    if (expectedFile.size() > 1 && expectedFile[1] == ':')
        return std::string(1, setup.drive) + expectedFile.substr(1);
    std::string windows = std::string(1, setup.drive) + ":" + expectedFile;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

fs::path replayRequestFile(const ReplayChannel& channel, const CivilTime& nowUtc) {
    return fs::path(channel.requestDirectory) /
           format("RQ%02d%02d%02d.sy%d", nowUtc.hour, nowUtc.minute, nowUtc.second, channel.system);
}

std::string replayRequestText(const ReplayRequest& request, const ReplayChannel& channel,
                              const std::string& recorderFile) {
    const CivilTime& s = request.start;
    return format("%d %d %d %d %d %c %d %d %s %s\n", s.month, s.day, s.year % 100, s.hour, s.minute,
                  request.utc ? 'U' : 'L', request.minutes, request.saveNth, channel.name.c_str(),
                  recorderFile.c_str());
}

bool sendReplayRequest(const ReplaySetup& setup, const ReplayChannel& channel, const ReplayRequest& request,
                       const CivilTime& nowUtc, ReplaySent& sent, std::string& error) {
    const std::string expected = replayExpectedFile(setup, channel, request.start);
    sent.expectedFile = expected;
    sent.requestFile = replayRequestFile(channel, nowUtc);
    std::error_code ec;
    fs::remove(sent.expectedFile, ec);
    // Written whole under a hidden name and renamed: the recorder never reads half a request.
    if (!writeFileAtomically(sent.requestFile,
                             replayRequestText(request, channel, replayRecorderFile(setup, expected)))) {
        error = format("Can't create request file [%s]", sent.requestFile.c_str());
        return false;
    }
    return true;
}

std::optional<ReplayWait> checkReplayFile(const fs::path& expectedFile) {
    // The recorder may still be writing: the file counts once it can be opened for update.
    const int fd = ::open(expectedFile.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    ReplayWait result;
    std::error_code ec;
    const auto size = fs::file_size(expectedFile, ec);
    if (ec) {
        result.outcome = ReplayOutcome::RecorderError;
        result.message = format("Can't Open File %s", expectedFile.c_str());
    } else if (size > 199) {
        result.outcome = ReplayOutcome::Arrived;
    } else {
        std::string text(static_cast<std::size_t>(size), '\0');
        const int in = ::open(expectedFile.c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = in < 0 ? -1 : ::read(in, text.data(), text.size());
        if (in >= 0) ::close(in);
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        result.outcome = ReplayOutcome::RecorderError;
        result.message = "Corvid Error: " + text.substr(0, text.find_first_of("\r\n"));
    }
    return result;
}

ReplayWait waitForReplay(const fs::path& expectedFile, const fs::path& requestFile,
                         const std::function<bool()>& keepWaiting, int polls, int pollMs) {
    ReplayWait result;
    std::error_code ec;
    for (int poll = 0; poll < polls; ++poll) {
        if (auto arrived = checkReplayFile(expectedFile)) return *arrived;
        for (int waited = 0; waited < pollMs; waited += 50) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(50, pollMs - waited)));
            if (keepWaiting && !keepWaiting()) {
                fs::remove(requestFile, ec);
                result.outcome = ReplayOutcome::Cancelled;
                return result;
            }
        }
    }
    fs::remove(requestFile, ec);
    result.outcome = ReplayOutcome::TimedOut;
    result.message = "Timeout Error";
    return result;
}

} // namespace tlx
