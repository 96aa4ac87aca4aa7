// REMOTE.DAT: the remote stations that answer requests by e-mail, their channels, and the mail
// settings the requests go out with; and the two text files that fill it (a station's channel
// information and a station list).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct RemoteChannel {
    bool selected = false;
    int kind = 0;          // 0 channel, 1 data-set volume
    std::string id;        // at most 8 characters
    std::string component; // "Z", "N" …
    std::string location;
    std::string info; // sensor information; for a volume the text from "Channels: " on
};

struct RemoteStation {
    bool selected = false;
    std::string name;
    std::string address;
    std::vector<RemoteChannel> channels;
};

struct RemoteSettings {
    std::string server;
    int authType = 0;
    std::string account;
    std::string password;
    int port = 25;
    std::string userName;
    std::string popAccount; // the sender's address
    std::string toAddress;  // where the stations reply to
    int sampleRate = 50;
    std::vector<RemoteStation> stations;
};

constexpr std::size_t kRemoteChannelIdLength = 8;
constexpr int kMaxChannelInfoEntries = 64;

// False when the file cannot be read (the settings keep their defaults then).
bool readRemoteDat(const std::filesystem::path& path, RemoteSettings& settings);
void parseRemoteDat(std::string_view text, RemoteSettings& settings);
bool writeRemoteDat(const std::filesystem::path& path, const RemoteSettings& settings);
std::string remoteDatText(const RemoteSettings& settings);

// The channels a station's information file lists (at most 64).
std::vector<RemoteChannel> parseChannelInfo(std::string_view text);
// Adds the "address,name" lines of a station list whose address has an "@" and is not in the list
// yet (case-insensitive); new stations start unselected. Returns how many were added.
int addStationList(std::string_view text, std::vector<RemoteStation>& stations);

} // namespace tlx
