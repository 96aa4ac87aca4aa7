#include "record/seed_control.h"

#include "core/debug_log.h"
#include "core/text.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace tlx {
namespace {

// Reads the fixed- and variable-length ASCII fields of one control blockette.
class Fields {
  public:
    explicit Fields(std::string_view text) : text_(text), pos_(7) {}

    std::string fixed(std::size_t n) {
        std::string s(text_.substr(std::min(pos_, text_.size()), n));
        pos_ += n;
        return s;
    }
    std::string variable() {
        if (pos_ >= text_.size()) return {};
        const std::size_t end = text_.find('~', pos_);
        std::string s(
            text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_));
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        return s;
    }
    int integer(std::size_t n) { return leadingInt(fixed(n)); }
    double number(std::size_t n) { return leadingDouble(fixed(n)); }
    void skip(std::size_t n) { pos_ += n; }

  private:
    std::string_view text_;
    std::size_t pos_;
};

std::string trimmed(const std::string& s) {
    return std::string(trim(s));
}

bool digits(std::string_view s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return !s.empty();
}

// A control blockette's 3-digit type and 4-character length (blank-padded on the left by some
// writers); false when the 7 characters are not such a header (padding, garbage).
bool blocketteHeader(std::string_view head, int& type, std::size_t& length) {
    if (head.size() < 7 || !digits(head.substr(0, 3))) return false;
    std::string_view len = head.substr(3, 4);
    while (!len.empty() && len.front() == ' ')
        len.remove_prefix(1);
    if (!digits(len)) return false;
    long long value = 0;
    if (!parseInt(head.substr(0, 3), type) || !parseInt(len, value)) return false;
    length = static_cast<std::size_t>(value);
    return true;
}

// The volume header (blockette 10, among the blockettes of the first record): record length
// exponent and start time.
bool readBlockette10(std::span<const std::uint8_t> bytes, int& exponent, BTime& start) {
    const std::string_view record(reinterpret_cast<const char*>(bytes.data()),
                                  std::min<std::size_t>(bytes.size(), 4096));
    std::size_t p = 8;
    int type = 0;
    std::size_t length = 0;
    while (p < record.size() && blocketteHeader(record.substr(p, 7), type, length) && length >= 7) {
        if (type == 10) {
            Fields f(record.substr(p, std::min(length, record.size() - p)));
            f.skip(4);
            exponent = f.integer(2);
            return parseSeedTime(f.variable(), start);
        }
        p += length;
    }
    return false;
}

void addChannelTo(SeedControl& c, std::string_view text) {
    if (c.stations.empty()) return;
    Fields f(text);
    SeedChannel ch;
    ch.location = trimmed(f.fixed(2));
    ch.channel = trimmed(f.fixed(3));
    f.skip(4);
    const int instrumentKey = f.integer(3);
    f.variable();
    ch.unitsKey = f.integer(3);
    f.skip(3);
    ch.latitude = f.number(10);
    ch.longitude = f.number(11);
    ch.elevation = f.number(7);
    f.skip(5);
    ch.azimuth = f.number(5);
    ch.dip = f.number(5);
    ch.formatKey = f.integer(4);
    f.skip(2);
    ch.rate = f.number(10);
    if (const auto it = c.abbreviations.find(instrumentKey); it != c.abbreviations.end())
        ch.instrument = it->second;
    c.stations.back().channels.push_back(ch);
}

