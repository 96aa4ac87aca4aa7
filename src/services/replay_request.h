// Recorder replay requests: REPLAY.DAT (where replayed files arrive and the recorder channels),
// the request file a recorder reads, and the wait for the event file it cuts.
#pragma once

#include "core/civil_time.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct ReplayChannel {
    std::string name; // 2 to 8 characters, upper case
    int system = 1;   // recorder system number 1..9
    int mode = 0;     // 1 WinCorvid, 0 Corvid
    std::string requestDirectory;
};

struct ReplaySetup {
    std::string eventDirectory; // where replayed files arrive, with a trailing separator
    char drive = 0;             // the letter under which the recorder sees that folder
    std::vector<ReplayChannel> channels;
};

constexpr int kMaxReplayChannels = 23;

// A channel as the channel dialog accepts it: name 2..8, system 1..9, existing directory.
bool validReplayChannel(const ReplayChannel& channel);
// "%s\tWinCorvid # %d" or "%s\tCorvid # %d".
std::string replayChannelListText(const ReplayChannel& channel);

// The setup's text; invalid and comment lines are passed over, an event directory that does not
// exist leaves the setup unused (nullopt).
std::optional<ReplaySetup> parseReplayDat(std::string_view text);
// REPLAY.DAT from the first of `folders` that has one (local data folder, then program folder).
std::optional<ReplaySetup> readReplayDat(const std::vector<std::filesystem::path>& folders);
// False with "Tellurix Directory and/or Corvid Drive Not Defined" or
// "Can't open REPLAY.DAT file for writing".
bool writeReplayDat(const std::filesystem::path& file, const ReplaySetup& setup, std::string& error);

struct ReplayRequest {
    CivilTime start; // as shown in the dialog (UTC or local, as `utc` says)
    bool utc = true;
    int minutes = 10;
    int saveNth = 1;
};

// The last request of the program run, preferred over the stored defaults when the dialog opens.
struct ReplayChoice {
    ReplayRequest request;
    std::vector<std::string> names;
};

// The event file the recorder will write for a channel, and the same name as the recorder sees it.
std::string replayExpectedFile(const ReplaySetup& setup, const ReplayChannel& channel,
                               const CivilTime& start);
std::string replayRecorderFile(const ReplaySetup& setup, const std::string& expectedFile);
// "RQhhmmss.syN" in the channel's request directory, named by the current UTC time.
std::filesystem::path replayRequestFile(const ReplayChannel& channel, const CivilTime& nowUtc);
// The one line of the request file.
std::string replayRequestText(const ReplayRequest& request, const ReplayChannel& channel,
                              const std::string& recorderFile);

// Deletes an old expected file and writes the request file; false with "Can't create request file [%s]".
struct ReplaySent {
    std::filesystem::path expectedFile;
    std::filesystem::path requestFile;
};
bool sendReplayRequest(const ReplaySetup& setup, const ReplayChannel& channel, const ReplayRequest& request,
                       const CivilTime& nowUtc, ReplaySent& sent, std::string& error);

enum class ReplayOutcome { Arrived, RecorderError, Cancelled, TimedOut };
struct ReplayWait {
    ReplayOutcome outcome = ReplayOutcome::TimedOut;
    std::string message; // "Timeout Error", "Corvid Error: %s", "Can't Open File %s"
};
// One look for the expected file: nullopt while it is absent or still held by the recorder.
std::optional<ReplayWait> checkReplayFile(const std::filesystem::path& expectedFile);
// Polls for the expected file every pollMs up to `polls` times; a cancelled or timed-out wait
// deletes the request file. A file of 200 bytes or more has arrived; a smaller one holds the
// recorder's error text. `keepWaiting` is asked between polls.
ReplayWait waitForReplay(const std::filesystem::path& expectedFile, const std::filesystem::path& requestFile,
                         const std::function<bool()>& keepWaiting, int polls = 40, int pollMs = 1000);

} // namespace tlx
