#include "services/remote_dat.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"
#include "services/email_dat.h"

namespace tlx {

namespace {

constexpr std::size_t kRemoteLineLength = 254;
constexpr std::size_t kInfoLineLength = 255;

std::string oneLine(std::string s) {
    std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
    return s;
}

// A quoted field cannot hold a quote: it would end the field early when read back.
std::string quotable(std::string s) {
    for (char& c : s)
        if (c == '"') c = '\'';
    return oneLine(std::move(s));
}

// "id,sel,\"component\",\"location\",\"info\",kind"
bool parseChannelLine(std::string_view v, RemoteChannel& c) {
    const std::size_t comma = v.find(',');
    if (comma == std::string_view::npos) return false;
    c.id = std::string(trim(v.substr(0, comma))).substr(0, kRemoteChannelIdLength);
    v.remove_prefix(comma + 1);
    std::size_t used = 0;
    int selected = 0;
    if (!takeInt(v, selected, used)) return false;
    c.selected = selected != 0;
    v.remove_prefix(used);
    std::string* fields[] = {&c.component, &c.location, &c.info};
    for (std::string* field : fields) {
        const std::size_t open = v.find('"');
        if (open == std::string_view::npos) return false;
        const std::size_t close = v.find('"', open + 1);
        if (close == std::string_view::npos) return false;
        *field = std::string(v.substr(open + 1, close - open - 1));
        v.remove_prefix(close + 1);
    }
    const std::size_t last = v.find(',');
    c.kind = last == std::string_view::npos ? 0 : (leadingInt(v.substr(last + 1)) == 1 ? 1 : 0);
    return true;
}

} // namespace

bool readRemoteDat(const std::filesystem::path& path, RemoteSettings& s) {
    std::string text;
    if (path.empty() || !readTextFile(path, text, 4u << 20)) return false;
    parseRemoteDat(text, s);
    return true;
}

void parseRemoteDat(std::string_view text, RemoteSettings& s) {
    TextLines lines(text, kRemoteLineLength);
    std::string_view line;
    RemoteStation* station = nullptr;
    while (lines.next(line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trim(line.substr(0, eq));
        const std::string value(line.substr(eq + 1));
        if (iequals(key, "SMTPServer"))
            s.server = value;
        else if (iequals(key, "SMTPAuth"))
            s.authType = leadingInt(value) == 1 ? 1 : 0;
        else if (iequals(key, "SMTPName"))
            s.account = value;
        else if (iequals(key, "SMTPKeyStr"))
            s.password = unscramblePassword(value);
        else if (iequals(key, "SMTPPort")) {
            const int port = leadingInt(value);
            if (port >= 1 && port <= 65535) s.port = port;
        } else if (iequals(key, "UserName"))
            s.userName = value;
        else if (iequals(key, "POPAccount"))
            s.popAccount = value;
        else if (iequals(key, "ToAddress"))
            s.toAddress = value;
        else if (iequals(key, "SampleRate"))
            s.sampleRate = leadingInt(value);
        else if (iequals(key, "Station")) {
            RemoteStation st;
            const std::size_t comma = value.find(',');
            st.selected = leadingInt(value) != 0;
            if (comma != std::string::npos) st.name = value.substr(comma + 1);
            s.stations.push_back(std::move(st));
            station = &s.stations.back();
        } else if (iequals(key, "Address")) {
            if (station) station->address = value;
        } else if (iequals(key, "Channel")) {
            RemoteChannel c;
            if (station && parseChannelLine(value, c)) station->channels.push_back(std::move(c));
        }
    }
}

bool writeRemoteDat(const std::filesystem::path& path, const RemoteSettings& s) {
    return writeFileAtomically(path, remoteDatText(s));
}

std::string remoteDatText(const RemoteSettings& s) {
    std::string t;
    t += "SMTPServer=" + oneLine(s.server) + "\n";
    t += format("SMTPAuth=%d\n", s.authType);
    t += "SMTPName=" + oneLine(s.account) + "\n";
    t += "SMTPKeyStr=" + scramblePassword(s.password) + "\n";
    t += format("SMTPPort=%d\n", s.port);
    t += "UserName=" + oneLine(s.userName) + "\n";
    t += "POPAccount=" + oneLine(s.popAccount) + "\n";
    t += "ToAddress=" + oneLine(s.toAddress) + "\n";
    t += format("SampleRate=%d\n", s.sampleRate);
    for (const RemoteStation& st : s.stations) {
        t += format("Station=%d,", st.selected ? 1 : 0) + oneLine(st.name) + "\n";
        t += "Address=" + oneLine(st.address) + "\n";
        for (const RemoteChannel& c : st.channels) {
            std::string id = quotable(c.id).substr(0, kRemoteChannelIdLength);
            std::erase(id, ',');
            t += "Channel=" + id + format(",%d,", c.selected ? 1 : 0) + "\"" + quotable(c.component) +
                 "\",\"" + quotable(c.location) + "\",\"" + quotable(c.info) + "\"" + format(",%d\n", c.kind);
        }
    }
    return t;
}

std::vector<RemoteChannel> parseChannelInfo(std::string_view text) {
    std::vector<RemoteChannel> out;
    TextLines lines(text, kInfoLineLength);
    std::string_view line;
    while (static_cast<int>(out.size()) < kMaxChannelInfoEntries && lines.next(line)) {
        const std::size_t idAt = line.find("Channel ID: ");
        const std::size_t volumeAt = line.find("Dataset Volume: ");
        RemoteChannel c;
        if (idAt != std::string_view::npos) {
            std::string_view rest = line.substr(idAt + 12);
            const std::size_t componentAt = rest.find("Component: ");
            c.id = std::string(trim(rest.substr(0, componentAt))).substr(0, kRemoteChannelIdLength);
            if (componentAt != std::string_view::npos)
                c.component = std::string(trim(rest.substr(componentAt + 11)));
            std::string_view next;
            if (lines.next(next) && !trim(next).empty()) {
                c.location = std::string(trim(next));
                if (lines.next(next)) c.info = std::string(trim(next));
            }
        } else if (volumeAt != std::string_view::npos) {
            c.kind = 1;
            c.id = std::string(trim(line.substr(volumeAt + 16))).substr(0, kRemoteChannelIdLength);
            std::string_view next;
            while (lines.next(next)) {
                const std::size_t at = next.find("Channels: ");
                if (at != std::string_view::npos) {
                    c.info = std::string(trim(next.substr(at)));
                    break;
                }
            }
        } else {
            continue;
        }
        if (!c.id.empty()) out.push_back(std::move(c));
    }
    return out;
}

int addStationList(std::string_view text, std::vector<RemoteStation>& stations) {
    int added = 0;
    TextLines lines(text, kInfoLineLength);
    std::string_view line;
    while (lines.next(line)) {
        const std::size_t comma = line.find(',');
        const std::string address(trim(line.substr(0, comma)));
        if (address.find('@') == std::string::npos) continue;
        bool known = false;
        for (const RemoteStation& s : stations)
            known = known || iequals(s.address, address);
        if (known) continue;
        RemoteStation s;
        s.address = address;
        s.name = comma == std::string_view::npos ? address : std::string(trim(line.substr(comma + 1)));
        stations.push_back(std::move(s));
        ++added;
    }
    return added;
}

} // namespace tlx