void parseBlockette(SeedControl& c, int type, std::string_view text) {
    Fields f(text);
    switch (type) {
    case 30: {
        SeedFormat format;
        format.name = f.variable();
        format.key = f.integer(4);
        if (c.formats.size() < kMaxFormatKeys) c.formats.push_back(format);
        break;
    }
    case 33: {
        const int key = f.integer(3);
        c.abbreviations[key] = f.variable();
        break;
    }
    case 34: {
        const int key = f.integer(3);
        c.units[key] = f.variable();
        break;
    }
    case 50: {
        SeedStation s;
        s.code = trimmed(f.fixed(5));
        s.latitude = f.number(10);
        s.longitude = f.number(11);
        s.elevation = f.number(7);
        f.skip(4 + 3);
        s.siteName = f.variable();
        f.skip(3 + 4 + 2);
        f.variable();
        f.variable();
        f.skip(1);
        s.network = trimmed(f.fixed(2));
        c.stations.push_back(std::move(s));
        break;
    }
    case 52:
        addChannelTo(c, text);
        break;
    case 58: {
        const int stage = f.integer(2);
        const double s = f.number(12);
        if (stage == 0 && s != 0 && !c.stations.empty() && !c.stations.back().channels.empty())
            c.stations.back().channels.back().sensitivity = 1.0 / (s * 100.0);
        break;
    }
    case 71: {
        SeedHypocentre& h = c.hypocentre;
        h = SeedHypocentre{};
        h.present = parseSeedTime(f.variable(), h.origin);
        f.skip(2);
        h.latitude = f.number(10);
        h.longitude = f.number(11);
        h.depth = f.number(7);
        const int count = f.integer(2);
        for (int i = 0; i < count && i < 99; ++i) {
            const double m = f.number(5);
            std::string name = trimmed(f.variable());
            f.skip(2);
            h.magnitudes.emplace_back(m, name);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace

SeedDecoder decoderFromName(const std::string& name) {
    std::string key;
    for (char c : name)
        if (c != ' ' && c != '-' && c != '_')
            key.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (key.rfind("STEIM2", 0) == 0) return SeedDecoder::Steim2;
    if (key.rfind("STEIM", 0) == 0) return SeedDecoder::Steim1;
    if (key.rfind("DWWSSN", 0) == 0) return SeedDecoder::Dwwssn;
    if (key.rfind("USNSN", 0) == 0) return SeedDecoder::Usnsn;
    return SeedDecoder::Unknown;
}

const SeedStation* SeedControl::findStation(const std::string& code) const {
    for (const SeedStation& s : stations)
        if (s.code == code) return &s;
    return nullptr;
}

const SeedChannel* SeedControl::findChannel(const std::string& station, const std::string& channel) const {
    for (const SeedStation& s : stations) {
        if (s.code != station) continue;
        for (const SeedChannel& ch : s.channels)
            if (ch.channel == channel) return &ch;
    }
    return nullptr;
}

std::string SeedControl::unitName(int key) const {
    const auto it = units.find(key);
    return it == units.end() ? std::string() : it->second;
}

SeedDecoder SeedControl::decoderFor(const SeedChannel& channel) const {
    if (channel.formatKey == 0) return SeedDecoder::Steim1;
    for (const SeedFormat& f : formats)
        if (f.key == channel.formatKey) return decoderFromName(f.name);
    return SeedDecoder::Unknown;
}

bool parseSeedTime(const std::string& text, BTime& t) {
    t = BTime{};
    // "year,day,hour:minute:second.fraction"; trailing parts may be missing.
    int field[5] = {};
    const char separators[5] = {0, ',', ',', ':', ':'};
    std::string_view rest(text);
    int n = 0;
    for (; n < 5; ++n) {
        if (n > 0) {
            if (rest.empty() || rest.front() != separators[n]) break;
            rest.remove_prefix(1);
        }
        std::size_t used = 0;
        if (!takeInt(rest, field[n], used)) break;
        rest.remove_prefix(used);
    }
    const auto [year, day, hour, minute, second] = field;
    std::string f;
    if (n == 5 && !rest.empty() && rest.front() == '.') {
        rest.remove_prefix(1);
        while (!rest.empty() && f.size() < 7 && std::isdigit(static_cast<unsigned char>(rest.front()))) {
            f += rest.front();
            rest.remove_prefix(1);
        }
    }
    if (n < 2 || year <= 0 || year > 9999 || day < 1 || day > 366) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) return false;
    t.year = year;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    f.resize(4, '0');
    t.fract = leadingInt(f);
    return true;
}

bool isSeedVolume(std::span<const std::uint8_t> bytes, BTime* start) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "000001V ", 8) != 0) return false;
    int exponent = 0;
    BTime t;
    if (!readBlockette10(bytes, exponent, t) || t.year == 0) return false;
    if (start) *start = t;
    return true;
}

bool parseSeedControl(std::span<const std::uint8_t> bytes, SeedControl& c, std::string& error) {
    c = SeedControl{};
    int exponent = 0;
    if (!isSeedVolume(bytes) || !readBlockette10(bytes, exponent, c.start)) {
        error = "No SEED volume header";
        return false;
    }
    if (exponent < 8 || exponent > 15) { // 256 .. 32768 bytes
        error = format("Logical record length 2^%d not supported", exponent);
        return false;
    }
    const std::size_t length = std::size_t{1} << exponent;
    c.recordLength = static_cast<int>(length);

    // Control records' bodies (after the 8-byte prefix) joined, so that a blockette continued
    // into the next record reads as one piece; `starts` remembers where each record began.
    std::string stream;
    std::vector<std::size_t> starts;
    for (std::size_t r = 0; r + length <= bytes.size(); r += length) {
        const char type = static_cast<char>(bytes[r + 6]);
        if (type != 'V' && type != 'A' && type != 'S' && type != 'T') continue;
        starts.push_back(stream.size());
        stream.append(reinterpret_cast<const char*>(bytes.data()) + r + 8, length - 8);
    }
    starts.push_back(stream.size());

    std::size_t segment = 0;
    std::size_t p = 0;
    while (p < stream.size()) {
        while (segment + 1 < starts.size() && starts[segment + 1] <= p)
            ++segment;
        int type = 0;
        std::size_t blen = 0;
        if (!blocketteHeader(std::string_view(stream).substr(p, 7), type, blen)) {
            p = starts[segment + 1]; // padding: on to the next record
            continue;
        }
        if (blen < 7 || p + blen > stream.size()) {
            logFormat("SEED control blockette %03d at %zu: length %zu does not fit", type, p, blen);
            p = starts[segment + 1];
            continue;
        }
        parseBlockette(c, type, std::string_view(stream).substr(p, blen));
        p += blen;
    }
    return true;
}

} // namespace tlx
