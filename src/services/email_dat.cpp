#include "services/email_dat.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"

#include <cstdint>

namespace tlx {

const char* const kEmailDatSaveError = "Can't open EMAIL.DAT file to save Email Information.";

namespace {

constexpr std::size_t kLineLength = 510;
constexpr char kScrambleMark = '~'; // starts every scrambled text

std::uint8_t keyByte(std::size_t i) {
    // A fixed running key: only keeps the password from being stored readable.
    return static_cast<std::uint8_t>((0x5A + 0x3D * i + (i * i) % 251) & 0xFF);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string scramblePassword(const std::string& password) {
    std::string out(1, kScrambleMark);
    for (std::size_t i = 0; i < password.size(); ++i)
        out += format("%02X", static_cast<std::uint8_t>(password[i]) ^ keyByte(i));
    return out;
}

std::string unscramblePassword(const std::string& stored) {
    if (stored.empty() || stored.front() != kScrambleMark || stored.size() % 2 == 0) return stored;
    std::string out;
    for (std::size_t i = 1; i + 1 < stored.size(); i += 2) {
        const int high = hexValue(stored[i]), low = hexValue(stored[i + 1]);
        if (high < 0 || low < 0) return stored;
        out += static_cast<char>((high << 4 | low) ^ keyByte(out.size()));
    }
    return out;
}

bool readEmailDat(const std::filesystem::path& path, MailRecord& record) {
    std::string text;
    if (path.empty() || !readTextFile(path, text, 1u << 20)) return false;
    TextLines lines(text, kLineLength);
    std::string_view line;
    for (int index = 0; index < 8 && lines.next(line); ++index) {
        const std::string value(line);
        switch (index) {
        case 0:
            record.server = value;
            break;
        case 1:
            record.senderName = value;
            break;
        case 2:
            record.fromAddress = value;
            break;
        case 3:
            record.to = value;
            break;
        case 4:
            record.authType = leadingInt(value) == 1 ? 1 : 0;
            break;
        case 5:
            record.account = value;
            break;
        case 6:
            record.password = unscramblePassword(value);
            break;
        case 7: {
            const int port = leadingInt(value);
            if (port >= 1 && port <= 65535) record.port = port;
            break;
        }
        }
    }
    return true;
}

bool writeEmailDat(const std::filesystem::path& path, const MailRecord& record) {
    auto oneLine = [](std::string s) {
        std::erase_if(s, [](char c) { return c == '\r' || c == '\n'; });
        return s;
    };
    std::string text;
    text += oneLine(record.server) + "\n";
    text += oneLine(record.senderName) + "\n";
    text += oneLine(record.fromAddress) + "\n";
    text += oneLine(record.to) + "\n";
    text += format("%d\n", record.authType);
    text += oneLine(record.account) + "\n";
    text += scramblePassword(record.password) + "\n";
    text += format("%d\n", record.port);
    return writeFileAtomically(path, text);
}

std::filesystem::path emailDatToRead(const std::filesystem::path& localDirectory,
                                     const std::filesystem::path& programDirectory) {
    return findDataFile({localDirectory, programDirectory}, "EMAIL.DAT");
}

std::filesystem::path emailDatToWrite(const std::filesystem::path& localDirectory,
                                      const std::filesystem::path& programDirectory) {
    const std::filesystem::path dir = localDirectory.empty() ? programDirectory : localDirectory;
    const std::filesystem::path existing = findFileAnyCase(dir, "EMAIL.DAT");
    return existing.empty() ? dir / "EMAIL.DAT" : existing;
}

} // namespace tlx
